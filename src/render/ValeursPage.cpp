#include "render/ValeursPage.h"

#include "commun/EchappementHtml.h"

namespace {

bool estHtml(const GumboNode &noeud, GumboTag balise)
{
    return FragmentHtml::aDesEnfants(noeud) && noeud.v.element.tag_namespace == GUMBO_NAMESPACE_HTML
        && noeud.v.element.tag == balise;
}

// Les éléments vides de HTML : ni contenu, ni balise fermante.
bool estVide(const GumboNode &noeud)
{
    if (noeud.v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return false;
    switch (noeud.v.element.tag) {
    case GUMBO_TAG_AREA: case GUMBO_TAG_BASE: case GUMBO_TAG_BASEFONT: case GUMBO_TAG_BGSOUND: case GUMBO_TAG_BR:
    case GUMBO_TAG_COL: case GUMBO_TAG_EMBED: case GUMBO_TAG_FRAME: case GUMBO_TAG_HR: case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_IMG: case GUMBO_TAG_INPUT: case GUMBO_TAG_KEYGEN: case GUMBO_TAG_LINK: case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM: case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_WBR:
        return true;
    default:
        return false;
    }
}

// Les éléments dont le contenu est du texte brut, que rien n'échappe et que seule leur balise
// fermante termine.
bool estTexteBrut(const GumboNode &noeud)
{
    for (const GumboTag balise : {GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_XMP, GUMBO_TAG_IFRAME,
                                  GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES}) {
        if (estHtml(noeud, balise))
            return true;
    }
    return false;
}

// Un élément SVG ou MathML fermé par sa propre balise (« <path/> ») telle qu'écrite.
bool estFermeParSaBalise(const GumboNode &noeud)
{
    const GumboElement &element = noeud.v.element;
    const GumboStringPiece &balise = element.original_tag;
    return element.tag_namespace != GUMBO_NAMESPACE_HTML && element.children.length == 0 && balise.length >= 2
        && balise.data[balise.length - 2] == '/' && balise.data[balise.length - 1] == '>';
}

// Vrai quand l'analyse n'a rien eu à réparer : aucune erreur, et chaque nœud de l'arbre, dans
// l'ordre de l'arbre, est le morceau suivant de la source (un élément entre sa balise ouvrante
// et sa balise fermante, sauf élément vide) jusqu'à la dernière lettre.
bool sansReparation(const FragmentHtml &fragment)
{
    if (!fragment.sansErreur())
        return false;
    qsizetype curseur = 0;
    bool fidele = true;
    const auto suivre = [&](const GumboStringPiece &morceau) {
        if (fidele && (morceau.length == 0 || fragment.position(morceau.data) != curseur))
            fidele = false;
        curseur += qsizetype(morceau.length);
    };
    fragment.parcourir(
        [&](const GumboNode &noeud) {
            suivre(FragmentHtml::aDesEnfants(noeud) ? noeud.v.element.original_tag : noeud.v.text.original_text);
        },
        [&](const GumboNode &noeud) {
            if (!FragmentHtml::aDesEnfants(noeud))
                return;
            const GumboElement &element = noeud.v.element;
            if (element.original_end_tag.length > 0)
                suivre(element.original_end_tag);
            else if (!estVide(noeud) && !estFermeParSaBalise(noeud))
                fidele = false;
        });
    return fidele && curseur == fragment.source().size();
}

// Un texte UTF-8 écrit en HTML : « & », « < », « > » et « " » échappés, tout caractère hors de
// Latin-1 en référence numérique, que la page en Windows-1252 ne perd pas.
void ajouterEchappe(QByteArray &sortie, const char *texte)
{
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(texte); *p;) {
        const unsigned char c = *p++;
        if (c >= 0x80) {
            const int suite = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
            char32_t point = c & (0x3F >> suite);
            const unsigned char *debut = p - 1;
            for (int i = 0; i < suite && (*p & 0xC0) == 0x80; ++i)
                point = (point << 6) | (*p++ & 0x3F);
            if (point >= 0xA0 && point <= 0xFF)
                sortie.append(reinterpret_cast<const char *>(debut), p - debut);
            else
                sortie += "&#" + QByteArray::number(uint(point)) + ';';
        } else if (c == '&') {
            sortie += "&amp;";
        } else if (c == '<') {
            sortie += "&lt;";
        } else if (c == '>') {
            sortie += "&gt;";
        } else if (c == '"') {
            sortie += "&quot;";
        } else {
            sortie += char(c);
        }
    }
}

// L'écriture d'un fragment depuis son arbre : chaque élément entre une balise ouvrante (celle de
// la source quand il en a une) et sa balise fermante, le texte échappé, les commentaires omis.
class Reecriture
{
public:
    void entrer(const GumboNode &noeud)
    {
        if (FragmentHtml::aDesEnfants(noeud))
            ouvrir(noeud);
        else if (noeud.type != GUMBO_NODE_COMMENT)
            texte(noeud);
    }

    void sortir(const GumboNode &noeud)
    {
        if (!FragmentHtml::aDesEnfants(noeud))
            return;
        if (estHtml(noeud, GUMBO_TAG_PLAINTEXT))
            m_sortie += "</pre>";
        else if (!estVide(noeud) && !estFermeParSaBalise(noeud))
            m_sortie += "</" + nom(noeud) + '>';
    }

    const QByteArray &sortie() const { return m_sortie; }

private:
    static QByteArray nom(const GumboNode &noeud)
    {
        const GumboElement &element = noeud.v.element;
        if (element.tag != GUMBO_TAG_UNKNOWN)
            return gumbo_normalized_tagname(element.tag);
        GumboStringPiece nom = element.original_tag;
        if (nom.length == 0)
            return QByteArrayLiteral("span");
        gumbo_tag_from_original_text(&nom);
        return QByteArray(nom.data, qsizetype(nom.length));
    }

    void ouvrir(const GumboNode &noeud)
    {
        const GumboElement &element = noeud.v.element;
        // plaintext ne se ferme jamais : son texte va dans un « pre », qui se ferme.
        if (estHtml(noeud, GUMBO_TAG_PLAINTEXT)) {
            m_sortie += "<pre>";
            return;
        }
        const GumboStringPiece &balise = element.original_tag;
        if (balise.length >= 2 && balise.data[0] == '<' && balise.data[1] != '/') {
            m_sortie.append(balise.data, qsizetype(balise.length));
        } else {
            // Un élément que l'analyseur a ajouté (tbody, « </p> » seul...) : sa balise refaite.
            m_sortie += '<' + nom(noeud);
            for (unsigned i = 0; i < element.attributes.length; ++i) {
                const auto *attribut = static_cast<const GumboAttribute *>(element.attributes.data[i]);
                m_sortie += ' ';
                m_sortie += attribut->name;
                m_sortie += "=\"";
                ajouterEchappe(m_sortie, attribut->value);
                m_sortie += '"';
            }
            m_sortie += '>';
        }
        // Le saut de ligne qui suit la balise ouvrante d'un pre est mangé à la lecture : un saut
        // qui commence son texte est donc doublé.
        if ((estHtml(noeud, GUMBO_TAG_PRE) || estHtml(noeud, GUMBO_TAG_LISTING) || estHtml(noeud, GUMBO_TAG_TEXTAREA))
            && element.children.length > 0) {
            const auto *premier = static_cast<const GumboNode *>(element.children.data[0]);
            if (!FragmentHtml::aDesEnfants(*premier) && premier->v.text.text[0] == '\n')
                m_sortie += '\n';
        }
    }

    void texte(const GumboNode &noeud)
    {
        const GumboNode &parent = *noeud.parent;
        if (!estTexteBrut(parent)) {
            ajouterEchappe(m_sortie, noeud.v.text.text);
            return;
        }
        // Texte brut : tel quel, sa balise fermante le termine. Celui d'un script resté ouvert est
        // omis : sa fin pourrait tomber dans un état où la balise ajoutée ne le fermerait pas.
        if (!estHtml(parent, GUMBO_TAG_SCRIPT) || parent.v.element.original_end_tag.length > 0)
            m_sortie += noeud.v.text.text;
    }

    QByteArray m_sortie;
};

} // namespace

QString htmlEquilibre(const QString &html, BudgetHtml &budget)
{
    // Sans « < », rien ne s'ouvre.
    if (!html.contains(u'<'))
        return html;
    const std::unique_ptr<FragmentHtml> fragment = FragmentHtml::lire(html, budget);
    if (!fragment)
        return htmlEchappe(html);
    if (sansReparation(*fragment))
        return html;
    Reecriture reecriture;
    fragment->parcourir([&](const GumboNode &noeud) { reecriture.entrer(noeud); },
                        [&](const GumboNode &noeud) { reecriture.sortir(noeud); });
    return QString::fromUtf8(reecriture.sortie());
}

QString champDePage(const QString &valeur, bool enTexte, BudgetHtml &budget)
{
    return enTexte ? htmlEchappe(valeur) : htmlEquilibre(valeur, budget);
}

QString adresseDePage(const QString &adresse)
{
    return adresse.contains(u'"') ? QString(adresse).replace(u'"', QStringLiteral("&quot;")) : adresse;
}
