#pragma once
// Ce qu'une page coûte à la vue web qui la montre, estimé sur ce que la page écrit : ses octets et
// ses nœuds (éléments, textes), ceux des valeurs relues comme du HTML tels que l'analyseur les a
// comptés (BudgetHtml::noeuds). Relevé avec bench_hostiles_interface sur l'arbre des processus
// de la fenêtre : un élément vide coûte 0,85 Kio, un octet de texte fait de mots 30 octets, un
// mot d'un million de lettres 47 par lettre ; chaque poids est pris un peu au-dessus.

#include <QtGlobal>

class PoidsPage
{
public:
    static constexpr qint64 parOctet = 48;
    static constexpr qint64 parNoeud = 1024;

    static constexpr qint64 poids(qint64 octets, qint64 noeuds) { return octets * parOctet + noeuds * parNoeud; }

    explicit PoidsPage(qint64 disponible) : m_reste(disponible) {}

    // Les octets qu'une valeur peut avoir au plus pour tenir encore, sans compter ses nœuds : une
    // valeur plus longue n'est pas même écrite.
    qint64 octetsPossibles() const { return m_reste / parOctet; }

    // Prend ce que coûtent ces octets et ces nœuds s'il en reste assez ; sinon rien.
    bool prendre(qint64 octets, qint64 noeuds)
    {
        const qint64 p = poids(octets, noeuds);
        if (p > m_reste)
            return false;
        m_reste -= p;
        return true;
    }

private:
    qint64 m_reste;
};
