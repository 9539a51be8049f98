// rss-outil analyser : le flux en JSON, les codes de sortie et les messages.

#include "OutilsTests.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

using Resultat = OutilsTests::ResultatOutil;
const auto lancer = OutilsTests::lancerRssOutil;

} // namespace

class TestRssOutilAnalyser : public QObject
{
    Q_OBJECT

private slots:
    // Le même JSON pour un flux RSS 1.0 et pour un flux Atom.
    void fluxDExempleEnJson_data()
    {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("premiereInfo");
        QTest::newRow("RSS 1.0") << u"journal-des-sciences.rdf"_qs << u"Journal des sciences"_qs
                                 << u"http://127.0.0.1/sciences/icone.png"_qs << u"Une comète visible à l'œil nu"_qs;
        QTest::newRow("Atom") << u"carnet-atom.xml"_qs << u"Carnet de l'atelier"_qs
                              << u"http://127.0.0.1/carnet/images/logo.png"_qs << u"Un nouvel établi"_qs;
    }

    void fluxDExempleEnJson()
    {
        QFETCH(QString, fichier);
        QFETCH(QString, titre);
        QFETCH(QString, image);
        QFETCH(QString, premiereInfo);
        const QString source = QStringLiteral(DOSSIER_BIN "/rss/") + fichier;
        const Resultat r = lancer({u"analyser"_qs, source});
        QCOMPARE(r.code, 0);
        const QJsonObject flux = QJsonDocument::fromJson(r.sortie).object();
        QCOMPARE(flux[u"titre"].toString(), titre);
        QCOMPARE(flux[u"urlrss"].toString(), source);
        QCOMPARE(flux[u"copyright"].toString(), u"Licence libre de diffusion"_qs);
        QCOMPARE(flux[u"image"].toObject()[u"url"].toString(), image);
        const QJsonArray infos = flux[u"infos"].toArray();
        QCOMPARE(infos.size(), 2);
        QCOMPARE(infos[0].toObject()[u"titre"].toString(), premiereInfo);
        QVERIFY(flux[u"rubriquesAssociees"].toArray().isEmpty());
        const QStringList cles = flux.keys();
        for (const char *cle : {"titre", "lien", "description", "copyright", "datePub", "langue", "auteur", "urlrss",
                                "image", "infos", "rubriquesAssociees"})
            QVERIFY2(cles.contains(QString::fromLatin1(cle)), cle);
    }

    void documentIlisibleCodeUn()
    {
        OutilsTests::DossierExecutable dossier;
        const Resultat r = lancer({u"analyser"_qs, dossier.ecrire(u"x.xml"_qs, "pas du xml")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.sortie.isEmpty());
        QVERIFY(r.erreur.contains("Une erreur est survenue lors de l'analyse du fichier."));
    }

    void racineSansEnfantCodeDeux()
    {
        OutilsTests::DossierExecutable dossier;
        const Resultat r = lancer({u"analyser"_qs, dossier.ecrire(u"x.xml"_qs, "<rss/>")});
        QCOMPARE(r.code, 2);
        QVERIFY(!r.erreur.isEmpty());
    }

    void argumentsInvalides()
    {
        QVERIFY(lancer({}).code != 0);
        QVERIFY(lancer({u"inconnue"_qs}).code != 0);
        QVERIFY(lancer({u"analyser"_qs}).code != 0);
        const Resultat aide = lancer({u"--help"_qs});
        QCOMPARE(aide.code, 0);
        QVERIFY(aide.sortie.contains("analyser SOURCE"));
    }
};

QTEST_GUILESS_MAIN(TestRssOutilAnalyser)
#include "tst_rss_outil_analyser.moc"
