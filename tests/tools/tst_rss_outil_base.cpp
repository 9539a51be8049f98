// rss-outil base et rss-outil chercher, de bout en bout sur des fichiers de base réels.

#include "OutilsTests.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray baseDeRecherche = R"(<?xml version="1.0" encoding="UTF-8"?>
<LecteurRSS_BASE><racine>
<listeFlux>
  <flux><titre>Sans information</titre><urlrss>u0</urlrss><infos/></flux>
  <flux><titre>Économie</titre><urlrss>u1</urlrss><infos>
    <info><titre>La BOURSE monte</titre><lien>http://127.0.0.1/bourse</lien><description>chiffres</description></info>
    <info><titre>La bourse baisse</titre></info></infos></flux>
  <flux><titre>Sport</titre><urlrss>u2</urlrss><infos>
    <info><titre>Match</titre><lien>http://127.0.0.1/match</lien><description>La bourse des transferts</description></info>
  </infos></flux>
  <flux><titre>Monde 中文</titre><urlrss>u3</urlrss><infos><info><titre>日本</titre></info></infos></flux>
</listeFlux>
<listeRubriques><rubrique><nom>Actu</nom><couleur>€</couleur><icone>3</icone></rubrique></listeRubriques>
</racine></LecteurRSS_BASE>
)";

} // namespace

class TestOutilBase : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dossier;

    QString ecrire(const QString &nom, const QByteArray &contenu)
    {
        return OutilsTests::ecrireFichier(QDir(m_dossier.path()).filePath(nom), contenu);
    }

private slots:
    void baseEcritLeJson()
    {
        const QString chemin = ecrire(QStringLiteral("base.xml"), baseDeRecherche);
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil({QStringLiteral("base"), chemin});
        QCOMPARE(r.code, 0);
        const QJsonObject base = QJsonDocument::fromJson(r.sortie).object();
        const QJsonArray flux = base.value(QStringLiteral("flux")).toArray();
        QCOMPARE(flux.size(), 4);
        const QJsonObject economie = flux.at(1).toObject();
        QCOMPARE(economie.value(QStringLiteral("titre")).toString(), QStringLiteral("Économie"));
        QCOMPARE(economie.value(QStringLiteral("urlrss")).toString(), QStringLiteral("u1"));
        QCOMPARE(economie.value(QStringLiteral("copyright")).toString(), QString());
        QCOMPARE(economie.value(QStringLiteral("image")).toObject().value(QStringLiteral("url")).toString(), QString());
        const QJsonArray infos = economie.value(QStringLiteral("infos")).toArray();
        QCOMPARE(infos.size(), 2);
        QCOMPARE(infos.at(0).toObject().value(QStringLiteral("lien")).toString(), QStringLiteral("http://127.0.0.1/bourse"));
        QCOMPARE(infos.at(1).toObject().value(QStringLiteral("datePub")).toString(), QString());
        QCOMPARE(economie.value(QStringLiteral("rubriquesAssociees")).toArray(), QJsonArray());
        QCOMPARE(base.value(QStringLiteral("rubriques")).toArray(),
                 QJsonArray({QJsonObject{{QStringLiteral("nom"), QStringLiteral("Actu")},
                                         {QStringLiteral("couleur"), QStringLiteral("€")},
                                         {QStringLiteral("icone"), QStringLiteral("3")}}}));
    }

    void baseReecrireDonneUneBaseQuiSeRelitEgale()
    {
        const QString source = ecrire(QStringLiteral("source.xml"), baseDeRecherche);
        QTemporaryDir sortie;
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil({QStringLiteral("base"), source, QStringLiteral("--reecrire"), sortie.path()});
        QCOMPARE(r.code, 0);
        const QString ecrite = QDir(sortie.path()).filePath(QStringLiteral("baseFlux.xml"));
        QCOMPARE(r.sortie, ecrite.toUtf8() + '\n');
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("base"), ecrite}).sortie, OutilsTests::lancerRssOutil({QStringLiteral("base"), source}).sortie);
        // Réécrite à son tour, elle donne le même fichier.
        QTemporaryDir encore;
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("base"), ecrite, QStringLiteral("--reecrire"), encore.path()}).code, 0);
        QCOMPARE(OutilsTests::lireFichier(QDir(encore.path()).filePath(QStringLiteral("baseFlux.xml"))),
                 OutilsTests::lireFichier(ecrite));
    }

    void baseSignaleSesEchecs()
    {
        const OutilsTests::ResultatOutil illisible = OutilsTests::lancerRssOutil({QStringLiteral("base"), ecrire(QStringLiteral("casse.xml"), "<a><b></a>")});
        QCOMPARE(illisible.code, 1);
        QVERIFY(!illisible.erreur.isEmpty());
        const QString source = ecrire(QStringLiteral("bonne.xml"), baseDeRecherche);
        const QString ancien = ecrire(QStringLiteral("dossier/baseFlux.xml"), "ancien");
        // Un dossier de sortie qui n'existe pas : rien n'est écrit.
        const OutilsTests::ResultatOutil absent = OutilsTests::lancerRssOutil({QStringLiteral("base"), source, QStringLiteral("--reecrire"),
                                                 QDir(m_dossier.path()).filePath(QStringLiteral("absent"))});
        QCOMPARE(absent.code, 2);
        QCOMPARE(OutilsTests::lireFichier(ancien), QByteArray("ancien"));
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("base")}).code, 64);
    }

    void chercher_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("attendu");
        QTest::newRow("titre") << QStringList({QStringLiteral("bourse"), QStringLiteral("--titre")}) << QByteArray("\xC3\x89" "conomie\n");
        QTest::newRow("casse") << QStringList({QStringLiteral("BOURSE"), QStringLiteral("--titre")}) << QByteArray("\xC3\x89" "conomie\n");
        QTest::newRow("description") << QStringList({QStringLiteral("bourse"), QStringLiteral("--description")}) << QByteArray("Sport\n");
        QTest::newRow("trois champs") << QStringList({QStringLiteral("bourse"), QStringLiteral("--titre"), QStringLiteral("--lien"),
                                                      QStringLiteral("--description")})
                                      << QByteArray("\xC3\x89" "conomie\nSport\n");
        QTest::newRow("lien") << QStringList({QStringLiteral("127.0.0.1/"), QStringLiteral("--lien")}) << QByteArray("\xC3\x89" "conomie\nSport\n");
        QTest::newRow("aucun champ") << QStringList({QStringLiteral("bourse")}) << QByteArray();
        QTest::newRow("texte vide") << QStringList({QString(), QStringLiteral("--titre")}) << QByteArray();
        QTest::newRow("forme étroite") << QStringList({QStringLiteral("中国"), QStringLiteral("--titre")}) << QByteArray("Monde \xE4\xB8\xAD\xE6\x96\x87\n");
        QTest::newRow("titre du flux ignoré") << QStringList({QStringLiteral("Sport"), QStringLiteral("--titre")}) << QByteArray();
    }

    void chercher()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, attendu);
        const QString base = ecrire(QStringLiteral("recherche.xml"), baseDeRecherche);
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil(QStringList({QStringLiteral("chercher"), base}) + arguments);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.sortie, attendu);
    }

    void chercherSignaleSesEchecs()
    {
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("chercher"), QDir(m_dossier.path()).filePath(QStringLiteral("absente.xml")),
                              QStringLiteral("x")}).code, 1);
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("chercher"), QStringLiteral("x")}).code, 64);
        QCOMPARE(OutilsTests::lancerRssOutil({QStringLiteral("chercher"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("--tout")}).code, 64);
    }
};

QTEST_GUILESS_MAIN(TestOutilBase)
#include "tst_rss_outil_base.moc"
