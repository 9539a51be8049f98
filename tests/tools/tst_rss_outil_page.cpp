// rss-outil page, de bout en bout : le fichier écrit est comparé aux pages attendues.

#include "OutilsTests.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestOutilPage : public QObject
{
    Q_OBJECT

    static QString donnee(const char *nom) { return OutilsTests::donnees(QStringLiteral("page/") + QLatin1String(nom)); }

private slots:
    void laPageDUnFlux()
    {
        QTemporaryDir dossier;
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil({QStringLiteral("page"), donnee("flux-trois-items.xml"),
                                             QStringLiteral("--dossier"), dossier.path()});
        QCOMPARE(r.code, 0);
        const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("rss-temps.html"));
        QCOMPARE(r.sortie, chemin.toUtf8() + '\n');
        QCOMPARE(OutilsTests::lireFichier(chemin), OutilsTests::lireFichier(donnee("page-trois-items.html")));
    }

    void laPageAvecLesInformationsSauvegardees()
    {
        QTemporaryDir dossier;
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil({QStringLiteral("page"), donnee("flux-vide.xml"), QStringLiteral("--dossier"),
                                             dossier.path(), QStringLiteral("--sauvegardees"), donnee("base-sauvegardees.xml"),
                                             QStringLiteral("http://127.0.0.1/favori.xml")});
        QCOMPARE(r.code, 0);
        QCOMPARE(OutilsTests::lireFichier(QDir(dossier.path()).filePath(QStringLiteral("rss-temps.html"))),
                 OutilsTests::lireFichier(donnee("page-sauvegardees.html")));
    }

    void lesEchecs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        const QString dossier = QDir::tempPath();
        QTest::newRow("sans --dossier") << QStringList({QStringLiteral("page"), donnee("flux-vide.xml")}) << 64;
        QTest::newRow("source absente") << QStringList({QStringLiteral("page"), donnee("absent.xml"), QStringLiteral("--dossier"), dossier}) << 1;
        QTest::newRow("pas un flux") << QStringList({QStringLiteral("page"), donnee("page-vide.html"), QStringLiteral("--dossier"), dossier}) << 1;
        QTest::newRow("un document sans flux")
            << QStringList({QStringLiteral("page"), donnee("base-vide.xml"), QStringLiteral("--dossier"), dossier}) << 2;
        QTest::newRow("adresse absente de la base")
            << QStringList({QStringLiteral("page"), donnee("flux-vide.xml"), QStringLiteral("--dossier"), dossier,
                            QStringLiteral("--sauvegardees"), donnee("base-sauvegardees.xml"), QStringLiteral("http://127.0.0.1/autre")})
            << 3;
        QTest::newRow("dossier absent")
            << QStringList({QStringLiteral("page"), donnee("flux-vide.xml"), QStringLiteral("--dossier"), dossier + u"/absent-h3/x"}) << 4;
    }

    void lesEchecs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil(arguments);
        QCOMPARE(r.code, code);
        QVERIFY(r.sortie.isEmpty());
        QVERIFY(!r.erreur.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestOutilPage)
#include "tst_rss_outil_page.moc"
