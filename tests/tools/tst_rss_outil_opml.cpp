// rss-outil opml-importer et opml-exporter de bout en bout, sur de vrais fichiers : la base créée
// depuis le modèle, le bilan, le second import sans effet, la liste écrite, et les refus qui
// laissent la base intacte.

#include "OutilsTests.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Resultat = OutilsTests::ResultatOutil;
const auto lancer = OutilsTests::lancerRssOutil;

const QByteArray listeOpml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<opml version=\"1.0\"><head><title>Mes abonnements</title></head><body>\n"
    "  <outline text=\"Actualités\">\n"
    "    <outline type=\"rss\" text=\"Le quotidien\" xmlUrl=\"http://127.0.0.1/quotidien.xml\" htmlUrl=\"http://127.0.0.1/\"/>\n"
    "    <outline type=\"rss\" text=\"Carnet\" xmlUrl=\"http://127.0.0.1/carnet/atom.xml\"/>\n"
    "  </outline>\n"
    "  <outline title=\"Sciences\"><outline text=\"Le quotidien\" xmlUrl=\"http://127.0.0.1/quotidien.xml\"/></outline>\n"
    "  <outline type=\"rss\" text=\"Seul\" xmlUrl=\"http://127.0.0.1/seul.xml\"/>\n"
    "  <outline title=\"Non lus\" text=\"Non lus\" type=\"vfolder\" xmlUrl=\"vfolder\"/>\n"
    "</body></opml>\n";

} // namespace

class TestRssOutilOpml : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dossier;

    QString chemin(const QString &nom) const { return QDir(m_dossier.path()).filePath(nom); }

private slots:
    void importerPuisExporter()
    {
        const QString liste = OutilsTests::ecrireFichier(chemin(u"abonnements.opml"_qs), listeOpml);
        const QString base = chemin(u"nouvelle/baseFlux.xml"_qs);
        QVERIFY(QDir(m_dossier.path()).mkpath(u"nouvelle"_qs));

        const Resultat premier = lancer({u"opml-importer"_qs, liste, base});
        QCOMPARE(premier.code, 0);
        QCOMPARE(premier.sortie, QByteArray("Flux ajoutés : 3 ; déjà présents : 1 ; rubriques créées : 2 ; ignorés : 1\n"));
        // Une base écrite depuis le modèle, que la commande « base » relit.
        const QByteArray ecrite = OutilsTests::lireFichier(base);
        QVERIFY(ecrite.contains("<LecteurRSS_BASE>"));
        const QJsonObject lue = QJsonDocument::fromJson(lancer({u"base"_qs, base}).sortie).object();
        const QJsonArray flux = lue[u"flux"].toArray();
        QCOMPARE(flux.size(), 3);
        QCOMPARE(lue[u"rubriques"].toArray().size(), 2);

        const Resultat second = lancer({u"opml-importer"_qs, liste, base});
        QCOMPARE(second.code, 0);
        QCOMPARE(second.sortie, QByteArray("Flux ajoutés : 0 ; déjà présents : 4 ; rubriques créées : 0 ; ignorés : 1\n"));
        QCOMPARE(OutilsTests::lireFichier(base), ecrite);

        const Resultat export_ = lancer({u"opml-exporter"_qs, base});
        QCOMPARE(export_.code, 0);
        QDomDocument document;
        QVERIFY(document.setContent(export_.sortie));
        QCOMPARE(document.documentElement().attribute(u"version"_qs), u"2.0"_qs);
        QVERIFY(!document.documentElement().firstChildElement(u"head"_qs).firstChildElement(u"title"_qs).text().isEmpty());
        QCOMPARE(document.elementsByTagName(u"outline"_qs).size(), 2 + 4); // deux dossiers, quatre flux rangés
    }

    // Une liste ou une base illisible : code 1, un message, et la base telle qu'elle était.
    void refusSansToucherLaBase_data()
    {
        QTest::addColumn<QByteArray>("liste");
        QTest::addColumn<QByteArray>("base");
        QTest::addColumn<QByteArray>("message");
        const QByteArray baseValide = "<?xml version=\"1.0\"?><LecteurRSS_BASE><racine><listeFlux/></racine></LecteurRSS_BASE>";
        QTest::newRow("liste mal formée") << QByteArray("<opml><body>") << baseValide << QByteArray("n'est pas une liste OPML");
        QTest::newRow("pas une liste OPML") << QByteArray("<rss><channel/></rss>") << baseValide
                                            << QByteArray("et non « opml »");
        QTest::newRow("base mal formée") << listeOpml << QByteArray("<LecteurRSS_BASE><racine>") << QByteArray("ne peut pas être lue");
    }

    void refusSansToucherLaBase()
    {
        QFETCH(QByteArray, liste);
        QFETCH(QByteArray, base);
        QFETCH(QByteArray, message);
        const QString cheminBase = OutilsTests::ecrireFichier(chemin(u"refus-base.xml"_qs), base);
        const Resultat r = lancer({u"opml-importer"_qs, OutilsTests::ecrireFichier(chemin(u"refus.opml"_qs), liste), cheminBase});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.erreur.contains(message), r.erreur.constData());
        QVERIFY(r.sortie.isEmpty());
        QCOMPARE(OutilsTests::lireFichier(cheminBase), base);
    }

    void argumentsEtBaseAbsente()
    {
        QCOMPARE(lancer({u"opml-importer"_qs, chemin(u"seule.opml"_qs)}).code, 64);
        QCOMPARE(lancer({u"opml-exporter"_qs}).code, 64);
        QCOMPARE(lancer({u"opml-exporter"_qs, chemin(u"absente.xml"_qs)}).code, 1);
        QVERIFY(!QFileInfo::exists(chemin(u"absente.xml"_qs)));
    }
};

QTEST_GUILESS_MAIN(TestRssOutilOpml)
#include "tst_rss_outil_opml.moc"
