#include "render/ValeursPage.h"

#include "commun/EchappementHtml.h"

namespace {

bool estHtml(const GumboNode &noeud, GumboTag balise)
{
    return FragmentHtml::aDesEnfants(noeud) && noeud.v.element.tag_namespace == GUMBO_NAMESPACE_HTML
        && noeud.v.element.tag == balise;
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
        else if (!FragmentHtml::estVide(noeud) && !FragmentHtml::estFermeParSaBalise(noeud))
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

namespace {

// La valeur équilibrée et ses nœuds ; rien quand le budget n'en permet pas la lecture.
std::optional<TInfo::DescriptionDePage> equilibree(const QString &html, BudgetHtml &budget)
{
    // Sans « < », rien ne s'ouvre.
    if (!html.contains(u'<'))
        return TInfo::DescriptionDePage{html, 0};
    const std::unique_ptr<FragmentHtml> fragment = FragmentHtml::lire(html, budget);
    if (!fragment)
        return std::nullopt;
    if (fragment->sansReparation())
        return TInfo::DescriptionDePage{html, fragment->noeuds()};
    Reecriture reecriture;
    fragment->parcourir([&](const GumboNode &noeud) { reecriture.entrer(noeud); },
                        [&](const GumboNode &noeud) { reecriture.sortir(noeud); });
    return TInfo::DescriptionDePage{QString::fromUtf8(reecriture.sortie()), fragment->noeuds()};
}

} // namespace

QString htmlEquilibre(const QString &html, BudgetHtml &budget)
{
    const std::optional<TInfo::DescriptionDePage> faite = equilibree(html, budget);
    return faite ? faite->ecrite : htmlEchappe(html);
}

QString descriptionDePage(const TInfo &info, BudgetHtml &budget)
{
    // Une description gardée compte dans la page les nœuds qu'elle y a toujours.
    if (const std::optional<TInfo::DescriptionDePage> &faite = info.getDescriptionDePage()) {
        budget.reprendre(faite->noeuds);
        return faite->ecrite;
    }
    const QString description = info.getDescription();
    const std::optional<TInfo::DescriptionDePage> faite = equilibree(description, budget);
    // Une description que le budget de cette page n'a pas laissé lire le sera peut-être par une
    // autre : seule une valeur lue est gardée.
    if (!faite)
        return htmlEchappe(description);
    info.setDescriptionDePage(*faite);
    return faite->ecrite;
}

QString champDePage(const QString &valeur, bool enTexte, BudgetHtml &budget)
{
    return enTexte ? htmlEchappe(valeur) : htmlEquilibre(valeur, budget);
}

QString adresseDePage(const QString &adresse)
{
    return adresse.contains(u'"') ? QString(adresse).replace(u'"', QStringLiteral("&quot;")) : adresse;
}
