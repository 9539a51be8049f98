#include "reading/FragmentHtml.h"

#include <cstddef>

// La mémoire d'une analyse : gumbo y prend ses blocs, et tout part d'un coup avec le fragment.
// Sa propre libération parcourt l'arbre par récursion, qu'un fragment très profond ferait
// déborder ; elle n'est donc jamais appelée.
class FragmentHtml::Arene
{
public:
    static void *allouer(void *arene, size_t taille) { return static_cast<Arene *>(arene)->prendre(taille); }
    static void rendre(void *, void *) {}

private:
    using Bloc = std::unique_ptr<std::max_align_t[]>;
    static constexpr size_t alignement = alignof(std::max_align_t);

    // Un bloc non initialisé (la mémoire n'est pas remise à zéro) d'au moins `taille` octets.
    static Bloc bloc(size_t taille) { return Bloc(new std::max_align_t[taille / sizeof(std::max_align_t) + 1]); }

    void *prendre(size_t taille)
    {
        taille = (taille + alignement - 1) & ~(alignement - 1);
        if (taille > m_reste) {
            // Des blocs de plus en plus grands : une petite description n'en prend qu'un petit.
            m_tailleBloc = std::min<size_t>(m_tailleBloc * 2, 1 << 20);
            if (taille > m_tailleBloc / 4) {
                m_blocs.push_back(bloc(taille));
                return m_blocs.back().get();
            }
            m_blocs.push_back(bloc(m_tailleBloc));
            m_libre = reinterpret_cast<char *>(m_blocs.back().get());
            m_reste = m_tailleBloc;
        }
        void *pris = m_libre;
        m_libre += taille;
        m_reste -= taille;
        return pris;
    }

    std::vector<Bloc> m_blocs;
    char *m_libre = nullptr;
    size_t m_reste = 0;
    size_t m_tailleBloc = 4096;
};

std::unique_ptr<FragmentHtml> FragmentHtml::lire(const QString &html, BudgetHtml &budget)
{
    QByteArray source = html.toUtf8();
    if (!budget.accepte(source.size()))
        return nullptr;
    std::unique_ptr<FragmentHtml> fragment(new FragmentHtml);
    fragment->m_source = std::move(source);
    fragment->m_arene = std::make_unique<Arene>();
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arene::allouer;
    options.deallocator = &Arene::rendre;
    options.userdata = fragment->m_arene.get();
    options.fragment_context = GUMBO_TAG_DIV;
    // Seule la présence d'une erreur compte ; les relever toutes coûterait, pour chacune, une
    // copie de la pile des éléments ouverts.
    options.max_errors = 1;
    fragment->m_sortie =
        gumbo_parse_with_options(&options, fragment->m_source.constData(), size_t(fragment->m_source.size()));

    qsizetype profondeur = 0, profondeurMax = 0;
    qint64 &noeuds = fragment->m_noeuds;
    fragment->parcourir(
        [&](const GumboNode &noeud) {
            ++noeuds;
            if (aDesEnfants(noeud))
                profondeurMax = std::max(profondeurMax, ++profondeur);
        },
        [&](const GumboNode &noeud) {
            if (aDesEnfants(noeud))
                --profondeur;
        });
    budget.compter(fragment->m_source.size(), profondeurMax, noeuds);
    return fragment;
}

bool FragmentHtml::estVide(const GumboNode &noeud)
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

bool FragmentHtml::estFermeParSaBalise(const GumboNode &noeud)
{
    const GumboElement &element = noeud.v.element;
    const GumboStringPiece &balise = element.original_tag;
    return element.tag_namespace != GUMBO_NAMESPACE_HTML && element.children.length == 0 && balise.length >= 2
        && balise.data[balise.length - 2] == '/' && balise.data[balise.length - 1] == '>';
}

bool FragmentHtml::sansReparation() const
{
    if (!sansErreur())
        return false;
    qsizetype curseur = 0;
    bool fidele = true;
    const auto suivre = [&](const GumboStringPiece &morceau) {
        if (fidele && (morceau.length == 0 || position(morceau.data) != curseur))
            fidele = false;
        curseur += qsizetype(morceau.length);
    };
    parcourir(
        [&](const GumboNode &noeud) {
            suivre(aDesEnfants(noeud) ? noeud.v.element.original_tag : noeud.v.text.original_text);
        },
        [&](const GumboNode &noeud) {
            if (!aDesEnfants(noeud))
                return;
            const GumboElement &element = noeud.v.element;
            if (element.original_end_tag.length > 0)
                suivre(element.original_end_tag);
            else if (!estVide(noeud) && !estFermeParSaBalise(noeud))
                fidele = false;
        });
    return fidele && curseur == m_source.size();
}

FragmentHtml::~FragmentHtml() = default;
