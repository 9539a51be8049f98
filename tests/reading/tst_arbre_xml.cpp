// L'arbre XML côté cœur : libellés, images choisies par libellé, ordre du document,
// texte étroit, et parcours d'un document très profond.

#include "ChaineProfonde.h"

#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"

#include <QTest>

namespace {

// Un nœud de l'arbre tel que le parcours le rend.
struct Vu
{
    QByteArray libelle;
    int image;
    int profondeur;
    int enfants = 0;
};

// Le parcours à plat, dans l'ordre où il visite les nœuds, avec le nombre d'enfants de chacun.
QList<Vu> parcourir(const QDomNode &racine)
{
    QList<Vu> vus;
    QList<qsizetype> ouverts;
    ArbreXML::parcourir(
        racine,
        [&](const QDomNode &, const QString &libelle, int image) {
            if (!ouverts.isEmpty())
                ++vus[ouverts.last()].enfants;
            vus.append({versEtroit(libelle), image, static_cast<int>(ouverts.size())});
            ouverts.append(vus.size() - 1);
        },
        [&] { ouverts.removeLast(); });
    if (!ouverts.isEmpty())
        qFatal("parcours déséquilibré");
    return vus;
}

QList<Vu> arbreDe(TDocumentXML &document, const QByteArray &octets)
{
    document.chargerOctets(octets);
    return parcourir(document.elementDocument());
}

QByteArrayList libellesAuNiveau(const QList<Vu> &vus, int profondeur)
{
    QByteArrayList libelles;
    for (const Vu &v : vus) {
        if (v.profondeur == profondeur)
            libelles.append(v.libelle);
    }
    return libelles;
}

const Vu *premier(const QList<Vu> &vus, const QByteArray &libelle)
{
    for (const Vu &v : vus) {
        if (v.libelle == libelle)
            return &v;
    }
    return nullptr;
}

} // namespace

class TestArbreXML : public QObject
{
    Q_OBJECT

    TDocumentXML m_document;

private slots:
    void rss2UnSeulCanalSansRacine()
    {
        const QList<Vu> vus = arbreDe(m_document, R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
  <channel>
    <title>Mon flux</title>
    <link>http://127.0.0.1/</link>
    <item><title>Premier</title><pubDate>Mon, 07 Dec 2026 07:00:00 GMT</pubDate></item>
  </channel>
</rss>)");
        QCOMPARE(libellesAuNiveau(vus, 0), QByteArrayList{"channel"});
        QCOMPARE(vus[0].image, 51);
        for (const Vu &v : vus)
            QVERIFY2(v.libelle != "rss" && v.libelle != "version" && v.libelle != "2.0", v.libelle.constData());
        // Sous « channel » : title (33) et son texte sans image ; les blancs ne donnent aucun nœud.
        QCOMPARE(libellesAuNiveau(vus, 1), (QByteArrayList{"title", "link", "item"}));
        QCOMPARE(vus[1].libelle, "title");
        QCOMPARE(vus[1].image, 33);
        QCOMPARE(vus[1].enfants, 1);
        QCOMPARE(vus[2].libelle, "Mon flux");
        QCOMPARE(vus[2].image, ArbreXML::aucuneImage);
        QCOMPARE(vus[2].profondeur, 2);
        QCOMPARE(vus[2].enfants, 0);
        QCOMPARE(premier(vus, "pubDate")->image, 39);
        QCOMPARE(premier(vus, "item")->image, 3);
        QCOMPARE(vus.size(), 10);
    }

    void rss1PremierNiveauDansLOrdre()
    {
        const QList<Vu> vus = arbreDe(m_document, R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/"
         xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel rdf:about="http://127.0.0.1/">
    <title>Canal</title><dc:rights>Libre</dc:rights><dc:language>fr</dc:language><dc:date>2026-12-07</dc:date>
  </channel>
  <image rdf:about="http://127.0.0.1/i.png"><url>http://127.0.0.1/i.png</url></image>
  <item rdf:about="http://127.0.0.1/1"><title>Un</title></item>
  <item rdf:about="http://127.0.0.1/2"><title>Deux</title></item>
</rdf:RDF>)");
        QCOMPARE(libellesAuNiveau(vus, 0), (QByteArrayList{"channel", "image", "item", "item"}));
        QCOMPARE(premier(vus, "image")->image, 81);
        QCOMPARE(premier(vus, "url")->image, 8);
        // Les noms Dublin Core du tableau, préfixe compris.
        QCOMPARE(premier(vus, "dc:rights")->image, 119);
        QCOMPARE(premier(vus, "dc:language")->image, 107);
        QCOMPARE(premier(vus, "dc:date")->image, 39);
        // Les attributs n'ont pas de nœud.
        QVERIFY(!premier(vus, "rdf:about"));
        QVERIFY(!premier(vus, "http://127.0.0.1/1"));
    }

    void sortesDeNoeuds()
    {
        const QList<Vu> vus = arbreDe(m_document, R"(<rss><channel>
<description><![CDATA[<b>gras</b> & "cité"]]></description>
<!-- un commentaire -->
<?xml-stylesheet href="style.css"?>
<image/>
<title>avant<b/>après</title>
</channel></rss>)");
        const QByteArrayList attendus{"channel", "description", "<b>gras</b> & \"cit\xE9\"", "#comment",
                                      "xml-stylesheet", "image", "title", "avant", "b", "apr\xE8s"};
        QByteArrayList libelles;
        for (const Vu &v : vus)
            libelles.append(v.libelle);
        QCOMPARE(libelles, attendus);
        // La section CDATA est l'unique enfant de description, sans image.
        QCOMPARE(vus[1].enfants, 1);
        QCOMPARE(vus[2].image, ArbreXML::aucuneImage);
        // Le commentaire : son nom de nœud, pas son texte, ni image ni enfant.
        QCOMPARE(vus[3].image, ArbreXML::aucuneImage);
        QCOMPARE(vus[3].enfants, 0);
        QVERIFY(!premier(vus, " un commentaire "));
        QCOMPARE(vus[4].enfants, 0);
        // Un élément vide : une feuille avec son image.
        QCOMPARE(vus[5].image, 81);
        QCOMPARE(vus[5].enfants, 0);
        // Le contenu mêlé garde l'ordre du document.
        QCOMPARE(vus[6].enfants, 3);
    }

    // Un texte fait seulement de blancs n'a pas de nœud, même à côté d'une section CDATA (la
    // description d'un blog écrite sur sa propre ligne) ; un texte qui porte autre chose en a un.
    void blancsSeulsSansNoeud()
    {
        const QList<Vu> vus = arbreDe(m_document, "<rss><channel><description>\n  <![CDATA[<p>x</p>]]>\n</description>"
                                                  "<title> \t<![CDATA[a]]> b </title></channel></rss>");
        QByteArrayList libelles;
        for (const Vu &v : vus)
            libelles.append(v.libelle);
        QCOMPARE(libelles, (QByteArrayList{"channel", "description", "<p>x</p>", "title", "a", " b "}));
        QCOMPARE(vus[1].enfants, 1);
    }

    void elementVideDescription()
    {
        const QList<Vu> vus = arbreDe(m_document, "<rss><channel><description/></channel></rss>");
        QCOMPARE(vus.size(), 2);
        QCOMPARE(vus[1].libelle, "description");
        QCOMPARE(vus[1].image, 108);
        QCOMPARE(vus[1].enfants, 0);
    }

    void imageParLibelle_data()
    {
        QTest::addColumn<QByteArray>("libelle");
        QTest::addColumn<int>("image");
        const QList<QPair<QByteArray, int>> cas = {
            {"title", 33}, {"link", 13}, {"description", 108}, {"channel", 51}, {"copyright", 119},
            {"dc:rights", 119}, {"language", 107}, {"dc:language", 107}, {"url", 8}, {"item", 3},
            {"pubDate", 39}, {"dc:date", 39}, {"image", 81},
            // Les noms d'Atom, et tout nom préfixé, par leur nom local.
            {"entry", 3}, {"feed", 51}, {"summary", 108}, {"content", 108}, {"updated", 39}, {"published", 39},
            {"rights", 119}, {"atom:entry", 3}, {"atom:title", 33}, {"a:b:link", 13}, {"dc:title", 33},
            // Comparaison exacte du nom local entier, casse comprise.
            {"Title", -1}, {"LINK", -1}, {"pubdate", -1}, {"Item", -1}, {"dc:Date", -1}, {"IMAGE", -1},
            {"webmaster", -1}, {"webMaster", -1}, {"items", -1}, {"item ", -1}, {" item", -1}, {"ite", -1},
            {"dc:", -1}, {"title:x", -1}, {"atom:entries", -1}, {"", -1},
            {"description de l'image du canal", -1}};
        for (const auto &[libelle, image] : cas)
            QTest::newRow(libelle.isEmpty() ? "(vide)" : libelle.constData()) << libelle << image;
    }

    void imageParLibelle()
    {
        QFETCH(QByteArray, libelle);
        QFETCH(int, image);
        QCOMPARE(ArbreXML::indexImage(libelle), image);
    }

    void libelleCompareQuelQueSoitLeNoeud()
    {
        // Un texte dont tout le contenu est « item » prend l'image d'une information ;
        // une section CDATA « title » celle d'un titre ; un texte plus long aucune.
        const QList<Vu> vus = arbreDe(
            m_document, "<rss><channel><x>item</x><y><![CDATA[title]]></y><z>item suivant</z><Item>a</Item></channel></rss>");
        QCOMPARE(premier(vus, "item")->image, 3);
        QCOMPARE(premier(vus, "item")->profondeur, 2);
        QCOMPARE(premier(vus, "title")->image, 33);
        QCOMPARE(premier(vus, "item suivant")->image, ArbreXML::aucuneImage);
        QCOMPARE(premier(vus, "Item")->image, ArbreXML::aucuneImage);
    }

    void libellesEtroits()
    {
        // UTF-8 : é et € existent en Windows-1252 ; 日本 et 😀 non (une paire de substitution
        // devient un seul « ? »). Les noms d'éléments aussi sont étroits.
        const QList<Vu> vus = arbreDe(m_document, "<rss><channel><titre\xC3\xA9>Prix 5 \xE2\x82\xAC \xE2\x80\x94 "
                                                  "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80</titre\xC3\xA9>"
                                                  "</channel></rss>");
        QCOMPARE(vus.size(), 3);
        QCOMPARE(vus[1].libelle, QByteArray("titre\xE9"));
        QCOMPARE(vus[2].libelle, QByteArray("Prix 5 \x80 \x97 ?? ?"));
    }

    void libelleAfficheEgalAllerRetour_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::newRow("vide") << QString();
        QTest::newRow("ascii") << u"title"_qs;
        QTest::newRow("latin-1") << u"été « à » ÿ\u00A0"_qs;
        QTest::newRow("plage 80-9F") << u"5 € — œ ‘x’ Ÿ"_qs;
        QTest::newRow("contrôles C1") << u"a\u0080b\u0081c\u009Fd"_qs;
        QTest::newRow("hors Windows-1252") << u"日本 Ω ą"_qs;
        QTest::newRow("paire de substitution") << u"x😀y"_qs;
        QTest::newRow("substituts isolés") << (u"a"_qs + QChar(0xD800) + u"b"_qs + QChar(0xDC00) + QChar(0xDBFF));
        QTest::newRow("mêlé") << u"Prix : 5 € ≈ 5,4 $ — 日本 😀😀 fin"_qs;
    }

    void libelleAfficheEgalAllerRetour()
    {
        // Le libellé affiché est exactement le libellé étroit reconverti, chemin rapide ou non.
        QFETCH(QString, texte);
        QCOMPARE(ArbreXML::libelleAffiche(texte), depuisEtroit(versEtroit(texte)));
        QCOMPARE(ArbreXML::indexImage(ArbreXML::libelleAffiche(texte)), ArbreXML::indexImage(versEtroit(texte)));
    }

    void libelleEtroitDUnNoeud()
    {
        m_document.chargerOctets("<rss><dc:date>2026 \xE2\x82\xAC \xCE\xA9</dc:date><!--x--></rss>");
        const QDomElement racine = m_document.elementDocument();
        QCOMPARE(ArbreXML::libelle(racine.firstChild()), QByteArray("dc:date"));
        QCOMPARE(ArbreXML::libelle(racine.firstChild().firstChild()), QByteArray("2026 \x80 ?"));
        QCOMPARE(ArbreXML::libelle(racine.lastChild()), QByteArray("#comment"));
        QCOMPARE(ArbreXML::texteDuNoeud(racine.firstChild().firstChild()), u"2026 € Ω"_qs);
    }

    void racineSansEnfantNiNoeudNul()
    {
        QVERIFY(arbreDe(m_document, "<rss version=\"2.0\"/>").isEmpty());
        QVERIFY(parcourir(QDomNode()).isEmpty());
    }

    void documentTresProfond()
    {
        // 100 000 niveaux : le parcours ne repose pas sur la pile d'appels.
        constexpr int niveaux = 100000;
        OutilsTests::chargerChaineProfonde(m_document, niveaux, u"a"_qs, u"item"_qs);
        int nombre = 0;
        int profondeur = 0;
        int profondeurMax = 0;
        QByteArray dernier;
        int imageDernier = 0;
        ArbreXML::parcourir(
            m_document.elementDocument(),
            [&](const QDomNode &, const QString &libelle, int image) {
                ++nombre;
                profondeurMax = std::max(profondeurMax, ++profondeur);
                dernier = versEtroit(libelle);
                imageDernier = image;
            },
            [&] { --profondeur; });
        QCOMPARE(nombre, niveaux);           // 99 999 éléments sous la racine et le texte
        QCOMPARE(profondeurMax, niveaux);
        QCOMPARE(profondeur, 0);
        QCOMPARE(dernier, "item");
        QCOMPARE(imageDernier, 3);
        m_document.setActive(false);
    }
};

QTEST_GUILESS_MAIN(TestArbreXML)
#include "tst_arbre_xml.moc"
