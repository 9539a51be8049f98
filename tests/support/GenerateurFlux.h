#pragma once
// Flux RSS et Atom générés pour les mesures et les tests : descriptions en HTML échappé et texte accentué.

#include <QByteArray>
#include <QStringBuilder>

namespace GenerateurFlux {

// Les deux paragraphes de la description d'un article, en balises.
inline QByteArray paragraphes(const QByteArray &n)
{
    return "<p>Premier paragraphe de l'article " + n +
        ", avec des <b>caract\xc3\xa8res accentu\xc3\xa9s</b> et un <a href=\"http://127.0.0.1/\">lien</a>.</p>"
        "<p>Second paragraphe : \xe2\x82\xac, \xc5\x93, \xc2\xab guillemets \xc2\xbb.</p>";
}

// Les mêmes, échappés pour un texte XML (« < » et « > » en entités).
inline QByteArray paragraphesEchappes(const QByteArray &n)
{
    return paragraphes(n).replace("<", "&lt;").replace(">", "&gt;");
}

inline QByteArray itemRss(int i, bool rss1)
{
    const QByteArray n = QByteArray::number(i);
    return "<item" + (rss1 ? QByteArray(" rdf:about=\"http://127.0.0.1/a/") + n + QByteArray("\"") : QByteArray()) + ">\n"
        "  <title>Article n\xc2\xb0" + n + " : l'\xc3\xa9t\xc3\xa9 \xc3\xa0 No\xc3\xabl</title>\n"
        "  <link>http://127.0.0.1/articles/" + n + "?source=rss&amp;id=" + n + "</link>\n"
        "  <description>" + paragraphesEchappes(n) + "</description>\n"
        + QByteArray(rss1 ? "  <dc:date>2026-12-07T08:00:00+01:00</dc:date>\n" : "  <pubDate>Mon, 07 Dec 2026 08:00:00 +0100</pubDate>\n")
        + "</item>\n";
}

inline QByteArray rss2(int nombre)
{
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n"
                   "<title>Flux de mesure</title>\n<link>http://127.0.0.1/</link>\n"
                   "<description>Un flux g\xc3\xa9n\xc3\xa9r\xc3\xa9 pour les mesures</description>\n"
                   "<language>fr</language>\n<image><title>Logo</title><url>http://127.0.0.1/logo.png</url>"
                   "<link>http://127.0.0.1/</link></image>\n";
    for (int i = 0; i < nombre; ++i)
        d += itemRss(i, false);
    d += "</channel>\n</rss>\n";
    return d;
}

// Un article comme en publient les journaux et les blogs : titre long, auteur, rubriques,
// identifiant, et une description d'un kilo-octet environ en HTML échappé (paragraphes,
// emphases, liens).
inline QByteArray itemRssRealiste(int i)
{
    const QByteArray n = QByteArray::number(i);
    const QByteArray description =
        "<p><strong>Le conseil municipal a adopt\xc3\xa9 mardi soir le budget " + n +
        "</strong>, apr\xc3\xa8s trois heures de d\xc3\xa9" "bats anim\xc3\xa9s entre la majorit\xc3\xa9 et l'opposition. "
        "Le texte pr\xc3\xa9voit une hausse mod\xc3\xa9r\xc3\xa9" "e des investissements, notamment pour les \xc3\xa9" "coles "
        "et la voirie, et un gel des tarifs de la cantine.</p>"
        "<p>\xc2\xab Nous avons fait le choix de la prudence \xc2\xbb, a d\xc3\xa9" "clar\xc3\xa9 l'adjointe aux finances, "
        "qui a d\xc3\xa9taill\xc3\xa9 les <em>grandes lignes</em> du document. L'opposition d\xc3\xa9nonce pour sa part "
        "un \xc2\xab manque d'ambition \xc2\xbb et r\xc3\xa9" "clame <a href=\"http://127.0.0.1/dossiers/budget-" + n +
        "?utm_source=rss&amp;utm_medium=flux\">un audit ind\xc3\xa9pendant</a>.</p>"
        "<p>Le vote d\xc3\xa9" "finitif aura lieu le mois prochain. <a href=\"http://127.0.0.1/articles/" + n +
        "#commentaires\">Lire les r\xc3\xa9" "actions</a> et <a href=\"http://127.0.0.1/auteurs/claire\">les autres "
        "articles de l'auteure</a>.</p>";
    return "<item>\n"
        "  <title>Budget " + n + " : la ville mise sur les \xc3\xa9" "coles et la voirie, l'opposition r\xc3\xa9" "clame un audit</title>\n"
        "  <link>http://127.0.0.1/articles/" + n + "?source=rss&amp;id=" + n + "</link>\n"
        "  <guid isPermaLink=\"false\">urn:x-mesure:article:" + n + "</guid>\n"
        "  <author>redaction@127.0.0.1 (Claire Dupr\xc3\xa9)</author>\n"
        "  <category>Politique locale</category>\n  <category>Finances</category>\n"
        "  <description>" + QByteArray(description).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
        + "</description>\n"
        "  <pubDate>Mon, 07 Dec 2026 08:00:00 +0100</pubDate>\n"
        "</item>\n";
}

inline QByteArray rss2Realiste(int nombre)
{
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n"
                   "<title>La Gazette de mesure \xe2\x80\x94 Actualit\xc3\xa9s</title>\n<link>http://127.0.0.1/</link>\n"
                   "<description>Toute l'actualit\xc3\xa9 de la ville et de la r\xc3\xa9gion</description>\n"
                   "<language>fr</language>\n<copyright>\xc2\xa9 2026 La Gazette</copyright>\n"
                   "<image><title>La Gazette</title><url>http://127.0.0.1/logo.png</url>"
                   "<link>http://127.0.0.1/</link></image>\n";
    for (int i = 0; i < nombre; ++i)
        d += itemRssRealiste(i);
    d += "</channel>\n</rss>\n";
    return d;
}

inline QByteArray rss1(int nombre)
{
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\""
                   " xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                   "<channel rdf:about=\"http://127.0.0.1/\"><title>Flux RSS 1.0</title><link>http://127.0.0.1/</link>"
                   "<description>Mesure</description><dc:date>2026-12-07</dc:date></channel>\n"
                   "<image><title>Logo</title><url>http://127.0.0.1/logo.png</url><link>http://127.0.0.1/</link></image>\n";
    for (int i = 0; i < nombre; ++i)
        d += itemRss(i, true);
    d += "</rdf:RDF>\n";
    return d;
}

// Le même flux, descriptions et titres en sections CDATA comme les publient la plupart des blogs.
inline QByteArray rss2Cdata(int nombre)
{
    QByteArray d = rss2(nombre);
    d.replace("<title>Article", "<title><![CDATA[Article").replace("</title>\n  <link>", "]]></title>\n  <link>");
    d.replace("<description>&lt;", "<description><![CDATA[&lt;").replace("&lt;/p&gt;</description>", "&lt;/p&gt;]]></description>");
    d.replace("&lt;", "<").replace("&gt;", ">");
    return d;
}

// Une entrée Atom qui porte le même contenu qu'un item : la description en HTML échappé
// (résumé type="html") ou en balises (contenu type="xhtml").
inline QByteArray entreeAtom(int i, bool xhtml)
{
    const QByteArray n = QByteArray::number(i);
    return "<entry>\n"
        "  <title>Article n\xc2\xb0" + n + " : l'\xc3\xa9t\xc3\xa9 \xc3\xa0 No\xc3\xabl</title>\n"
        "  <link href=\"articles/" + n + "?source=atom&amp;id=" + n + "\"/>\n"
        "  <id>urn:x-mesure:" + n + "</id>\n"
        "  <updated>2026-12-07T08:00:00+01:00</updated>\n"
        + (xhtml ? QByteArray("  <content type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">" + paragraphes(n)
                              + "</div></content>\n")
                 : QByteArray("  <summary type=\"html\">" + paragraphesEchappes(n) + "</summary>\n"))
        + "</entry>\n";
}

inline QByteArray atom(int nombre, bool xhtml)
{
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:lang=\"fr\" xml:base=\"http://127.0.0.1/\">\n"
                   "<title>Flux de mesure</title>\n<link href=\"/\"/>\n"
                   "<subtitle>Un flux g\xc3\xa9n\xc3\xa9r\xc3\xa9 pour les mesures</subtitle>\n"
                   "<updated>2026-12-07T08:00:00+01:00</updated>\n<logo>logo.png</logo>\n";
    for (int i = 0; i < nombre; ++i)
        d += entreeAtom(i, xhtml);
    d += "</feed>\n";
    return d;
}

} // namespace GenerateurFlux
