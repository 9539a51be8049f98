// Le programme lecteur-rss lui-même : il démarre dans sa fenêtre et y reste, sans arguments.

#include <QFileInfo>
#include <QProcess>
#include <QTest>

class TestProgramme : public QObject
{
    Q_OBJECT

private slots:
    void demarreEtResteOuvert()
    {
        const QString programme = QStringLiteral(DOSSIER_BIN "/lecteur-rss");
        if (!QFileInfo::exists(programme))
            QSKIP("lecteur-rss n'est pas construit");
        QProcess processus;
        processus.setProcessChannelMode(QProcess::MergedChannels);
        processus.start(programme, {});
        QVERIFY(processus.waitForStarted(10000));
        // Une erreur au démarrage terminerait le programme aussitôt, après sa boîte d'erreur.
        QVERIFY2(!processus.waitForFinished(4000), processus.readAll().constData());
        QCOMPARE(processus.state(), QProcess::Running);
        processus.terminate();
        if (!processus.waitForFinished(10000))
            processus.kill();
    }
};

QTEST_GUILESS_MAIN(TestProgramme)
#include "tst_programme.moc"
