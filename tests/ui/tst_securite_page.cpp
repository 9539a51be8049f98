// La vue de page face à un flux hostile. La page reprend telles quelles les descriptions du flux :
// aucun script venu d'un flux ne doit s'exécuter, et rien dans la vue ne doit atteindre un fichier
// local (/etc/passwd, la base à côté de la page...) : la page elle-même arrive par son propre
// schéma, et un « input type=file » n'ouvre aucune boîte. Les images distantes, elles, se
// montrent, et « target=_blank » s'ouvre dans la vue même.

#include "BancFenetre.h"

#include "commun/Emplacement.h"
#include "ui/PageHTML.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <algorithm>

using namespace BancFenetre;

namespace {

QByteArray imagePNG(int cote)
{
    QImage image(cote, cote, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    image.save(&tampon, "PNG");
    return octets;
}

// Un flux dont la description du canal et celle d'une information portent ce HTML.
QByteArray fluxPiege(const QString &html)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
                          "<title>Flux piégé</title><description>%1</description>"
                          "<item><title>Info</title><link>http://127.0.0.1/</link><description>%1</description></item>"
                          "</channel></rss>")
        .arg(html.toHtmlEscaped())
        .toUtf8();
}

} // namespace

class TestSecuritePage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    std::unique_ptr<ServeurHTTPTest> serveur;
    std::unique_ptr<QSignalSpy> adresses;

    TmainForm *f() const { return b->f.get(); }
    TPageHTML *pageSure() const { return f()->pagePageHTML; }
    QUrl urlPage() const { return TPageHTML::adressePage(); }
    // Le titre que la vue donne à la page du flux, qui n'a pas de <title>.
    QString titrePage() const { return urlPage().toString(); }

    bool montrer(const QByteArray &xml)
    {
        const QString chemin = b->dossier.ecrire(QStringLiteral("rss/piege.xml"), xml);
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        if (!b->module->chargerDocumentXML(chemin))
            return false;
        f()->afficherDocument();
        return attendreChargement(f()->pageHTML, fini);
    }

    QVariant js(const QString &code) const { return executerJS(b->page(), code); }

    // Ce que les scripts d'un flux auraient laissé : une marque sur la racine, ou le titre.
    QString marque() const
    {
        return js(QStringLiteral("String(document.documentElement.getAttribute('data-pirate'))")).toString();
    }

    void cliquer(const QString &id) { cliquerSur(QStringLiteral("document.getElementById('%1')").arg(id)); }

    // Un clic de souris au coin de l'élément que donne l'expression.
    void cliquerSur(const QString &element)
    {
        const QString rect = element + QStringLiteral(".getBoundingClientRect()");
        const int x = js(rect + QStringLiteral(".left + 2")).toInt();
        const int y = js(rect + QStringLiteral(".top + 2")).toInt();
        QWidget *rendu = f()->pageHTML->focusProxy();
        QTest::mouseMove(rendu, QPoint(x, y));
        QTest::mouseClick(rendu, Qt::LeftButton, {}, QPoint(x, y));
    }

    // La vue n'a jamais été sur un fichier local, ni sur une autre adresse du schéma de la page.
    void verifierAdressesVisitees() const
    {
        for (const QList<QVariant> &signal : std::as_const(*adresses)) {
            const QUrl url = signal.at(0).toUrl();
            QVERIFY2(!url.isLocalFile(), qPrintable(url.toString()));
            QVERIFY2(url.scheme() != urlPage().scheme() || url == urlPage(), qPrintable(url.toString()));
            QVERIFY2(url.scheme() != u"data", qPrintable(url.toString()));
        }
    }

private slots:
    void init()
    {
        b = std::make_unique<Fenetre>();
        serveur = std::make_unique<ServeurHTTPTest>();
        adresses = std::make_unique<QSignalSpy>(f()->pageHTML, &QWebEngineView::urlChanged);
    }

    void cleanup()
    {
        verifierAdressesVisitees();
        QCOMPARE(pageSure()->boitesDeScripts(), 0);
        adresses.reset();
        serveur.reset();
        b.reset();
    }

    void reglesDAdresses_data()
    {
        QTest::addColumn<QUrl>("adresse");
        QTest::addColumn<bool>("cadrePrincipal");
        QTest::addColumn<bool>("permise");
        QTest::newRow("http") << QUrl(QStringLiteral("http://127.0.0.1/a")) << true << true;
        QTest::newRow("https dans un cadre") << QUrl(QStringLiteral("https://127.0.0.1/a")) << false << true;
        QTest::newRow("/etc/passwd") << QUrl(QStringLiteral("file:///etc/passwd")) << true << false;
        QTest::newRow("base à côté") << QUrl::fromLocalFile(QStringLiteral("/x/baseFlux.xml")) << true << false;
        QTest::newRow("data") << QUrl(QStringLiteral("data:text/html,<b>x</b>")) << true << false;
        QTest::newRow("javascript") << QUrl(QStringLiteral("javascript:alert(1)")) << true << false;
        QTest::newRow("ftp") << QUrl(QStringLiteral("ftp://127.0.0.1/")) << true << false;
        QTest::newRow("about:blank") << QUrl(QStringLiteral("about:blank")) << true << true;
        QTest::newRow("about:blank dans un cadre") << QUrl(QStringLiteral("about:blank")) << false << false;
        QTest::newRow("view-source") << QUrl(QStringLiteral("view-source:file:///etc/passwd")) << true << false;
        QTest::newRow("fichier de page") << QUrl::fromLocalFile(Emplacement::cheminPage()) << true << false;
        QTest::newRow("page avec ancre") << QUrl(TPageHTML::adressePage().toString() + QStringLiteral("#haut")) << true << true;
        QTest::newRow("autre adresse du schéma") << QUrl(TPageHTML::adressePage().scheme() + QStringLiteral(":baseFlux.xml"))
                                                << true << false;
    }

    void reglesDAdresses()
    {
        QFETCH(QUrl, adresse);
        QFETCH(bool, cadrePrincipal);
        QFETCH(bool, permise);
        QCOMPARE(TPageHTML::adresseAutorisee(adresse, cadrePrincipal), permise);
        // La page elle-même, dans le cadre principal seulement.
        const QUrl page = TPageHTML::adressePage();
        QVERIFY(TPageHTML::adresseAutorisee(page, true));
        QVERIFY(!TPageHTML::adresseAutorisee(page, false));
    }

    // Une entrée Atom au contenu xhtml : les blancs entre ses éléments se voient, et son image
    // relative est demandée à l'adresse que donne xml:base.
    void contenuAtomXhtml()
    {
        serveur->definir("/site/images/i.png", ReponseHTTP::ok(imagePNG(12), "image/png"));
        const QByteArray atom = "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\""
            + serveur->url(QStringLiteral("/site/")).toUtf8() + "\"><title>Atom</title><entry><title>E</title>"
            "<content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\"><b>Bonjour</b> <i>monde</i>"
            "<img id=\"relative\" src=\"images/i.png\"/></div></content></entry></feed>";
        QVERIFY(montrer(atom));
        QVERIFY2(texteDeLaPage(b->page()).contains(u"Bonjour monde"), qPrintable(texteDeLaPage(b->page())));
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.getElementById('relative').naturalWidth")).toInt(), 12, 15000);
        QVERIFY(serveur->requetes().first().startsWith("GET /site/images/i.png "));
    }

    // Un flux téléchargé dont l'image et le lien d'une information sont relatifs : ils se
    // résolvent contre l'adresse du flux, l'image se montre et le titre mène au serveur.
    void liensRelatifsContreLAdresseDuFlux()
    {
        serveur->definir("/blog/img/logo.png", ReponseHTTP::ok(imagePNG(14), "image/png"));
        serveur->definir("/post/1", ReponseHTTP::ok("<html><body>Article</body></html>", "text/html"));
        serveur->definir("/blog/flux.xml", ReponseHTTP::ok("<rss version=\"2.0\"><channel><title>Relatif</title>"
                                                           "<image><url>img/logo.png</url></image>"
                                                           "<item><title>Article</title><link> /post/1 </link></item>"
                                                           "</channel></rss>"));
        b->module->getFluxBase().append(fluxDeBase(QStringLiteral("Relatif"), serveur->url(QStringLiteral("/blog/flux.xml"))));
        f()->actualiserListeSources();
        f()->affichageFluxExecute();
        f()->listeRssSources->setCurrentRow(0);
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        f()->connexionRSS_HTTP->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.images[0].naturalWidth")).toInt(), 14, 15000);
        cliquerSur(QStringLiteral("document.querySelector('h2')"));
        QTRY_COMPARE_WITH_TIMEOUT(f()->pageHTML->url(), QUrl(serveur->url(QStringLiteral("/post/1"))), 15000);
        // Le navigateur peut demander ensuite l'icône du site : la requête de l'article est l'une d'elles.
        const QList<QByteArray> requetes = serveur->requetes();
        QVERIFY2(std::any_of(requetes.begin(), requetes.end(), [](const QByteArray &r) { return r.startsWith("GET /post/1 "); }),
                 requetes.join("\n---\n").constData());
    }

    void scriptsEtFichiersLocaux()
    {
        serveur->definir("/image.png", ReponseHTTP::ok(imagePNG(12), "image/png"));
        const QString imageLocale = b->dossier.ecrire(QStringLiteral("locale.png"), imagePNG(9));
        b->dossier.ecrire(QStringLiteral("baseFlux.xml"), "<secret>base</secret>");
        const QString pirate = QStringLiteral("document.documentElement.setAttribute('data-pirate','%1')");
        const QString html =
            QStringLiteral("<script>%1;document.title='PIRATE'</script>").arg(pirate.arg(QStringLiteral("script")))
            + QStringLiteral("<script>fetch('file:///etc/passwd').then(r=>r.text()).then(t=>{document.title=t})</script>")
            + QStringLiteral("<script>var x=new XMLHttpRequest();x.open('GET','baseFlux.xml',false);x.send();"
                             "document.title=x.responseText</script>")
            + QStringLiteral("<img id=\"casse\" src=\"inexistante\" onerror=\"%1\">").arg(pirate.arg(QStringLiteral("onerror")))
            + QStringLiteral("<svg onload=\"%1\"></svg>").arg(pirate.arg(QStringLiteral("svg")))
            + QStringLiteral("<a id=\"js\" href=\"javascript:%1\">lien js</a> ").arg(pirate.arg(QStringLiteral("lien")))
            + QStringLiteral("<a id=\"fichier\" href=\"file:///etc/passwd\">passwd</a> ")
            + QStringLiteral("<a id=\"base\" href=\"baseFlux.xml\">base</a> ")
            + QStringLiteral("<iframe id=\"cadre\" src=\"file:///etc/passwd\"></iframe>")
            + QStringLiteral("<iframe id=\"cadreData\" src=\"data:text/html,<script>parent.document.title='PIRATE'</script>\"></iframe>")
            + QStringLiteral("<object id=\"objet\" data=\"file:///etc/passwd\"></object>")
            + QStringLiteral("<img id=\"locale\" src=\"%1\">").arg(QUrl::fromLocalFile(imageLocale).toString())
            + QStringLiteral("<img id=\"relative\" src=\"locale.png\">")
            + QStringLiteral("<img id=\"schema\" src=\"lecteur-rss:locale.png\">")
            + QStringLiteral("<iframe id=\"cadrePage\" src=\"lecteur-rss:rss-temps.html\"></iframe>")
            + QStringLiteral("<img id=\"distante\" src=\"%1\">").arg(serveur->url(QStringLiteral("/image.png")));
        QVERIFY(montrer(fluxPiege(html)));
        QTest::qWait(500);

        QCOMPARE(f()->pageHTML->url(), urlPage());
        QCOMPARE(marque(), QStringLiteral("null"));
        QCOMPARE(f()->pageHTML->title(), titrePage());
        // Les images distantes se montrent ; aucune image locale ne se lit.
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.getElementById('distante').naturalWidth")).toInt(), 12, 15000);
        QCOMPARE(js(QStringLiteral("document.getElementById('locale').naturalWidth")).toInt(), 0);
        QCOMPARE(js(QStringLiteral("document.getElementById('relative').naturalWidth")).toInt(), 0);
        QCOMPARE(js(QStringLiteral("document.getElementById('schema').naturalWidth")).toInt(), 0);
        // Les cadres n'ont rien chargé de local.
        const QString contenuCadre = js(QStringLiteral(
            "(function(){try{var d=document.getElementById('cadre').contentDocument;"
            "return d&&d.body?d.body.innerText:'';}catch(e){return 'inaccessible';}})()")).toString();
        QVERIFY2(!contenuCadre.contains(QStringLiteral("root:")), qPrintable(contenuCadre));
        QVERIFY(pageSure()->navigationsRefusees() >= 2);

        // Un lien javascript: cliqué ne fait rien ; un lien vers un fichier local non plus.
        cliquer(QStringLiteral("js"));
        cliquer(QStringLiteral("fichier"));
        cliquer(QStringLiteral("base"));
        QTest::qWait(500);
        QCOMPARE(f()->pageHTML->url(), urlPage());
        QCOMPARE(marque(), QStringLiteral("null"));
        QCOMPARE(f()->pageHTML->title(), titrePage());
    }

    void redirectionVersUnFichier()
    {
        QVERIFY(montrer(fluxPiege(QStringLiteral("<meta http-equiv=\"refresh\" content=\"0;url=file:///etc/passwd\">"))));
        QTest::qWait(800);
        QCOMPARE(f()->pageHTML->url(), urlPage());
        QVERIFY(pageSure()->navigationsRefusees() >= 1);
    }

    void laPageNeSeMontreQuEnHaut()
    {
        // La page du lecteur ne se charge dans aucun cadre, pas même dans le sien.
        const QString cadre = QStringLiteral("<iframe id=\"cadrePage\" src=\"%1\"></iframe>").arg(urlPage().toString());
        QVERIFY(montrer(fluxPiege(cadre)));
        QTRY_VERIFY_WITH_TIMEOUT(pageSure()->navigationsRefusees() >= 2, 15000); // le cadre du canal et celui de l'information
        QCOMPARE(f()->pageHTML->url(), urlPage());
    }

    void aucunFichierLocalPropose()
    {
        // Un formulaire d'envoi de fichier : le clic sur le champ n'ouvre aucune boîte, et le champ
        // reste vide, donc rien de local ne part vers le serveur du flux.
        serveur->definir("/recu", ReponseHTTP::ok("<html><body>Recu</body></html>", "text/html"));
        const QString formulaire =
            QStringLiteral("<form enctype=\"multipart/form-data\" method=\"post\" action=\"%1\">"
                           "<input type=\"file\" id=\"fichier\" name=\"f\"></form>")
                .arg(serveur->url(QStringLiteral("/recu")));
        QVERIFY(montrer(fluxPiege(formulaire)));
        const int fenetres = QApplication::topLevelWidgets().size();
        cliquer(QStringLiteral("fichier"));
        QTRY_COMPARE_WITH_TIMEOUT(pageSure()->choixDeFichiersRefuses(), 1, 15000);
        QTest::qWait(300);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QApplication::topLevelWidgets().size(), fenetres);
        QCOMPARE(js(QStringLiteral("document.getElementById('fichier').files.length")).toInt(), 0);
    }

    void pagesDistantesSuivies()
    {
        // Une page suivie depuis le flux : dans la vue même (target=_blank compris), sans script,
        // et sans chemin vers un fichier local.
        serveur->definir("/distante",
                         ReponseHTTP::ok("<html><head><title>Distante</title>"
                                         "<meta http-equiv=\"refresh\" content=\"1;url=file:///etc/passwd\"></head>"
                                         "<body><a id=\"fichier\" href=\"file:///etc/passwd\">passwd</a>"
                                         "<script>document.title='PIRATE'</script></body></html>",
                                         "text/html"));
        const QString lien = serveur->url(QStringLiteral("/distante"));
        QVERIFY(montrer(fluxPiege(QStringLiteral("<a id=\"ailleurs\" target=\"_blank\" href=\"%1\">ailleurs</a>").arg(lien))));
        const int fenetres = QApplication::topLevelWidgets().size();
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        cliquer(QStringLiteral("ailleurs"));
        QTRY_COMPARE_WITH_TIMEOUT(f()->pageHTML->url(), QUrl(lien), 15000);
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(QApplication::topLevelWidgets().size(), fenetres);
        QCOMPARE(f()->pageHTML->title(), QStringLiteral("Distante"));

        cliquer(QStringLiteral("fichier"));
        QTest::qWait(1500); // le rafraîchissement d'une seconde a eu le temps de tenter sa chance
        QCOMPARE(f()->pageHTML->url(), QUrl(lien));
        QCOMPARE(f()->pageHTML->title(), QStringLiteral("Distante"));

        // Et le retour ramène à la page du flux.
        fini.clear();
        f()->pageHTMLPrecedent->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(f()->pageHTML->url(), urlPage());
    }

    void corpusDesFluxHostiles()
    {
        const QString dossier = OutilsTests::dossierCorpus();
        if (dossier.isEmpty())
            QSKIP("corpus externe absent");
        const QDir sanitize(dossier + QStringLiteral("/feedparser/tests/wellformed/sanitize"));
        if (!sanitize.exists())
            QSKIP("dossier sanitize absent du corpus");
        int montres = 0;
        for (const QString &nom : sanitize.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
            const QByteArray xml = OutilsTests::lireFichier(sanitize.filePath(nom));
            if (!xml.contains("<rss"))
                continue;
            QVERIFY2(montrer(xml), qPrintable(nom));
            // Un rafraîchissement vers une adresse http(s) est permis ; un fichier local, jamais.
            QTest::qWait(20);
            const QUrl url = f()->pageHTML->url();
            QVERIFY2(url == urlPage() || url.scheme() == u"http" || url.scheme() == u"https",
                     qPrintable(nom + u' ' + url.toString()));
            QVERIFY2(pageSure()->boitesDeScripts() == 0, qPrintable(nom));
            ++montres;
        }
        QVERIFY(montres > 0);
        qInfo("%d flux hostiles montrés", montres);
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestSecuritePage)
#include "tst_securite_page.moc"
