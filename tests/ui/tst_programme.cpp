// Le programme lecteur-rss lui-même : il démarre dans sa fenêtre et y reste ; une seconde
// instance sur le même dossier remet son fichier à la première et s'arrête, et un processus tué ne
// bloque pas le démarrage suivant.

#include "OutilsTests.h"

#include "commun/InstanceUnique.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString programme = QStringLiteral(DOSSIER_BIN "/lecteur-rss");

bool attendre(const std::function<bool()> &condition, int delaiMs)
{
    QElapsedTimer chrono;
    chrono.start();
    while (!condition()) {
        if (chrono.elapsed() > delaiMs)
            return false;
        QTest::qWait(50);
    }
    return true;
}

void arreter(QProcess &processus)
{
    processus.terminate();
    if (!processus.waitForFinished(10000))
        processus.kill();
    processus.waitForFinished();
}

} // namespace

class TestProgramme : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!QFileInfo::exists(programme))
            QSKIP("lecteur-rss n'est pas construit");
    }

    void demarreEtResteOuvert()
    {
        QProcess processus;
        processus.setProcessChannelMode(QProcess::MergedChannels);
        processus.start(programme, {});
        QVERIFY(processus.waitForStarted(10000));
        // Une erreur au démarrage terminerait le programme aussitôt, après sa boîte d'erreur.
        QVERIFY2(!processus.waitForFinished(4000), processus.readAll().constData());
        QCOMPARE(processus.state(), QProcess::Running);
        arreter(processus);
    }

    void uneSeuleFenetreParDossierDeDonnees()
    {
        // Une copie portable du programme dans un dossier à elle : son dossier de données.
        QTemporaryDir dossier;
        const QString copie = dossier.filePath(QStringLiteral("lecteur-rss"));
        QVERIFY(QFile::copy(programme, copie));
        const QString flux = OutilsTests::ecrireFichier(
            dossier.filePath(QStringLiteral("rss/flux.xml")),
            "<rss version=\"2.0\"><channel><title>Flux remis</title><item><title>Un</title></item></channel></rss>");
        const QString page = dossier.filePath(QStringLiteral("rss-temps.html"));
        const QString verrou = InstanceUnique::cheminVerrou(dossier.path());

        QProcess premiere;
        premiere.start(copie, {});
        QVERIFY(attendre([&] { return QFileInfo::exists(verrou); }, 15000));

        // La seconde, lancée depuis un autre dossier courant avec un chemin relatif, s'arrête vite.
        QProcess seconde;
        seconde.setWorkingDirectory(dossier.filePath(QStringLiteral("rss")));
        QElapsedTimer chrono;
        chrono.start();
        seconde.start(copie, {QStringLiteral("flux.xml")});
        QVERIFY(seconde.waitForFinished(5000));
        QCOMPARE(seconde.exitStatus(), QProcess::NormalExit);
        QCOMPARE(seconde.exitCode(), 0);
        qInfo("seconde instance arrêtée en %lld ms", chrono.elapsed());

        // La première a ouvert le fichier : sa page est écrite dans le dossier de données.
        QVERIFY(attendre([&] { return OutilsTests::lireFichier(page).contains("Flux remis"); }, 10000));
        QCOMPARE(premiere.state(), QProcess::Running);

        // Tuée net, elle laisse son verrou ; le démarrage suivant le reprend et reste ouvert.
        premiere.kill();
        QVERIFY(premiere.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(verrou));
        QVERIFY(QFile::remove(page));
        QProcess reprise;
        reprise.start(copie, {});
        QVERIFY(!reprise.waitForFinished(4000));
        QCOMPARE(reprise.state(), QProcess::Running);

        // Et c'est elle qui reçoit les fichiers des suivantes.
        QProcess suivante;
        suivante.start(copie, {flux});
        QVERIFY(suivante.waitForFinished(5000));
        QCOMPARE(suivante.exitCode(), 0);
        QVERIFY(attendre([&] { return OutilsTests::lireFichier(page).contains("Flux remis"); }, 10000));
        arreter(reprise);
    }
};

QTEST_GUILESS_MAIN(TestProgramme)
#include "tst_programme.moc"
