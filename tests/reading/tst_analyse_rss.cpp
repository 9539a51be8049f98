// Chargement d'un document et lecture d'un flux RSS : les deux dispositions, les règles de nom,
// de texte et d'image, les encodages, les entités et les échecs. Puis la lecture Atom : champs
// du flux et des entrées, noms d'Atom 0.3, texte d'un champ (xhtml, modes d'Atom 0.3), liens et
// xml:base, image, aiguillage par la racine. Enfin les adresses : blancs retirés, HTML lu par un
// analyseur HTML5, résolution contre l'adresse d'un flux téléchargé.

#include "DialoguesScriptes.h"
#include "LecturePage.h"
#include "OutilsTests.h"
#include "ServeurHTTPTest.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"
#include "reading/AnalyseRSS.h"
#include "reading/ResolutionAdresse.h"
#include "render/ValeursPage.h"

#include <QHash>
#include <QStringConverter>
#include <QTest>

#include <utility>

namespace {

const QString messageAttendu = u"Une erreur est survenue lors de l'analyse du fichier. \n"
                               "Cette erreur est certainement dûe à un format de fichier non reconnu."_qs;

QByteArray rss2(const QByteArray &canal)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>" + canal
        + "</channel></rss>";
}

QByteArray atom(const QByteArray &corps, const QByteArray &attributs = QByteArray())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\"" + attributs + ">"
        + corps + "</feed>";
}

// Un champ d'un flux lu, nommé comme dans les fiches : « titre », « image.url », « info1.lien »...
// Suivi de « visible » : le texte que la page en montre.
QString champ(const TFlux &flux, const QString &nom)
{
    if (nom.endsWith(u" visible")) {
        const QString ecrit = nom.chopped(8);
        const bool enTexte = ecrit == u"titre" ? flux.getTitreEnTexte()
            : ecrit == u"copyright"            ? flux.getCopyrightEnTexte()
                                               : ecrit == u"info0.titre" && flux.infos.value(0) && flux.infos[0]->getTitreEnTexte();
        BudgetHtml budget;
        return LecturePage::texteVisible(champDePage(champ(flux, ecrit), enTexte, budget));
    }
    if (nom.startsWith(u"info")) {
        const int point = nom.indexOf(u'.');
        const int n = nom.mid(4, point - 4).toInt();
        if (n >= flux.infos.size())
            return QStringLiteral("<pas d'information %1>").arg(n);
        const TInfo &info = *flux.infos.at(n);
        const QString c = nom.mid(point + 1);
        return c == u"titre" ? info.getTitre() : c == u"lien" ? info.getLien()
            : c == u"description" ? info.getDescription() : info.getDatePub();
    }
    const TImageFlux &image = flux.getImage();
    const QHash<QString, QString> champs{
        {u"titre"_qs, flux.getTitre()},          {u"lien"_qs, flux.getLien()},
        {u"description"_qs, flux.getDescription()}, {u"copyright"_qs, flux.getCopyright()},
        {u"datePub"_qs, flux.getDatePub()},      {u"langue"_qs, flux.getLangue()},
        {u"auteur"_qs, flux.getAuteur()},        {u"image.url"_qs, image.getUrl()},
        {u"image.lien"_qs, image.getLien()},     {u"image.titre"_qs, image.getTitre()},
        {u"image.description"_qs, image.getDescription()}};
    return champs.value(nom, u"<champ inconnu>"_qs);
}

} // namespace

class TestAnalyseRSS : public QObject
{
    Q_OBJECT

    OutilsTests::DossierExecutable *m_dossier = nullptr;
    DialoguesScriptes m_dialogues;
    TdmRSS *m_module = nullptr;
    int m_numero = 0;

    // Écrit le document dans un fichier, le charge et rend son flux.
    PFlux lire(const QByteArray &document)
    {
        const QString chemin = m_dossier->ecrire(QStringLiteral("flux%1.xml").arg(++m_numero), document);
        if (!m_module->chargerDocumentXML(chemin))
            return nullptr;
        return m_module->analyserFlux(m_module->XMLDoc);
    }

    // Une ligne de table : un document, un champ, sa valeur attendue.
    static void ligne(const char *nom, const QByteArray &document, const QString &champ, const QString &attendu)
    {
        QTest::newRow(nom) << document << champ << attendu;
    }

    void verifierLigne()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, nomChamp);
        QFETCH(QString, attendu);
        const PFlux flux = lire(document);
        QVERIFY(flux);
        QCOMPARE(champ(*flux, nomChamp), attendu);
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    static void colonnes()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("nomChamp");
        QTest::addColumn<QString>("attendu");
    }

private slots:
    void init()
    {
        m_dossier = new OutilsTests::DossierExecutable;
        m_dialogues.oublier();
        m_module = new TdmRSS(m_dialogues);
    }

    void cleanup()
    {
        delete m_module;
        delete m_dossier;
    }

    void rss2Complet()
    {
        const PFlux flux = lire(rss2(
            "<title>Titre</title><link>http://l/</link><description>Desc</description>"
            "<language>fr</language><copyright>(c) moi</copyright><webMaster>wm@x</webMaster>"
            "<pubDate>Mon, 01 Jan 2024</pubDate>"
            "<image><title>Img</title><url>http://l/i.png</url><link>http://l/</link><description>D</description></image>"
            "<item><title>Un</title><link>http://l/1</link><description>d1</description><pubDate>p1</pubDate></item>"
            "<item><title>Deux</title><link>http://l/2</link></item>"
            "<item><title>Trois</title><dc:date>2024-01-03</dc:date></item>"));
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"Titre"_qs);
        QCOMPARE(flux->getLien(), u"http://l/"_qs);
        QCOMPARE(flux->getDescription(), u"Desc"_qs);
        QCOMPARE(flux->getLangue(), u"fr"_qs);
        QCOMPARE(flux->getCopyright(), u"(c) moi"_qs);
        QCOMPARE(flux->getAuteur(), u"wm@x"_qs);
        QCOMPARE(flux->getDatePub(), u"Mon, 01 Jan 2024"_qs);
        QCOMPARE(flux->getImage().getTitre(), u"Img"_qs);
        QCOMPARE(flux->getImage().getUrl(), u"http://l/i.png"_qs);
        QCOMPARE(flux->getImage().getDescription(), u"D"_qs);
        QVERIFY(flux->getImage().getHauteur().isEmpty());
        QCOMPARE(flux->infos.size(), 3);
        QCOMPARE(flux->infos[0]->getTitre(), u"Un"_qs);
        QCOMPARE(flux->infos[0]->getDatePub(), u"p1"_qs);
        QCOMPARE(flux->infos[1]->getLien(), u"http://l/2"_qs);
        QCOMPARE(flux->infos[2]->getDatePub(), u"2024-01-03"_qs);
        QCOMPARE(flux->getUrlRss(), m_module->XMLDoc.nomFichier());
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void rss1ImageEtItemsAColeDuCanal()
    {
        const PFlux flux = lire(
            "<?xml version=\"1.0\"?>\n"
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\""
            " xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
            "<channel rdf:about=\"x\"><title>Canal</title><link>http://c/</link><description>D</description>"
            "<dc:date>2024-02-02</dc:date><dc:rights>Droits</dc:rights><dc:language>fr</dc:language>"
            "<image rdf:resource=\"http://c/i.png\"/><items><rdf:Seq><rdf:li rdf:resource=\"a\"/></rdf:Seq></items></channel>\n"
            "<image><title>I</title><link>http://c/</link><url>http://c/i.png</url></image>\n"
            "<item><title>A</title><link>http://c/a</link><dc:date>d1</dc:date></item>\n"
            "<item><title>B</title><link>http://c/b</link></item>\n"
            "</rdf:RDF>");
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"Canal"_qs);
        QCOMPARE(flux->getDatePub(), u"2024-02-02"_qs);
        QCOMPARE(flux->getCopyright(), u"Droits"_qs);
        QVERIFY2(flux->getLangue().isEmpty(), "dc:language ne donne pas la langue");
        QCOMPARE(flux->getImage().getUrl(), u"http://c/i.png"_qs);
        QCOMPARE(flux->infos.size(), 2);
        QCOMPARE(flux->infos[0]->getTitre(), u"A"_qs);
        QCOMPARE(flux->infos[0]->getDatePub(), u"d1"_qs);
        QCOMPARE(flux->infos[1]->getTitre(), u"B"_qs);
    }

    void leDernierGagneEtUnVideEfface()
    {
        const PFlux flux = lire(rss2("<title>Premier</title><title>Second</title>"
                                     "<pubDate>p</pubDate><dc:date>d</dc:date>"
                                     "<description>Pleine</description><description></description>"
                                     "<item><title>x</title><title/></item>"));
        QCOMPARE(flux->getTitre(), u"Second"_qs);
        QCOMPARE(flux->getDatePub(), u"d"_qs);
        QVERIFY(flux->getDescription().isEmpty());
        QVERIFY(flux->infos[0]->getTitre().isEmpty());
    }

    // Le texte d'un champ : textes et sections CDATA bout à bout, commentaires sautés, blancs
    // seuls entre eux perdus ; vide dès que le champ contient un élément.
    void texteDUnChamp_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("CDATA seule") << QByteArray("<![CDATA[<p>gras</p>]]>") << u"<p>gras</p>"_qs;
        QTest::newRow("texte, CDATA, texte") << QByteArray("Mélange <![CDATA[<et>]]> suite") << u"Mélange <et> suite"_qs;
        QTest::newRow("commentaire au milieu") << QByteArray("Un <!-- note --> blog") << u"Un  blog"_qs;
        QTest::newRow("instruction au milieu") << QByteArray("a<?pi x?>b") << u"ab"_qs;
        // Les blancs d'un champ qui porte du texte sont gardés, même seuls entre deux sections.
        QTest::newRow("CDATA entre des blancs") << QByteArray("   <![CDATA[seul]]>   ") << u"   seul   "_qs;
        QTest::newRow("deux CDATA séparés d'un blanc")
            << QByteArray("<![CDATA[<b>gras</b>]]> <![CDATA[<i>italique</i>]]>") << u"<b>gras</b> <i>italique</i>"_qs;
        QTest::newRow("sous-élément") << QByteArray("<x/>date") << QString();
        QTest::newRow("texte puis sous-élément") << QByteArray("a<![CDATA[b]]><p>x</p>") << QString();
        QTest::newRow("élément vide") << QByteArray() << QString();
        QTest::newRow("commentaire seul") << QByteArray("<!-- rien -->") << QString();
    }

    void texteDUnChamp()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(QString, attendu);
        const QByteArray description = "<description>" + contenu + "</description>";
        const PFlux flux = lire(rss2("<title>T</title>" + description + "<item>" + description + "</item>"));
        QCOMPARE(flux->getTitre(), u"T"_qs);
        QCOMPARE(flux->getDescription(), attendu);
        QCOMPARE(flux->infos[0]->getDescription(), attendu);
    }

    void entitesEtEchappementsSontResolus()
    {
        const PFlux flux = lire(rss2("<title>A &amp; B &lt;i&gt; &#233;t&#xE9;</title>"
                                     "<description>&lt;p&gt;Du &lt;b&gt;HTML&lt;/b&gt;&lt;/p&gt;</description>"));
        QCOMPARE(flux->getTitre(), u"A & B <i> été"_qs);
        QCOMPARE(flux->getDescription(), u"<p>Du <b>HTML</b></p>"_qs);
    }

    void texteGardeSesBlancs()
    {
        const PFlux flux = lire(rss2("<title>  deux blancs  </title>"));
        QCOMPARE(flux->getTitre(), u"  deux blancs  "_qs);
    }

    void nomsComparesAvecLaCasseEtLePrefixe()
    {
        const PFlux flux = lire(rss2("<Title>T</Title><LINK>l</LINK><date>d</date><rss:title>x</rss:title>"
                                     "<webmaster>w</webmaster><Item><title>i</title></Item>"));
        QVERIFY(flux->getTitre().isEmpty());
        QVERIFY(flux->getLien().isEmpty());
        QVERIFY(flux->getDatePub().isEmpty());
        QVERIFY(flux->getAuteur().isEmpty());
        QVERIFY(flux->infos.isEmpty());
    }

    // Chaque élément garde son nom écrit, et son espace de noms quand son préfixe est déclaré ;
    // un préfixe non déclaré ne refuse pas le document.
    void espacesDeNoms_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("espace");
        QTest::addColumn<QString>("local");
        const QString atom = u"http://www.w3.org/2005/Atom"_qs, dc = u"http://purl.org/dc/elements/1.1/"_qs;
        QTest::newRow("préfixe déclaré") << QByteArray("<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\"><a:title/></a:feed>")
                                         << u"a:title"_qs << atom << u"title"_qs;
        QTest::newRow("espace par défaut hérité") << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title/></feed>")
                                                  << u"title"_qs << atom << u"title"_qs;
        QTest::newRow("espace par défaut retiré")
            << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title xmlns=\"\"/></feed>") << u"title"_qs << QString()
            << u"title"_qs;
        QTest::newRow("préfixe redéclaré, puis rendu")
            << QByteArray("<r xmlns:p=\"http://purl.org/dc/elements/1.1/\"><x xmlns:p=\"urn:autre\"/><p:date/></r>")
            << u"p:date"_qs << dc << u"date"_qs;
        QTest::newRow("préfixe non déclaré") << QByteArray("<rss><dc:date>d</dc:date></rss>") << u"dc:date"_qs << QString()
                                             << QString();
    }

    void espacesDeNoms()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, nom);
        QFETCH(QString, espace);
        QFETCH(QString, local);
        QVERIFY(m_module->chargerDocumentXML(m_dossier->ecrire(u"ns.xml"_qs, document)));
        const QDomElement element = m_module->XMLDoc.elementDocument().lastChildElement();
        QCOMPARE(element.nodeName(), nom);
        QCOMPARE(element.namespaceURI(), espace);
        QCOMPARE(element.localName(), local);
    }

    void reglesDeLImage()
    {
        // Sans url, ou url vide : l'image reste celle d'avant (ici l'image vide).
        PFlux flux = lire(rss2("<image><title>T</title><link>l</link></image>"));
        QVERIFY(flux->getImage().getTitre().isEmpty());
        flux = lire(rss2("<image><title>T</title><url></url></image>"));
        QVERIFY(flux->getImage().getTitre().isEmpty());
        // Avec une url mais sans titre.
        flux = lire(rss2("<image><url>http://i/</url></image>"));
        QCOMPARE(flux->getImage().getUrl(), u"http://i/"_qs);
        QVERIFY(flux->getImage().getTitre().isEmpty());
        // Une seconde image sans url ne remplace pas la première.
        flux = lire(rss2("<image><url>http://un/</url></image><image><title>deux</title></image>"));
        QCOMPARE(flux->getImage().getUrl(), u"http://un/"_qs);
        // Une seconde image avec url la remplace.
        flux = lire(rss2("<image><url>http://un/</url></image><image><url>http://deux/</url></image>"));
        QCOMPARE(flux->getImage().getUrl(), u"http://deux/"_qs);
    }

    void racineQuiEstElleMemeLeCanal()
    {
        const PFlux flux = lire("<channel><title>T</title><link>l</link>"
                                "<image><url>http://i/</url></image>"
                                "<item><title>a</title></item><item><title>b</title></item></channel>");
        QVERIFY(flux->getTitre().isEmpty());
        QVERIFY(flux->getLien().isEmpty());
        QCOMPARE(flux->getImage().getUrl(), u"http://i/"_qs);
        QCOMPARE(flux->infos.size(), 2);
    }

    void premierEnfantCommentaire()
    {
        const PFlux flux = lire("<rss><!-- note --><channel><title>T</title><item><title>a</title></item></channel></rss>");
        QVERIFY(flux->getTitre().isEmpty());
        QVERIFY(flux->infos.isEmpty());
    }

    // content:encoded devient la description d'un item qui n'en a pas ou qui l'a vide ; sinon la
    // description reste.
    void contenuEncodeTientLieuDeDescription()
    {
        const PFlux flux = lire(
            "<rss xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"><channel><title>c</title>"
            "<item><content:encoded><![CDATA[<p>Complet</p>]]></content:encoded></item>"
            "<item><description> </description><content:encoded>&lt;p&gt;Vide&lt;/p&gt;</content:encoded></item>"
            "<item><description>Résumé</description><content:encoded>Complet</content:encoded></item></channel></rss>");
        QVERIFY(flux);
        QCOMPARE(flux->infos.size(), 3);
        QCOMPARE(flux->infos[0]->getDescription(), u"<p>Complet</p>"_qs);
        QCOMPARE(flux->infos[1]->getDescription(), u"<p>Vide</p>"_qs);
        QCOMPARE(flux->infos[2]->getDescription(), u"Résumé"_qs);
    }

    // Atom se reconnaît à son espace de noms, quel que soit le préfixe ; toute autre racine reste
    // lue en RSS.
    void documentQuiNEstPasRss()
    {
        const PFlux atom = lire("<atom:feed xmlns:atom=\"http://www.w3.org/2005/Atom\"><atom:title>Atom</atom:title>"
                                "<atom:entry><atom:title>e</atom:title></atom:entry></atom:feed>");
        QVERIFY(atom);
        QCOMPARE(atom->getTitre(), u"Atom"_qs);
        QCOMPARE(atom->infos.size(), 1);
        QCOMPARE(atom->infos[0]->getTitre(), u"e"_qs);
        const PFlux autre = lire("<x:feed xmlns:x=\"urn:autre\"><x:title>Autre</x:title><x:entry/></x:feed>");
        QVERIFY(autre);
        QVERIFY(autre->getTitre().isEmpty());
        QVERIFY(autre->infos.isEmpty());
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void encodages_data()
    {
        QTest::addColumn<QByteArray>("octets");
        const QString texte = u"Crème brûlée à 5 €"_qs;
        const QByteArray corps = "<rss><channel><title>";
        QTest::newRow("windows-1252")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + corps + "Cr\xe8me br\xfbl\xe9""e \xe0 5 \x80</title></channel></rss>");
        QTest::newRow("utf-8 avec BOM")
            << QByteArray("\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + corps + texte.toUtf8() + "</title></channel></rss>");
        // La marque l'emporte sur l'encodage déclaré.
        QTest::newRow("BOM UTF-8, windows-1252 déclaré")
            << QByteArray("\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + corps + texte.toUtf8() + "</title></channel></rss>");
        auto utf16 = QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("utf-16")
            << QByteArray(utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><rss><channel><title>"_qs + texte
                                + u"</title></channel></rss>"_qs));
        // Les encodages qui ne prolongent pas l'ASCII sont décodés avant l'analyse.
        QTest::newRow("utf-32 sans marque")
            << QByteArray(QStringEncoder(QStringConverter::Utf32BE)(u"<rss><channel><title>"_qs + texte + u"</title></channel></rss>"_qs));
        QTest::newRow("utf-7")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-7\"?>")
                   + QStringEncoder("UTF-7")(u"<rss><channel><title>"_qs + texte + u"</title></channel></rss>"_qs).operator QByteArray();
    }

    void encodages()
    {
        QFETCH(QByteArray, octets);
        const PFlux flux = lire(octets);
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"Crème brûlée à 5 €"_qs);
    }

    // ISO-8859-1, US-ASCII et leurs autres noms se lisent en Windows-1252, octets sans caractère
    // attribué compris (0x81 donne U+0081).
    void etiquettesWindows1252_data()
    {
        QTest::addColumn<QByteArray>("encodage");
        QTest::newRow("ISO-8859-1") << QByteArray("ISO-8859-1");
        QTest::newRow("US-ASCII") << QByteArray("US-ASCII");
        QTest::newRow("latin1, autre casse") << QByteArray("Latin1");
        QTest::newRow("windows-1252") << QByteArray("windows-1252");
    }

    void etiquettesWindows1252()
    {
        QFETCH(QByteArray, encodage);
        const PFlux flux = lire("<?xml version=\"1.0\" encoding=\"" + encodage
                                + "\"?><rss><channel><title>\x93Gr\xfc\xdf\x94 \x96 5 \x80 \x81\x8d\x8f\x90\x9d</title></channel></rss>");
        QVERIFY2(flux, qPrintable(m_dialogues.boites.value(0).texte));
        QCOMPARE(flux->getTitre(), u"“Grüß” – 5 € \u0081\u008D\u008F\u0090\u009D"_qs);
    }

    void echecDeChargementMontreLaBoiteUneFois_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QString>("raison"); // sous le message ordinaire ; nulle : aucune
        const QString malForme = u"Le document n'est pas du XML bien formé, ligne "_qs;
        QTest::newRow("pas du XML") << u"texte.xml"_qs << QByteArray("Ceci n'est pas du XML.")
                                    << malForme + u"1, colonne 1 : erreur de syntaxe."_qs;
        QTest::newRow("mal formé") << u"casse.xml"_qs << QByteArray("<rss><channel></rss>")
                                   << malForme + u"1, colonne 17 : balise mal fermée."_qs;
        QTest::newRow("vide") << u"vide.xml"_qs << QByteArray("\r\n")
                              << malForme + u"2, colonne 1 : document vide (aucun élément)."_qs;
        QTest::newRow("coupé") << u"coupe.xml"_qs << QByteArray("<rss>\n<channel><title>a")
                               << malForme + u"2, colonne 18 : le document s'arrête avant la fermeture de ses éléments."_qs;
        QTest::newRow("entité inconnue") << u"entite.xml"_qs << QByteArray("<rss>&nbspx;</rss>")
                                         << malForme + u"1, colonne 6 : entité non déclarée « nbspx »."_qs;
        QTest::newRow("absent") << QString() << QByteArray() << QString();
    }

    void echecDeChargementMontreLaBoiteUneFois()
    {
        QFETCH(QString, nom);
        QFETCH(QByteArray, contenu);
        QFETCH(QString, raison);
        const QString chemin = nom.isEmpty() ? m_dossier->chemin(u"absent.xml"_qs) : m_dossier->ecrire(nom, contenu);
        QVERIFY(!m_module->chargerDocumentXML(chemin));
        QVERIFY(!m_module->XMLDoc.estActif());
        QCOMPARE(m_dialogues.boites.size(), 1);
        QCOMPARE(m_dialogues.boites[0].type, TypeBoite::Erreur);
        QCOMPARE(m_dialogues.boites[0].boutons, BoutonsBoite::Ok);
        QCOMPARE(m_dialogues.boites[0].texte, raison.isNull() ? messageAttendu : messageAttendu + u'\n' + raison);
        // Le document inactif ne donne pas de flux : l'erreur remonte à l'appelant.
        QVERIFY_THROWS_EXCEPTION(ErreurDocumentInactif, m_module->analyserFlux(m_module->XMLDoc));
    }

    void lecturesRapprocheesDonnentChaqueFoisLeDocumentLu_data()
    {
        QTest::addColumn<bool>("tourDeBoucle");
        QTest::newRow("lectures d'affilée") << false;
        QTest::newRow("un tour de boucle après chaque lecture") << true;
    }

    void lecturesRapprocheesDonnentChaqueFoisLeDocumentLu()
    {
        // Chaque lecture abandonne le document précédent, détruit à côté au tour de boucle
        // suivant (ou à la lecture suivante s'il n'en vient pas) : des lectures rapprochées,
        // réussies ou non, donnent chacune son document ; un échec laisse le document inactif,
        // rien du précédent. Le module peut disparaître avant que l'abandonné soit parti.
        QFETCH(bool, tourDeBoucle);
        QByteArray infos;
        for (int i = 0; i < 3000; ++i)
            infos += "<item><title>i" + QByteArray::number(i) + "</title><link>l</link></item>";
        const QString grand = m_dossier->ecrire(u"grand.xml"_qs, rss2("<title>Grand</title>" + infos));
        const QString petit = m_dossier->ecrire(u"petit.xml"_qs, rss2("<title>Petit</title><item/>"));
        const QString illisible = m_dossier->ecrire(u"illisible.xml"_qs, "<rss><channel>");
        const auto charger = [&](const QString &chemin) {
            const bool charge = m_module->chargerDocumentXML(chemin);
            if (tourDeBoucle)
                QCoreApplication::processEvents();
            return charge;
        };
        for (int tour = 0; tour < 20; ++tour) {
            QVERIFY(charger(grand));
            QCOMPARE(m_module->analyserFlux(m_module->XMLDoc)->infos.size(), 3000);
            QVERIFY(charger(petit));
            const PFlux flux = m_module->analyserFlux(m_module->XMLDoc);
            QCOMPARE(flux->getTitre(), u"Petit"_qs);
            QCOMPARE(flux->infos.size(), 1);
            QVERIFY(charger(grand));
            QVERIFY(!charger(illisible));
            QVERIFY(!m_module->XMLDoc.estActif());
        }
        QCOMPARE(m_dialogues.boites.size(), 20);

        QVERIFY(m_module->chargerDocumentXML(petit));
        QVERIFY(m_module->chargerDocumentXML(grand));
        delete std::exchange(m_module, new TdmRSS(m_dialogues));
        QCoreApplication::processEvents();
        QVERIFY(m_module->chargerDocumentXML(petit));
        QCOMPARE(m_module->analyserFlux(m_module->XMLDoc)->getTitre(), u"Petit"_qs);
    }

    void racineSansEnfantLeveUneErreurDIndex()
    {
        const QString chemin = m_dossier->ecrire(u"seul.xml"_qs, "<rss version=\"2.0\"/>");
        QVERIFY(m_module->chargerDocumentXML(chemin));
        QVERIFY_THROWS_EXCEPTION(ErreurIndexXML, m_module->analyserFlux(m_module->XMLDoc));
    }

    void chaqueAnalyseDonneDesObjetsNeufs()
    {
        QVERIFY(lire(rss2("<item><title>a</title></item>")));
        const PFlux un = m_module->analyserFlux(m_module->XMLDoc);
        const PFlux deux = m_module->analyserFlux(m_module->XMLDoc);
        QVERIFY(un->infos[0] != deux->infos[0]);
        QVERIFY(*un->infos[0] == *deux->infos[0]);
    }

    // Les entités de HTML 4 (le DTD externe n'est jamais téléchargé) : résolues pendant l'analyse,
    // avec ou sans DOCTYPE, les blancs qui les séparent gardés, sauf quand le sous-ensemble interne
    // les déclare ; un nom inconnu refuse le document sans DOCTYPE.
    void entitesHTMLDuDTDExterne_data()
    {
        QTest::addColumn<QByteArray>("doctype");
        QTest::addColumn<QByteArray>("titre");
        QTest::addColumn<QString>("attendu");
        const QByteArray netscape = "<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\" "
                                    "\"http://my.netscape.com/publish/formats/rss-0.91.dtd\">";
        QTest::newRow("latin-1") << netscape << QByteArray("Caf&eacute; news") << u"Café news"_qs;
        QTest::newRow("spéciales et symboles") << netscape << QByteArray("a&ndash;b &euro;&nbsp;&hearts;&amp;")
                                               << u"a–b €\u00A0♥&"_qs;
        QTest::newRow("à la suite, puis CDATA") << netscape << QByteArray("&Eacute;&egrave;<![CDATA[&x;]]>")
                                                << u"Éè&x;"_qs;
        QTest::newRow("blancs entre entités") << netscape << QByteArray("caf&eacute; &ndash; &copy; 2026 &egrave;t&eacute;")
                                              << u"café – © 2026 èté"_qs;
        QTest::newRow("nom inconnu gardé") << netscape << QByteArray("a&inconnu;b") << u"a&inconnu;b"_qs;
        QTest::newRow("DTD système") << QByteArray("<!DOCTYPE rss SYSTEM \"rss.dtd\">") << QByteArray("&copy; 2026")
                                     << u"© 2026"_qs;
        QTest::newRow("le sous-ensemble interne l'emporte")
            << QByteArray("<!DOCTYPE rss SYSTEM \"rss.dtd\" [<!ENTITY eacute \"E\">]>") << QByteArray("Caf&eacute;")
            << u"CafE"_qs;
        QTest::newRow("sans DOCTYPE") << QByteArray() << QByteArray("Caf&eacute;") << u"Café"_qs;
        QTest::newRow("sans DOCTYPE, nom inconnu refusé") << QByteArray() << QByteArray("a&inconnu;b") << QString();
    }

    void entitesHTMLDuDTDExterne()
    {
        QFETCH(QByteArray, doctype);
        QFETCH(QByteArray, titre);
        QFETCH(QString, attendu);
        const PFlux flux = lire("<?xml version=\"1.0\"?>" + doctype + "<rss><channel><title>" + titre
                                + "</title></channel></rss>");
        QCOMPARE(bool(flux), !attendu.isNull());
        if (flux)
            QCOMPARE(flux->getTitre(), attendu);
    }

    void imbricationRaisonnableAcceptee()
    {
        const int n = 500;
        const PFlux flux = lire("<rss><channel><title>t</title><item><title>i</title></item>" + QByteArray("<a>").repeated(n)
                                + QByteArray("</a>").repeated(n) + "</channel></rss>");
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"t"_qs);
    }

    void petitesEntitesInternesAcceptees()
    {
        const PFlux flux = lire("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY nom \"Brindlewave\">]>"
                                "<rss><channel><title>&nom; et &nom;</title></channel></rss>");
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"Brindlewave et Brindlewave"_qs);
    }

    // --- Flux Atom ---

    void atom10Complet()
    {
        const PFlux flux = lire(atom(
            "<title>Carnet</title><subtitle>Notes du jour</subtitle><rights>© Moi</rights>"
            "<updated>2026-12-07T08:00:00Z</updated><id>urn:x</id>"
            "<link rel=\"self\" href=\"http://127.0.0.1/atom.xml\"/><link href=\"http://127.0.0.1/\"/>"
            "<author><name>Anne</name><email>a@x</email></author><author><name>Bruno</name></author>"
            "<logo>http://127.0.0.1/logo.png</logo>"
            "<entry><title>Un</title><link href=\"http://127.0.0.1/1\"/><summary>Résumé un</summary>"
            "<updated>2026-12-06</updated><published>2026-12-01</published></entry>"
            "<entry><title>Deux</title><link rel=\"alternate\" href=\"http://127.0.0.1/2\"/>"
            "<content type=\"html\">&lt;p&gt;Contenu &lt;b&gt;deux&lt;/b&gt;&lt;/p&gt;</content>"
            "<published>2026-12-02</published></entry>"
            "<entry><title>Trois</title></entry>",
            " xml:lang=\"fr-FR\""));
        QVERIFY(flux);
        QCOMPARE(flux->getTitre(), u"Carnet"_qs);
        QCOMPARE(flux->getDescription(), u"Notes du jour"_qs);
        QCOMPARE(flux->getCopyright(), u"© Moi"_qs);
        QCOMPARE(flux->getDatePub(), u"2026-12-07T08:00:00Z"_qs);
        QCOMPARE(flux->getAuteur(), u"Anne"_qs);
        QCOMPARE(flux->getLangue(), u"fr-FR"_qs);
        QCOMPARE(flux->getLien(), u"http://127.0.0.1/"_qs);
        QCOMPARE(flux->getImage().getUrl(), u"http://127.0.0.1/logo.png"_qs);
        QCOMPARE(flux->getImage().getLien(), u"http://127.0.0.1/"_qs);
        QVERIFY(flux->getImage().getTitre().isEmpty());
        QCOMPARE(flux->getUrlRss(), m_module->XMLDoc.nomFichier());

        QCOMPARE(flux->infos.size(), 3);
        QCOMPARE(flux->infos[0]->getTitre(), u"Un"_qs);
        QCOMPARE(flux->infos[0]->getLien(), u"http://127.0.0.1/1"_qs);
        QCOMPARE(flux->infos[0]->getDescription(), u"Résumé un"_qs);
        QCOMPARE(flux->infos[0]->getDatePub(), u"2026-12-06"_qs);
        QCOMPARE(flux->infos[1]->getLien(), u"http://127.0.0.1/2"_qs);
        QCOMPARE(flux->infos[1]->getDescription(), u"<p>Contenu <b>deux</b></p>"_qs);
        QCOMPARE(flux->infos[1]->getDatePub(), u"2026-12-02"_qs);
        QCOMPARE(flux->infos[2]->getTitre(), u"Trois"_qs);
        QVERIFY(flux->infos[2]->getLien().isEmpty());
        QVERIFY(flux->infos[2]->getDescription().isEmpty());
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    // Les noms d'Atom 0.3, les doublons (le dernier l'emporte, même vide) et l'auteur ; les noms
    // reconnus à leur espace de noms.
    void champsDuFluxEtDesEntrees_data()
    {
        colonnes();
        ligne("0.3 tagline", atom("<tagline>Slogan</tagline>"), u"description"_qs, u"Slogan"_qs);
        ligne("0.3 copyright", atom("<copyright>(c)</copyright>"), u"copyright"_qs, u"(c)"_qs);
        ligne("0.3 modified", atom("<modified>2004-01-01</modified>"), u"datePub"_qs, u"2004-01-01"_qs);
        ligne("subtitle puis tagline", atom("<subtitle>a</subtitle><tagline>b</tagline>"), u"description"_qs, u"b"_qs);
        ligne("titre vide en dernier", atom("<title>a</title><title/>"), u"titre"_qs, QString());
        ligne("noms en capitales ignorés", atom("<Title>a</Title>"), u"titre"_qs, QString());
        ligne("dernier name du premier author",
              atom("<author><name>a</name><name>b</name></author><author><name>c</name></author>"), u"auteur"_qs,
              u"b"_qs);
        ligne("premier author sans name", atom("<author><email>e</email></author><author><name>c</name></author>"),
              u"auteur"_qs, QString());
        ligne("langue sans xml:lang", atom("<title>t</title>"), u"langue"_qs, QString());
        ligne("entrée 0.3 modified", atom("<entry><modified>m</modified><issued>i</issued></entry>"),
              u"info0.datePub"_qs, u"m"_qs);
        ligne("entrée 0.3 issued seul", atom("<entry><issued>i</issued></entry>"), u"info0.datePub"_qs, u"i"_qs);
        ligne("entrée updated vide", atom("<entry><updated/><published>p</published></entry>"), u"info0.datePub"_qs,
              u"p"_qs);
        ligne("résumé vide, contenu", atom("<entry><summary></summary><content>c</content></entry>"),
              u"info0.description"_qs, u"c"_qs);
        ligne("résumé avant contenu", atom("<entry><content>c</content><summary>s</summary></entry>"),
              u"info0.description"_qs, u"s"_qs);
        ligne("entrées dans l'ordre", atom("<entry><title>a</title></entry><x/><entry><title>b</title></entry>"),
              u"info1.titre"_qs, u"b"_qs);
        ligne("entrée imbriquée ignorée", atom("<x><entry><title>a</title></entry></x>"), u"info0.titre"_qs,
              u"<pas d'information 0>"_qs);
        // Les éléments reconnus à leur espace de noms, quel que soit leur préfixe.
        ligne("entrée sans préfixe, racine préfixée",
              "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\" xmlns=\"http://www.w3.org/2005/Atom\"><entry><title>e</title>"
              "</entry></a:feed>", u"info0.titre"_qs, u"e"_qs);
        ligne("Atom sous un espace ancien", "<feed version=\"0.3\" xmlns=\"http://purl.org/echo/\"><title>T</title></feed>",
              u"titre"_qs, u"T"_qs);
        const QByteArray item = "<rss><channel><item>";
        ligne("module content sous un autre préfixe",
              item + "<c:encoded xmlns:c=\"http://purl.org/rss/1.0/modules/content/\">Complet</c:encoded></item></channel></rss>",
              u"info0.description"_qs, u"Complet"_qs);
        ligne("content:encoded d'un autre espace",
              item + "<content:encoded xmlns:content=\"urn:autre\">Autre</content:encoded></item></channel></rss>",
              u"info0.description"_qs, QString());
        ligne("link d'Atom dans un item",
              item + "<link>http://a/</link><link xmlns=\"http://www.w3.org/2005/Atom\" href=\"x\"/></item></channel></rss>",
              u"info0.lien"_qs, u"http://a/"_qs);
        ligne("RSS 2.0 sous un espace par défaut",
              "<rss xmlns=\"http://backend.userland.com/rss2\"><channel><description>d</description></channel></rss>",
              u"description"_qs, u"d"_qs);
    }
    void champsDuFluxEtDesEntrees() { verifierLigne(); }

    // Le texte d'un champ selon son type.
    void texteDUnChampAtom_data()
    {
        colonnes();
        auto resume = [](const QByteArray &s) { return atom("<entry><summary" + s + "</summary></entry>"); };
        const QString d = u"info0.description"_qs;
        // Un texte reste un texte sur la page : ses « & », « < » et « > » sont échappés.
        ligne("texte", resume(">Simple &amp; clair"), d, u"Simple &amp; clair"_qs);
        ligne("texte avec une balise", resume(" type=\"text\">Utiliser &lt;script&gt; pour"), d,
              u"Utiliser &lt;script&gt; pour"_qs);
        ligne("xhtml, blanc entre deux éléments", resume(" type=\"xhtml\"><div><b>Bonjour</b> <i>monde</i></div>"), d,
              u"<b>Bonjour</b> <i>monde</i>"_qs);
        // Écrit comme HTML le relit : une balise fermante sauf pour les éléments vides de HTML.
        ligne("xhtml, éléments sans enfant",
              resume(" type=\"xhtml\"><div><iframe src=\"http://a/v\"/><br/><textarea/><p>x</p></div>"), d,
              u"<iframe src=\"http://a/v\"></iframe><br><textarea></textarea><p>x</p>"_qs);
        // href et src relatifs résolus contre la chaîne des xml:base ; une adresse absolue reste telle quelle.
        ligne("xhtml, adresses et xml:base",
              resume(" type=\"xhtml\" xml:base=\"http://127.0.0.1/b/\"><div><img src=\"i.png\"/><p xml:base=\"c/\">"
                     "<a href=\"r.html\">r</a></p><a href=\"http://x/a/../c\">a</a></div>"),
              d, u"<img src=\"http://127.0.0.1/b/i.png\"><p xml:base=\"c/\"><a href=\"http://127.0.0.1/b/c/r.html\">r</a></p>"
                 "<a href=\"http://x/a/../c\">a</a>"_qs);
        ligne("html, adresses et xml:base",
              resume(" type=\"html\" xml:base=\"http://127.0.0.1/b/\">&lt;a href='r.html'&gt;l&lt;/a&gt;&lt;img src=\"/i.png\"&gt;"), d,
              u"<a href='http://127.0.0.1/b/r.html'>l</a><img src=\"http://127.0.0.1/i.png\">"_qs);
        const QByteArray atom03 = "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><entry><content ";
        ligne("Atom 0.3, mode xml", atom03 + "mode=\"xml\"><p>Un <em>deux</em></p></content></entry></feed>", d,
              u"<p>Un <em>deux</em></p>"_qs);
        ligne("Atom 0.3, mode base64", atom03 + "type=\"text/html\" mode=\"base64\">PHA+w6l0w6k8L3A+</content></entry></feed>",
              d, u"<p>été</p>"_qs);
        ligne("Atom 0.3, sans mode", atom03 + "type=\"text/html\">&lt;b&gt;x&lt;/b&gt;</content></entry></feed>", d,
              u"<b>x</b>"_qs);
        ligne("html échappé", resume(" type=\"html\">&lt;i&gt;x&lt;/i&gt;"), d, u"<i>x</i>"_qs);
        ligne("html en CDATA", resume(" type=\"html\"><![CDATA[<p>a</p>]]> b"), d, u"<p>a</p> b"_qs);
        ligne("élément hors xhtml", resume(" type=\"html\"><p>a</p>"), d, QString());
        ligne("xhtml", resume(" type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">Du <b>gras</b> &amp; "
                              "<a href=\"http://127.0.0.1/\">un lien</a></div>"),
              d, u"Du <b>gras</b> &amp; <a href=\"http://127.0.0.1/\">un lien</a>"_qs);
        ligne("xhtml préfixé", resume(" type=\"xhtml\"><x:div xmlns:x=\"http://www.w3.org/1999/xhtml\"><x:p>a</x:p></x:div>"),
              d, u"<x:p>a</x:p>"_qs);
        ligne("xhtml après un commentaire", resume(" type=\"xhtml\"><!-- c --><div><p>a</p><p>b</p></div>"), d,
              u"<p>a</p><p>b</p>"_qs);
        ligne("xhtml sans div", resume(" type=\"xhtml\">texte nu"), d, QString());
        ligne("xhtml titre", atom("<title type=\"xhtml\"><div>Titre <em>fort</em></div></title>"), u"titre"_qs,
              u"Titre <em>fort</em>"_qs);
        // Atom 0.3 : type MIME, modes base64 et xml (celui par défaut), texte seul lu selon le type.
        const QByteArray feed03 = "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\">";
        ligne("0.3 titre mode xml", feed03 + "<title mode=\"xml\" type=\"application/xhtml+xml\"><b>gras</b> et maigre</title></feed>",
              u"titre visible"_qs, u"gras et maigre"_qs);
        ligne("0.3 xhtml sans mode", feed03 + "<entry><content type=\"application/xhtml+xml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">"
              "Du <b>gras</b></div></content></entry></feed>", u"info0.description visible"_qs, u"Du gras"_qs);
        ligne("0.3 titre base64", feed03 + "<title mode=\"base64\">\n  RXhhbXBsZSA8Yj5BdG9tPC9iPg==\n</title></feed>",
              u"titre visible"_qs, u"Example <b>Atom</b>"_qs);
        ligne("0.3 text/plain", feed03 + "<entry><content type=\"text/plain\">Use &lt;b&gt; for bold</content></entry></feed>",
              u"info0.description visible"_qs, u"Use <b> for bold"_qs);
        ligne("0.3 sans type", feed03 + "<tagline>a &lt; b</tagline></feed>", u"description visible"_qs, u"a < b"_qs);
        // Un titre ou des droits en texte se montrent tels qu'écrits ; les listes gardent leur texte.
        ligne("titre texte", atom("<entry><title type=\"text\">Q&amp;A: &lt;br&gt; or &lt;br/&gt;?</title></entry>"),
              u"info0.titre visible"_qs, u"Q&A: <br> or <br/>?"_qs);
        ligne("titre texte dans les listes", atom("<entry><title>Why &lt;blink&gt; died</title></entry>"), u"info0.titre"_qs,
              u"Why <blink> died"_qs);
        ligne("droits texte", atom("<rights>Tous &lt;droits&gt;</rights>"), u"copyright visible"_qs, u"Tous <droits>"_qs);
        ligne("titre html", atom("<title type=\"html\">&lt;b&gt;x&lt;/b&gt; &amp;amp;</title>"), u"titre visible"_qs, u"x &"_qs);
        // Le HTML lu par un analyseur HTML5 : seules les valeurs d'adresses changent.
        auto html = [](const QByteArray &contenu) {
            return atom("<entry><summary type=\"html\" xml:base=\"http://127.0.0.1/b/\">" + contenu + "</summary></entry>");
        };
        ligne("href sans guillemets", html("&lt;a href=page.html&gt;p&lt;/a&gt;"), d, u"<a href=\"http://127.0.0.1/b/page.html\">p</a>"_qs);
        ligne("href dans le texte", html("Set href=\"page.html\" on &lt;i&gt;a&lt;/i&gt;"), d, u"Set href=\"page.html\" on <i>a</i>"_qs);
        ligne("src dans une autre valeur", html("&lt;img alt=\" src='x.png'\" src=y.png&gt;"), d,
              u"<img alt=\" src='x.png'\" src=\"http://127.0.0.1/b/y.png\">"_qs);
        ligne("src entre blancs", html("&lt;img src=\" pic.png \"&gt;"), d, u"<img src=\"http://127.0.0.1/b/pic.png\">"_qs);
        ligne("srcset, poster, background",
              html("&lt;img srcset=\"a.png 1x,b.png 2x\"&gt;&lt;video poster='v.jpg'&gt;&lt;/video&gt;&lt;table background=f.png&gt;&lt;/table&gt;"), d,
              u"<img srcset=\"http://127.0.0.1/b/a.png 1x,http://127.0.0.1/b/b.png 2x\"><video poster='http://127.0.0.1/b/v.jpg'>"
              "</video><table background=\"http://127.0.0.1/b/f.png\"></table>"_qs);
        ligne("référence dans l'adresse", html("&lt;a href=\"a&amp;amp;b.html#n\"&gt;&lt;/a&gt;"), d,
              u"<a href=\"http://127.0.0.1/b/a&amp;b.html#n\"></a>"_qs);
        ligne("renvoi dans la page", html("&lt;a href=\"#note\"&gt;1&lt;/a&gt;"), d, u"<a href=\"#note\">1</a>"_qs);
    }
    void texteDUnChampAtom() { verifierLigne(); }

    // Le lien : premier link sans rel ou « alternate », résolu contre la chaîne des xml:base.
    void liens_data()
    {
        colonnes();
        const QString l = u"lien"_qs;
        const QString e = u"info0.lien"_qs;
        ligne("sans base, tel qu'écrit", atom("<link href=\"relatif/page\"/>"), l, u"relatif/page"_qs);
        ligne("self puis alternate", atom("<link rel=\"self\" href=\"s\"/><link rel=\"alternate\" href=\"a\"/>"), l,
              u"a"_qs);
        ligne("le premier qui convient", atom("<link href=\"un\"/><link href=\"deux\"/>"), l, u"un"_qs);
        ligne("aucun qui convienne", atom("<link rel=\"enclosure\" href=\"x\"/>"), l, QString());
        ligne("beaucoup d'attributs",
              atom("<link a=\"1\" b=\"2\" rel=\"self\" c=\"3\" href=\"s\"/><link a=\"1\" b=\"2\" c=\"3\" d=\"4\" href=\"x\"/>"),
              l, u"x"_qs);
        ligne("rel en capitales", atom("<link rel=\"Alternate\" href=\"x\"/>"), l, QString());
        ligne("base de la racine", atom("<link href=\"page\"/>", " xml:base=\"http://127.0.0.1/dossier/\""), l,
              u"http://127.0.0.1/dossier/page"_qs);
        ligne("chaîne racine, entrée, link",
              atom("<entry xml:base=\"sous/\"><link xml:base=\"plus/\" href=\"../p?q=1#f\"/></entry>",
                   " xml:base=\"http://127.0.0.1/a/b\""),
              e, u"http://127.0.0.1/a/sous/p?q=1#f"_qs);
        ligne("base de l'entrée seule", atom("<entry xml:base=\"http://127.0.0.1/e/\"><link href=\"/abs\"/></entry>"),
              e, u"http://127.0.0.1/abs"_qs);
        ligne("base sans chemin", atom("<link href=\"p\"/>", " xml:base=\"http://127.0.0.1\""), l,
              u"http://127.0.0.1/p"_qs);
        ligne("blancs autour", atom("<link href=\" http://127.0.0.1/post/1 \"/>", " xml:base=\"http://127.0.0.1/blog/\""), l,
              u"http://127.0.0.1/post/1"_qs);
        ligne("base d'une entrée voisine sans effet",
              atom("<entry xml:base=\"http://127.0.0.1/un/\"/><entry><link href=\"p\"/></entry>"), u"info1.lien"_qs,
              u"p"_qs);
    }
    void liens() { verifierLigne(); }

    // Les exemples de la RFC 3986 (5.4.1 et 5.4.2), contre sa base « http://a/b/c/d;p?q ».
    void resolutionDesAdresses_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("attendue");
        const char *exemples[][2] = {
            {"g:h", "g:h"}, {"g", "http://a/b/c/g"}, {"./g", "http://a/b/c/g"}, {"g/", "http://a/b/c/g/"},
            {"/g", "http://a/g"}, {"//g", "http://g"}, {"?y", "http://a/b/c/d;p?y"}, {"g?y", "http://a/b/c/g?y"},
            {"#s", "http://a/b/c/d;p?q#s"}, {"g#s", "http://a/b/c/g#s"}, {"g?y#s", "http://a/b/c/g?y#s"},
            {";x", "http://a/b/c/;x"}, {"g;x", "http://a/b/c/g;x"}, {"g;x?y#s", "http://a/b/c/g;x?y#s"},
            {"", "http://a/b/c/d;p?q"}, {".", "http://a/b/c/"}, {"./", "http://a/b/c/"}, {"..", "http://a/b/"},
            {"../", "http://a/b/"}, {"../g", "http://a/b/g"}, {"../..", "http://a/"}, {"../../", "http://a/"},
            {"../../g", "http://a/g"}, {"../../../g", "http://a/g"}, {"../../../../g", "http://a/g"},
            {"/./g", "http://a/g"}, {"/../g", "http://a/g"}, {"g.", "http://a/b/c/g."}, {".g", "http://a/b/c/.g"},
            {"g..", "http://a/b/c/g.."}, {"..g", "http://a/b/c/..g"}, {"./../g", "http://a/b/g"},
            {"./g/.", "http://a/b/c/g/"}, {"g/./h", "http://a/b/c/g/h"}, {"g/../h", "http://a/b/c/h"},
            {"g;x=1/./y", "http://a/b/c/g;x=1/y"}, {"g;x=1/../y", "http://a/b/c/y"},
            {"g?y/./x", "http://a/b/c/g?y/./x"}, {"g?y/../x", "http://a/b/c/g?y/../x"},
            {"g#s/./x", "http://a/b/c/g#s/./x"}, {"g#s/../x", "http://a/b/c/g#s/../x"}, {"http:g", "http:g"}};
        for (const auto &[reference, attendue] : exemples)
            QTest::newRow(reference) << QString::fromLatin1(reference) << QString::fromLatin1(attendue);
    }

    void resolutionDesAdresses()
    {
        QFETCH(QString, reference);
        QFETCH(QString, attendue);
        QCOMPARE(resoudreAdresse(u"http://a/b/c/d;p?q"_qs, reference), attendue);
    }

    // L'image : le logo, sinon l'icône, résolus comme un lien ; son lien est celui du flux.
    void image_data()
    {
        colonnes();
        const QString u = u"image.url"_qs;
        ligne("logo et icône", atom("<icon>i.ico</icon><logo>l.png</logo>"), u, u"l.png"_qs);
        ligne("icône seule", atom("<icon>i.ico</icon>"), u, u"i.ico"_qs);
        ligne("logo vide, icône", atom("<logo/><icon>i.ico</icon>"), u, u"i.ico"_qs);
        ligne("ni l'un ni l'autre", atom("<link href=\"http://127.0.0.1/\"/>"), u"image.lien"_qs, QString());
        ligne("logo résolu", atom("<logo>img/l.png</logo>", " xml:base=\"http://127.0.0.1/site/\""), u,
              u"http://127.0.0.1/site/img/l.png"_qs);
        ligne("lien de l'image", atom("<logo>l.png</logo><link href=\"http://127.0.0.1/\"/>"), u"image.lien"_qs,
              u"http://127.0.0.1/"_qs);
        ligne("logo entre des blancs", atom("<logo>\n    http://127.0.0.1/logo.png\n  </logo>", " xml:base=\"http://127.0.0.1/b/\""), u,
              u"http://127.0.0.1/logo.png"_qs);
    }
    void image() { verifierLigne(); }

    // Les adresses perdent les blancs qui les entourent. Celles d'un flux lu par HTTP, et celles
    // du HTML de ses descriptions, se résolvent contre l'adresse d'où il vient (« R » : la racine
    // du serveur), pour Atom après la chaîne des xml:base ; celles d'un fichier local restent
    // relatives.
    void adresses_data()
    {
        colonnes();
        QTest::addColumn<bool>("parHttp");
        auto rangee = [](const char *nom, const QByteArray &document, const char16_t *champ, const char16_t *attendu, bool parHttp) {
            QTest::newRow(nom) << document << QString::fromUtf16(champ) << QString::fromUtf16(attendu) << parHttp;
        };
        rangee("lien du canal", rss2("<link>\n  http://127.0.0.1/\n</link>"), u"lien", u"http://127.0.0.1/", false);
        rangee("lien d'un item", rss2("<item><link> http://127.0.0.1/1\t</link></item>"), u"info0.lien", u"http://127.0.0.1/1", false);
        rangee("adresse de l'image", rss2("<image><url>\n http://127.0.0.1/i.png \n</url></image>"), u"image.url",
               u"http://127.0.0.1/i.png", false);
        rangee("lien de l'image", rss2("<image><url>i.png</url><link> http://127.0.0.1/ </link></image>"), u"image.lien",
               u"http://127.0.0.1/", false);
        rangee("fichier local, lien relatif", rss2("<item><link>/post/1</link></item>"), u"info0.lien", u"/post/1", false);
        rangee("HTTP, lien d'un item", rss2("<item><link>/post/1</link></item>"), u"info0.lien", u"R/post/1", true);
        rangee("HTTP, lien du canal", rss2("<link>./</link>"), u"lien", u"R/d/", true);
        rangee("HTTP, image", rss2("<image><url>img/a.png</url><link>..</link></image>"), u"image.url", u"R/d/img/a.png", true);
        rangee("HTTP, adresse d'une description", rss2("<item><description>&lt;img src=\"img/b.png\"&gt;</description></item>"),
               u"info0.description", u"<img src=\"R/d/img/b.png\">", true);
        rangee("HTTP, adresse absolue gardée", rss2("<item><link>http://127.0.0.1/x</link></item>"), u"info0.lien",
               u"http://127.0.0.1/x", true);
        rangee("HTTP, Atom après xml:base", atom("<entry xml:base=\"sous/\"><link href=\"p\"/></entry>"), u"info0.lien",
               u"R/d/sous/p", true);
        rangee("HTTP, Atom xhtml", atom("<entry><content type=\"xhtml\"><div><img src=\"i.png\"/></div></content></entry>"),
               u"info0.description", u"<img src=\"R/d/i.png\">", true);
    }

    void adresses()
    {
        QFETCH(bool, parHttp);
        if (!parHttp)
            return verifierLigne();
        QFETCH(QByteArray, document);
        QFETCH(QString, nomChamp);
        QFETCH(QString, attendu);
        ServeurHTTPTest serveur;
        serveur.definir("/d/flux.xml", ReponseHTTP::ok(document));
        QVERIFY(m_module->chargerDocumentXML(serveur.url(QStringLiteral("/d/flux.xml"))));
        const PFlux flux = m_module->analyserFlux(m_module->XMLDoc);
        QCOMPARE(champ(*flux, nomChamp), QString(attendu).replace(u"R/"_qs, serveur.url(QStringLiteral("/"))));
    }

    void racineFeedSansEnfant()
    {
        const PFlux flux = lire("<feed/>");
        QVERIFY(flux);
        QVERIFY(flux->getTitre().isEmpty());
        QVERIFY(flux->infos.isEmpty());
        QVERIFY(flux->getImage().getUrl().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAnalyseRSS)
#include "tst_analyse_rss.moc"
