// rss-outil telecharger de bout en bout, et rss-outil analyser sur une adresse http, contre un
// serveur de 127.0.0.1.

#include "OutilsTests.h"
#include "ServeurHTTPTest.h"

#include "reading/Acquisition.h"
#include "reading/AnalyseRSS.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray fluxRSS = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<rss version=\"2.0\"><channel><title>Le fil d'essai</title>"
                           "<item><title>Première</title></item></channel></rss>\n";

const auto lancer = OutilsTests::lancerRssOutil;

} // namespace

class TestRssOutilTelecharger : public QObject
{
    Q_OBJECT

private slots:
    void outilTelecharger();
    void outilAnalyserUneAdresse();
};

void TestRssOutilTelecharger::outilTelecharger()
{
    QTemporaryDir dossier;
    QVERIFY(QDir(dossier.path()).mkdir(u"ressourcesHTML"_qs));
    ServeurHTTPTest serveur;
    serveur.definir("/flux.xml", ReponseHTTP::ok(fluxRSS));
    const QString ressources = dossier.path() + u"/ressourcesHTML/http_127.0.0.1_"_qs + QString::number(serveur.port());
    const QString copie = ressources + u"flux.xml.html"_qs;

    OutilsTests::ResultatOutil r =
        lancer({u"telecharger"_qs, serveur.url(u"/flux.xml"_qs), u"--dossier"_qs, dossier.path()});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.sortie, copie.toUtf8() + '\n');
    QVERIFY(r.erreur.isEmpty());
    QCOMPARE(OutilsTests::lireFichier(copie), fluxRSS + "\r\n");

    // Échec (options avant l'adresse) : le message sur la sortie d'erreur, la copie CR LF écrite
    // quand même, code 1.
    const QString copieAbsente = ressources + u"absent.html"_qs;
    r = lancer({u"telecharger"_qs, u"--dossier"_qs, dossier.path(), serveur.url(u"/absent"_qs)});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.sortie, copieAbsente.toUtf8() + '\n');
    QVERIFY(QString::fromUtf8(r.erreur).contains(messageEchecConnexion()));
    QCOMPARE(OutilsTests::lireFichier(copieAbsente), QByteArray("\r\n"));

    // Sans ressourcesHTML : la copie ne s'écrit pas, code 2.
    QTemporaryDir sansRessources;
    r = lancer({u"telecharger"_qs, serveur.url(u"/flux.xml"_qs), u"--dossier"_qs, sansRessources.path()});
    QCOMPARE(r.code, 2);
    QVERIFY(r.sortie.isEmpty());
    QVERIFY(!r.erreur.isEmpty());

    // Arguments invalides.
    QCOMPARE(lancer({u"telecharger"_qs}).code, 64);
    QCOMPARE(lancer({u"telecharger"_qs, u"http://127.0.0.1/"_qs, u"--dossier"_qs}).code, 64);
    QCOMPARE(lancer({u"telecharger"_qs, u"http://127.0.0.1/a"_qs, u"http://127.0.0.1/b"_qs}).code, 64);
}

void TestRssOutilTelecharger::outilAnalyserUneAdresse()
{
    ServeurHTTPTest serveur;
    serveur.definir("/flux.xml", ReponseHTTP::ok(fluxRSS));
    const QString adresse = serveur.url(u"/flux.xml"_qs);

    OutilsTests::ResultatOutil r = lancer({u"analyser"_qs, adresse});
    QCOMPARE(r.code, 0);
    const QJsonObject flux = QJsonDocument::fromJson(r.sortie).object();
    QCOMPARE(flux[u"titre"].toString(), u"Le fil d'essai"_qs);
    QCOMPARE(flux[u"urlrss"].toString(), adresse);

    r = lancer({u"analyser"_qs, serveur.url(u"/absent"_qs)});
    QCOMPARE(r.code, 1);
    QVERIFY(QString::fromUtf8(r.erreur).contains(messageEchecChargement()));
}

QTEST_GUILESS_MAIN(TestRssOutilTelecharger)
#include "tst_rss_outil_telecharger.moc"
