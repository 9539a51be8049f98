// L'acquisition d'un flux par le module de données : téléchargement dans la copie locale, nom de
// la copie, boîte « Error », ajout d'une source par son adresse, choix d'un fichier local. Tout
// passe par un serveur de 127.0.0.1.

#include "DialoguesScriptes.h"
#include "OutilsTests.h"
#include "ServeurHTTPTest.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "reading/Acquisition.h"
#include "reading/AnalyseRSS.h"
#include "reading/ClientHTTP.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

namespace {

const QByteArray fluxRSS = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<rss version=\"2.0\"><channel><title>Le fil d'essai</title>"
                           "<link>http://exemple.fr/</link><description>Essai</description>"
                           "<item><title>Première</title><link>http://exemple.fr/1</link></item>"
                           "</channel></rss>\n";

QString cheminCopie(const QString &nom) { return Emplacement::dossierRessources() + nom; }

void verifierBoiteEchecConnexion(const DialoguesScriptes &dialogues)
{
    QCOMPARE(dialogues.boites.size(), 1);
    const BoiteNotee &boite = dialogues.boites.first();
    QCOMPARE(boite.type, TypeBoite::Erreur);
    QCOMPARE(boite.titre, QStringLiteral("Error"));
    QCOMPARE(boite.boutons, BoutonsBoite::Ok);
    QCOMPARE(boite.texte, QStringLiteral("Une erreur à eu lieu durant la connexion !\n"
                                         "Verifiez que votre connexion internet est bien active."));
}

// Une attente dont l'utilisateur arrête aussitôt le téléchargement (Échap).
struct AttenteArretee : IAttenteTelechargement
{
    void commencer() override {}
    bool patienter() override { return false; }
    void finir() override {}
};

} // namespace

class TestAcquisition : public QObject
{
    Q_OBJECT

private slots:
    void nomCopieLocale_data();
    void nomCopieLocale();
    void nomCopieLocaleTropLong();
    void telechargementReussi();
    void echecsEcriventUneCopieVide_data();
    void echecsEcriventUneCopieVide();
    void adressesQuiPartagentUneCopie();
    void copieImpossibleAEcrire();
    void ajouterSourceParURL();
    void ajouterSourceEnEchec();
    void choisirFichierRSS();
};

void TestAcquisition::nomCopieLocale_data()
{
    QTest::addColumn<QString>("adresse");
    QTest::addColumn<QString>("nom");

    QTest::newRow("hôte et chemin") << QStringLiteral("http://www.exemple.fr/rss/actualites.xml")
                                    << QStringLiteral("http_www.exemple.frrssactualites.xml.html");
    QTest::newRow("requête") << QStringLiteral("http://exemple.fr/flux.php?id=3&lang=fr")
                             << QStringLiteral("http_exemple.frflux.php_id=3&lang=fr.html");
    QTest::newRow("barres obliques inverses et deux-points")
        << QStringLiteral("http://h\\a\\b:8080/c") << QStringLiteral("http_h_a_b_8080c.html");
    QTest::newRow("virgule, étoile, barre, chevrons")
        << QStringLiteral("http://h/a,b*c|d<e>f") << QStringLiteral("http_ha_b_c_d_e_f.html");
    QTest::newRow("guillemet, blancs, dièse, pour-cent gardés")
        << QStringLiteral("http://h/\"titre\" et blancs#ancre%20.") << QStringLiteral("http_h\"titre\" et blancs#ancre%20..html");
    QTest::newRow("casse gardée") << QStringLiteral("HTTP://Hote/Casse") << QStringLiteral("HTTP_HoteCasse.html");
    QTest::newRow("accent de Windows-1252 gardé") << QStringLiteral("http://h/café") << QStringLiteral("http_hcafé.html");
    QTest::newRow("hors Windows-1252 : « ? » puis « _ »")
        << (QStringLiteral("http://h/") + QChar(0x65E5) + QChar(0x672C)) << QStringLiteral("http_h__.html");
    QTest::newRow("octet nul") << (QStringLiteral("http://h/a") + QChar(0) + QStringLiteral("b"))
                               << QStringLiteral("http_ha_b.html");
    QTest::newRow("adresse vide") << QString() << QStringLiteral(".html");
}

void TestAcquisition::nomCopieLocale()
{
    QFETCH(QString, adresse);
    QFETCH(QString, nom);
    QCOMPARE(TdmRSS::nomCopieLocale(adresse), nom);
}

// Au-delà de 255 octets, le nom garde son début et finit par une empreinte de l'adresse entière.
void TestAcquisition::nomCopieLocaleTropLong()
{
    const QString requete = u"http://h/flux?q="_qs + QString(240, u'a');
    const QString limite = u"http://h/flux?q="_qs + QString(237, u'a'); // 255 octets avec « .html »
    QCOMPARE(TdmRSS::nomCopieLocale(limite), u"http_hflux_q="_qs + QString(237, u'a') + u".html"_qs);

    const QStringList adresses{requete, requete + u"b"_qs, u"http://h/flux/?q="_qs + QString(240, u'a'),
                               u"http://h/é"_qs + QString(300, u'é')};
    QSet<QString> noms;
    for (const QString &adresse : adresses) {
        const QString nom = TdmRSS::nomCopieLocale(adresse);
        QVERIFY2(QFile::encodeName(nom).size() <= 255, qPrintable(nom));
        QVERIFY(nom.endsWith(u".html"_qs));
        QCOMPARE(TdmRSS::nomCopieLocale(adresse), nom);
        noms.insert(nom);
    }
    QCOMPARE(noms.size(), adresses.size());
    QVERIFY(TdmRSS::nomCopieLocale(requete).startsWith(u"http_hflux_q=aaaa"_qs));

    // Une adresse aussi longue se télécharge et se relit.
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    const QString chemin = u"/flux?q="_qs + QString(300, u'z');
    serveur.definir(chemin.toUtf8(), ReponseHTTP::ok("<rss><channel><title>long</title></channel></rss>"));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);
    const QString copie = module.telechargerFlux(serveur.url(chemin));
    QVERIFY(dialogues.boites.isEmpty());
    QVERIFY(module.chargerDocumentXML(copie));
    QCOMPARE(module.analyserFlux(module.XMLDoc)->getTitre(), u"long"_qs);
}

void TestAcquisition::telechargementReussi()
{
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    const QByteArray corps = "<rss>\n\xE9t\xE9 sans fin de ligne</rss>"; // octets gardés tels quels
    serveur.definir("/rss/flux.xml", ReponseHTTP::ok(corps));
    serveur.definir("/vide", ReponseHTTP::ok(QByteArray()));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);

    const QString adresse = serveur.url(QStringLiteral("/rss/flux.xml"));
    const QString copie = module.telechargerFlux(adresse);
    QCOMPARE(copie, cheminCopie(QStringLiteral("http_127.0.0.1_%1rssflux.xml.html").arg(serveur.port())));
    QCOMPARE(OutilsTests::lireFichier(copie), corps + "\r\n");

    // Une réponse vide réussit aussi : la copie ne tient que CR LF, sans message.
    const QString copieVide = module.telechargerFlux(serveur.url(QStringLiteral("/vide")));
    QCOMPARE(OutilsTests::lireFichier(copieVide), QByteArray("\r\n"));
    QVERIFY(dialogues.boites.isEmpty());
    // Le téléchargement ne charge rien dans XMLDoc.
    QVERIFY(!module.XMLDoc.estActif());
}

void TestAcquisition::echecsEcriventUneCopieVide_data()
{
    QTest::addColumn<QString>("cas");
    QTest::newRow("404") << QStringLiteral("/absent");
    QTest::newRow("301") << QStringLiteral("/demenage");
    QTest::newRow("connexion refusée") << QStringLiteral("refus");
}

void TestAcquisition::echecsEcriventUneCopieVide()
{
    QFETCH(QString, cas);
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    serveur.definir("/demenage", ReponseHTTP::redirection("/flux.xml"));
    serveur.definir("/flux.xml", ReponseHTTP::ok(fluxRSS));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);

    const QString adresse = cas == u"refus"
        ? QStringLiteral("http://127.0.0.1:%1/flux.xml").arg(ServeurHTTPTest::portFerme())
        : serveur.url(cas);
    // Une copie plus ancienne du même nom est remplacée.
    const QString ancienne = dossier.ecrire(QStringLiteral("ressourcesHTML/") + TdmRSS::nomCopieLocale(adresse), fluxRSS);

    const QString copie = module.telechargerFlux(adresse);
    QCOMPARE(copie, ancienne);
    QCOMPARE(OutilsTests::lireFichier(copie), QByteArray("\r\n"));
    verifierBoiteEchecConnexion(dialogues);

    // La copie vide ne se charge pas : deux messages de suite, comme pour l'utilisateur.
    QVERIFY(!module.chargerDocumentXML(copie));
    QCOMPARE(dialogues.boites.size(), 2);
    QVERIFY(dialogues.boites.at(1).texte.startsWith(messageEchecChargement()));

    // Le module télécharge ensuite normalement avec le même client.
    dialogues.oublier();
    const QString bonne = module.telechargerFlux(serveur.url(QStringLiteral("/flux.xml")));
    QCOMPARE(OutilsTests::lireFichier(bonne), fluxRSS + "\r\n");
    QVERIFY(dialogues.boites.isEmpty());
    QVERIFY(module.chargerDocumentXML(bonne));
}

void TestAcquisition::adressesQuiPartagentUneCopie()
{
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    serveur.definir("/a/b", ReponseHTTP::ok("premier"));
    serveur.definir("/ab", ReponseHTTP::ok("second, plus court")); // plus long que « premier »
    serveur.definir("/c%22d", ReponseHTTP::ok("guillemet")); // le guillemet part encodé
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);

    const QString premiere = module.telechargerFlux(serveur.url(QStringLiteral("/a/b")));
    QCOMPARE(OutilsTests::lireFichier(premiere), QByteArray("premier\r\n"));
    const QString seconde = module.telechargerFlux(serveur.url(QStringLiteral("/ab")));
    QCOMPARE(seconde, premiere);
    QCOMPARE(OutilsTests::lireFichier(premiere), QByteArray("second, plus court\r\n"));
    serveur.definir("/a/b", ReponseHTTP::ok("3"));
    QCOMPARE(module.telechargerFlux(serveur.url(QStringLiteral("/a/b"))), premiere);
    QCOMPARE(OutilsTests::lireFichier(premiere), QByteArray("3\r\n")); // remplacée, pas complétée

    // Le guillemet, permis par le système de fichiers, reste dans le nom.
    const QString guillemet = module.telechargerFlux(serveur.url(QStringLiteral("/c\"d")));
    QVERIFY(guillemet.endsWith(QStringLiteral("c\"d.html")));
    QCOMPARE(OutilsTests::lireFichier(guillemet), QByteArray("guillemet\r\n"));
    QVERIFY(dialogues.boites.isEmpty());
    QCOMPARE(QDir(Emplacement::dossierRessources()).entryList(QDir::Files).size(), 2);
}

void TestAcquisition::copieImpossibleAEcrire()
{
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    serveur.definir("/flux.xml", ReponseHTTP::ok(fluxRSS));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);
    QVERIFY(QDir(Emplacement::dossierRessources()).removeRecursively());

    // Le programme ne crée jamais ressourcesHTML : l'échec remonte à l'appelant.
    QVERIFY_THROWS_EXCEPTION(ErreurEcriture, module.telechargerFlux(serveur.url(QStringLiteral("/flux.xml"))));
    QVERIFY(dialogues.boites.isEmpty());
    // Même après un téléchargement manqué, la boîte « Error » vient d'abord, puis l'exception.
    QVERIFY_THROWS_EXCEPTION(ErreurEcriture, module.telechargerFlux(serveur.url(QStringLiteral("/absent"))));
    verifierBoiteEchecConnexion(dialogues);
    QVERIFY(!QFileInfo::exists(Emplacement::dossierRessources()));
}

void TestAcquisition::ajouterSourceParURL()
{
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    serveur.definir("/flux.xml", ReponseHTTP::ok(fluxRSS));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);
    const QString adresse = serveur.url(QStringLiteral("/flux.xml"));

    const PFlux premier = module.ajouterSourceParURL(adresse);
    const PFlux second = module.ajouterSourceParURL(adresse);
    QVERIFY(premier && second);
    QVERIFY(premier != second);
    QCOMPARE(module.getFluxBase().size(), 2);
    QCOMPARE(module.getFluxBase().at(0), premier);
    QCOMPARE(module.getFluxBase().at(1), second);
    for (const PFlux &flux : {premier, second}) {
        QCOMPARE(flux->getUrlRss(), adresse);
        QCOMPARE(flux->getTitre(), QStringLiteral("Le fil d'essai"));
        QCOMPARE(flux->infos.size(), 1);
    }
    QVERIFY(dialogues.boites.isEmpty());
    // Le document de lecture va chercher l'adresse avec les mêmes en-têtes que le client.
    const QList<QByteArray> recues = serveur.requetes();
    QCOMPARE(recues.size(), 2);
    QCOMPARE(recues.at(1), "GET /flux.xml HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(serveur.port())
                               + "\r\nAccept: text/html, */*\r\n"
                                 "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n");
    // Aucune copie locale ici.
    QVERIFY(QDir(Emplacement::dossierRessources()).isEmpty());
}

void TestAcquisition::ajouterSourceEnEchec()
{
    OutilsTests::DossierExecutable dossier;
    ServeurHTTPTest serveur;
    serveur.definir("/pas-du-xml", ReponseHTTP::ok("<html><body>pas un flux"));
    serveur.definir("/racine-vide", ReponseHTTP::ok("<rss/>"));
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);

    for (const char *chemin : {"/absent", "/pas-du-xml"}) {
        dialogues.oublier();
        QVERIFY(!module.ajouterSourceParURL(serveur.url(QString::fromLatin1(chemin))));
        QCOMPARE(dialogues.boites.size(), 1);
        QVERIFY(dialogues.boites.first().texte.startsWith(messageEchecChargement()));
    }
    // Une racine sans enfant : l'analyse lève, rien n'est ajouté.
    QVERIFY_THROWS_EXCEPTION(ErreurIndexXML, module.ajouterSourceParURL(serveur.url(QStringLiteral("/racine-vide"))));
    QVERIFY(module.getFluxBase().isEmpty());

    // Arrêté par l'utilisateur pendant l'attente : aussitôt, sans boîte, rien n'est ajouté.
    ReponseHTTP lente = ReponseHTTP::ok(fluxRSS);
    lente.delaiMs = 3000;
    serveur.definir("/lent", lente);
    AttenteArretee arret;
    TClientHTTP::installerAttente(&arret);
    const auto retrait = qScopeGuard([] { TClientHTTP::installerAttente(nullptr); });
    dialogues.oublier();
    QElapsedTimer chrono;
    chrono.start();
    QVERIFY(!module.ajouterSourceParURL(serveur.url(QStringLiteral("/lent"))));
    QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
    QVERIFY(dialogues.boites.isEmpty());
    QVERIFY(module.getFluxBase().isEmpty());
}

void TestAcquisition::choisirFichierRSS()
{
    OutilsTests::DossierExecutable dossier;
    const QString bon = dossier.ecrire(QStringLiteral("rss/bon.xml"), fluxRSS);
    const QString mauvais = dossier.ecrire(QStringLiteral("rss/mauvais.xml"), "<rss><channel>");
    DialoguesScriptes dialogues;
    dialogues.fichiersPrevus({bon, std::nullopt, mauvais, std::nullopt});
    TdmRSS module(dialogues);

    QVERIFY(module.choisirFichierRSS());
    QVERIFY(module.XMLDoc.estActif());
    QCOMPARE(module.XMLDoc.nomFichier(), bon);
    QCOMPARE(module.fichierChoisi(), bon);

    // Annulé après un bon choix : rien de chargé, mais la boîte garde le nom précédent.
    QVERIFY(!module.choisirFichierRSS());
    QCOMPARE(module.XMLDoc.nomFichier(), bon);
    QVERIFY(module.XMLDoc.estActif());
    QVERIFY(dialogues.boites.isEmpty());

    // Un fichier qui ne se charge pas : son message, et c'est lui que la boîte propose ensuite.
    QVERIFY(!module.choisirFichierRSS());
    QCOMPARE(dialogues.boites.size(), 1);
    QVERIFY(dialogues.boites.first().texte.startsWith(messageEchecChargement()));
    QVERIFY(!module.choisirFichierRSS());

    const QString titre = QStringLiteral("Ouvrir un fichier rss.xml");
    const QString dossierRss = Emplacement::dossierRss();
    QCOMPARE(dialogues.choixFichiers.size(), 4);
    const QStringList proposes = {QString(), bon, bon, mauvais};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(dialogues.choixFichiers.at(i).titre, titre);
        QCOMPARE(dialogues.choixFichiers.at(i).dossierInitial, dossierRss);
        QCOMPARE(dialogues.choixFichiers.at(i).dernierChoix, proposes.at(i));
    }
}

QTEST_GUILESS_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
