#pragma once
// Un fragment HTML (une description) lu par gumbo, l'analyseur HTML5 de Debian : l'arbre qu'un
// navigateur en bâtit dans un élément de page, avec pour chaque balise, attribut et texte sa
// place dans la source, en octets UTF-8. Ce que le fragment devient se lit dans cet arbre,
// jamais en parcourant le texte à la main.
//
// Gumbo n'est pas linéaire sur un HTML hostile : des dizaines de milliers d'éléments ouverts les
// uns dans les autres font parcourir toute la pile à chaque balise (256 Ko de « <ul> » : 6 s).
// Un budget borne donc ce qu'on lui confie : une taille par fragment, et pour une page ou une
// lecture de flux un travail total, compté après chaque analyse en octets × profondeur de
// l'arbre obtenu. Un fragment que le budget refuse n'est pas lu ; l'appelant décide quoi en faire.

#include <gumbo.h>

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

class BudgetHtml
{
public:
    // 128 Kio : au pire 1,5 s pour un fragment hostile ; les descriptions publiées, même
    // longues, tiennent en dessous.
    static constexpr qsizetype octetsParFragment = 128 * 1024;
    // 2 G (octets × profondeur), 0,7 s au pire : une page de 64 Mo de HTML ordinaire (profondeur
    // 30 au plus) reste en dessous ; des fragments hostiles l'épuisent, et les suivants ne sont
    // plus lus.
    static constexpr qint64 travailTotal = 2'000'000'000;

    bool accepte(qsizetype octets) const { return octets <= octetsParFragment && m_travail < travailTotal; }
    void compter(qsizetype octets, qsizetype profondeur, qint64 noeuds)
    {
        m_travail += qint64(octets) * std::max<qsizetype>(1, profondeur);
        m_noeuds += noeuds;
    }
    // Les nœuds (éléments, textes, commentaires) des fragments lus jusqu'ici : ce qu'une page en
    // reçoit, que la vue web devra bâtir.
    qint64 noeuds() const { return m_noeuds; }
    // Les nœuds d'un fragment déjà lu, repris sans le relire.
    void reprendre(qint64 noeuds) { m_noeuds += noeuds; }

private:
    qint64 m_travail = 0;
    qint64 m_noeuds = 0;
};

class FragmentHtml
{
public:
    // Le fragment lu comme le contenu d'un « div » ; nul quand le budget ne le permet pas.
    static std::unique_ptr<FragmentHtml> lire(const QString &html, BudgetHtml &budget);
    ~FragmentHtml();
    FragmentHtml(const FragmentHtml &) = delete;
    FragmentHtml &operator=(const FragmentHtml &) = delete;

    // Le texte analysé, en UTF-8 : les positions de l'arbre y renvoient.
    const QByteArray &source() const { return m_source; }
    // Les nœuds de l'arbre (éléments, textes, commentaires), tels que le budget les a comptés.
    qint64 noeuds() const { return m_noeuds; }
    qsizetype position(const char *pointeur) const { return pointeur - m_source.constData(); }
    // Vrai quand gumbo n'a relevé aucune erreur : ni balise ignorée, ni fin de texte au milieu
    // d'une balise, d'un commentaire ou d'un élément resté ouvert.
    bool sansErreur() const { return m_sortie->errors.length == 0; }

    // Parcours en profondeur des nœuds du fragment (l'élément « html » qui les porte exclu),
    // dans l'ordre de l'arbre et sans récursion : entrer(nœud) avant ses enfants, sortir(nœud)
    // après eux, pour tout nœud.
    template<typename Entrer, typename Sortir>
    void parcourir(Entrer &&entrer, Sortir &&sortir) const;

    // Vrai quand l'analyse n'a rien eu à réparer : aucune erreur, et chaque nœud de l'arbre, dans
    // l'ordre de l'arbre, est le morceau suivant de la source (un élément entre sa balise ouvrante
    // et sa balise fermante, sauf élément vide) jusqu'à la dernière lettre. Un tel fragment
    // s'écrit dans une page tel qu'il est, sans rien déborder autour de lui.
    bool sansReparation() const;

    static bool aDesEnfants(const GumboNode &noeud)
    {
        return noeud.type == GUMBO_NODE_ELEMENT || noeud.type == GUMBO_NODE_TEMPLATE;
    }
    // Les éléments vides de HTML : ni contenu, ni balise fermante.
    static bool estVide(const GumboNode &noeud);
    // Un élément SVG ou MathML fermé par sa propre balise (« <path/> ») telle qu'écrite.
    static bool estFermeParSaBalise(const GumboNode &noeud);

private:
    class Arene;
    FragmentHtml() = default;

    QByteArray m_source;
    std::unique_ptr<Arene> m_arene;
    GumboOutput *m_sortie = nullptr;
    qint64 m_noeuds = 0;
};

template<typename Entrer, typename Sortir>
void FragmentHtml::parcourir(Entrer &&entrer, Sortir &&sortir) const
{
    struct Niveau
    {
        const GumboNode *noeud;
        unsigned suivant;
    };
    std::vector<Niveau> pile{{m_sortie->root, 0}};
    while (!pile.empty()) {
        Niveau &haut = pile.back();
        const GumboVector &enfants = haut.noeud->v.element.children;
        if (haut.suivant == enfants.length) {
            const GumboNode *fini = haut.noeud;
            pile.pop_back();
            if (!pile.empty())
                sortir(*fini);
            continue;
        }
        const GumboNode *enfant = static_cast<const GumboNode *>(enfants.data[haut.suivant++]);
        entrer(*enfant);
        if (aDesEnfants(*enfant))
            pile.push_back({enfant, 0});
        else
            sortir(*enfant);
    }
}
