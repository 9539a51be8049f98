// rss-outil actualiser de bout en bout, contre un serveur de 127.0.0.1 : une ligne JSON par
// source, l'état de lecture tenu d'une fois à l'autre, les requêtes conditionnelles, les copies
// locales, et la base jamais touchée.

#include "OutilsTests.h"
#include "ServeurHTTPTest.h"

#include "base/EtatLecture.h"
#include "base/TdmRSS.h"
#include "reading/AnalyseRSS.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Un flux RSS dont chaque information a un guid (sa clé).
QByteArray fluxAvecGuids(const QStringList &guids)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>F</title>";
    for (const QString &guid : guids)
        xml += "<item><title>T " + guid.toUtf8() + "</title><guid>" + guid.toUtf8() + "</guid></item>";
    return xml + "</channel></rss>\n";
}

QByteArray baseDe(const QStringList &adresses)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE><racine><listeFlux>";
    for (const QString &adresse : adresses)
        xml += "<flux><titre>" + adresse.toUtf8() + "</titre><urlrss>" + adresse.toUtf8() + "</urlrss></flux>";
    return xml + "</listeFlux><listeRubriques/></racine></LecteurRSS_BASE>\n";
}

// Les lignes de la sortie, par adresse.
QHash<QString, QJsonObject> lignesParAdresse(const QByteArray &sortie)
{
    QHash<QString, QJsonObject> lignes;
    for (const QByteArray &ligne : sortie.split('\n')) {
        if (!ligne.isEmpty()) {
            const QJsonObject objet = QJsonDocument::fromJson(ligne).object();
            lignes.insert(objet.value(u"adresse").toString(), objet);
        }
    }
    return lignes;
}

struct Attendu
{
    QString resultat;
    int statut;
    int nouvelles;
    QString erreur; // contenu dans le message
};

} // namespace

class TestRssOutilActualiser : public QObject
{
    Q_OBJECT

private slots:
    void deuxActualisations();
};

void TestRssOutilActualiser::deuxActualisations()
{
    QTemporaryDir dossier;
    QVERIFY(QDir(dossier.path()).mkdir(u"ressourcesHTML"_qs));
    ReponseHTTP avecEtag = ReponseHTTP::ok(fluxAvecGuids({u"e1"_qs}));
    avecEtag.etag = "\"v1\"";
    QByteArray profond = "<rss>";
    for (int i = 0; i < 5000; ++i)
        profond += "<a>";
    // Une source par ligne : sa réponse, puis ce que disent la première et la seconde fois (entre
    // les deux, /nouveau gagne une information, /etag répond 304).
    struct Ligne
    {
        QString chemin;
        ReponseHTTP reponse;
        Attendu premiere, seconde;
    };
    const QList<Ligne> table = {
        {u"/nouveau"_qs, ReponseHTTP::ok(fluxAvecGuids({u"n1"_qs, u"n2"_qs})), {u"lu"_qs, 200, 2, {}}, {u"lu"_qs, 200, 1, {}}},
        {u"/inchange"_qs, ReponseHTTP::ok(fluxAvecGuids({u"i1"_qs})), {u"lu"_qs, 200, 1, {}}, {u"lu"_qs, 200, 0, {}}},
        {u"/etag"_qs, avecEtag, {u"lu"_qs, 200, 1, {}}, {u"inchange"_qs, 304, 0, {}}},
        {u"/absent"_qs, ReponseHTTP::erreur(404, "Not Found"), {u"echec"_qs, 404, 0, u"Réponse HTTP 404"_qs},
         {u"echec"_qs, 404, 0, u"Réponse HTTP 404"_qs}},
        {u"/malforme"_qs, ReponseHTTP::ok("<rss><channel><item></channel>"),
         {u"echec"_qs, 200, 0, messageEchecChargement()}, {u"echec"_qs, 200, 0, messageEchecChargement()}},
        {u"/profond"_qs, ReponseHTTP::ok(profond), {u"echec"_qs, 200, 0, u"niveaux"_qs},
         {u"echec"_qs, 200, 0, u"niveaux"_qs}},
    };
    ServeurHTTPTest serveur;
    // Chaque réponse tarde un peu : sans la borne de deux par hôte, les six se chevaucheraient.
    const auto avecDelai = [](ReponseHTTP reponse) {
        reponse.delaiMs = 150;
        return reponse;
    };
    QStringList adresses;
    for (const Ligne &ligne : table) {
        serveur.definir(ligne.chemin.toUtf8(), avecDelai(ligne.reponse));
        adresses << serveur.url(ligne.chemin);
    }
    const QByteArray octetsBase = baseDe(adresses);
    const QString base = OutilsTests::ecrireFichier(dossier.filePath(u"baseFlux.xml"_qs), octetsBase);
    const QStringList arguments = {u"actualiser"_qs, base, u"--dossier"_qs, dossier.path()};
    const auto copieDe = [&](const QString &chemin) {
        return dossier.filePath(u"ressourcesHTML/"_qs + TdmRSS::nomCopieLocale(serveur.url(chemin)));
    };

    QHash<QString, QJsonObject> lignes;
    const auto verifier = [&](Attendu Ligne::*fois) {
        const OutilsTests::ResultatOutil r = OutilsTests::lancerRssOutil(arguments);
        QCOMPARE(r.code, 1);
        lignes = lignesParAdresse(r.sortie);
        QCOMPARE(lignes.size(), table.size());
        for (const Ligne &l : table) {
            const Attendu &attendu = l.*fois;
            const QJsonObject ligne = lignes.value(serveur.url(l.chemin));
            QCOMPARE(ligne.value(u"resultat").toString(), attendu.resultat);
            QCOMPARE(ligne.value(u"statut").toInt(), attendu.statut);
            QCOMPARE(ligne.value(u"nouvelles").toInt(), attendu.nouvelles);
            QVERIFY2(ligne.value(u"erreur").toString().contains(attendu.erreur), qPrintable(l.chemin));
            QCOMPARE(ligne.value(u"erreur").toString().isEmpty(), attendu.erreur.isEmpty());
        }
    };
    verifier(&Ligne::premiere);
    if (QTest::currentTestFailed())
        return;
    serveur.definir("/nouveau", avecDelai(ReponseHTTP::ok(fluxAvecGuids({u"n3"_qs, u"n1"_qs, u"n2"_qs}))));
    // La copie locale d'un 304 reste telle quelle : marquée ici pour le voir.
    OutilsTests::ecrireFichier(copieDe(u"/etag"_qs), "marque");
    serveur.oublierRequetes();
    verifier(&Ligne::seconde);
    if (QTest::currentTestFailed())
        return;

    // Seule la source qui a donné son ETag est demandée sous condition.
    for (const QByteArray &requete : serveur.requetes())
        QCOMPARE(requete.contains("If-None-Match: \"v1\"\r\n"), requete.startsWith("GET /etag "));
    QCOMPARE(serveur.maxSimultanees(), 2);
    QCOMPARE(OutilsTests::lireFichier(copieDe(u"/etag"_qs)), QByteArray("marque"));
    QCOMPARE(OutilsTests::lireFichier(copieDe(u"/nouveau"_qs)),
             fluxAvecGuids({u"n3"_qs, u"n1"_qs, u"n2"_qs}) + "\r\n");
    QVERIFY(!QFileInfo::exists(copieDe(u"/malforme"_qs)));
    QCOMPARE(OutilsTests::lireFichier(base), octetsBase);

    // L'état tient les nouvelles pas encore lues d'une fois à l'autre.
    TEtatLecture etat;
    QVERIFY(etat.charger(dossier.filePath(u"etatLecture.json"_qs)).copieIllisible.isEmpty());
    QCOMPARE(etat.source(serveur.url(u"/nouveau"_qs))->nouvelles, QStringList({u"n3"_qs, u"n1"_qs, u"n2"_qs}));
    QCOMPARE(etat.source(serveur.url(u"/etag"_qs))->etag, QByteArray("\"v1\""));
    QCOMPARE(etat.echec(serveur.url(u"/absent"_qs)), lignes.value(serveur.url(u"/absent"_qs))[u"erreur"].toString());
}

QTEST_GUILESS_MAIN(TestRssOutilActualiser)
#include "tst_rss_outil_actualiser.moc"
