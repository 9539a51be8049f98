#pragma once
// Le texte cherché dans les informations stockées. La comparaison se fait sur la forme étroite
// (Windows-1252) des deux textes, octet par octet, casse et accents compris. Le texte cherché
// n'est converti qu'une fois par recherche, ici, et non pour chaque information ; les champs
// d'une information, quand il faut leur forme étroite, la gardent d'une recherche à l'autre.

#include "commun/TexteEtroit.h"

#include <QList>
#include <QString>

// Les formes étroites d'une suite de champs (les titres des informations d'un flux, par exemple)
// mises bout à bout, sans séparateur ; chaque champ commence à sa place dans `debuts`, en ordre
// croissant, et finit où commence le suivant.
struct ChampsBoutABout
{
    TexteEtroit texte;
    QList<qsizetype> debuts;
};

class TexteRecherche
{
public:
    explicit TexteRecherche(const QString &texte);

    bool estVide() const { return m_etroit.isEmpty(); }
    const TexteEtroit &etroit() const { return m_etroit; }

    // Vrai quand la forme étroite du champ contient celle du texte cherché.
    // Un texte vide ne se trouve jamais.
    bool trouveDans(const QString &champ) const;
    // La même réponse, le champ étant donné sous ses deux formes. La forme étroite, deux fois
    // plus courte, se parcourt plus vite : elle sert dès qu'elle est faite ; sinon elle n'est
    // faite que si la comparaison en a besoin.
    template<typename FormeEtroite>
    bool trouveDans(const QString &champ, FormeEtroite formeEtroite, bool etroiteFaite) const
    {
        if (m_etroit.isEmpty() || champ.size() < m_etroit.size() || (m_direct && !etroiteFaite))
            return trouveDans(champ);
        return trouveDansEtroit(formeEtroite());
    }

    // Vrai quand l'un des champs mis bout à bout contient la forme étroite du texte cherché.
    bool trouveDans(const ChampsBoutABout &champs) const;

private:
    bool trouveDansEtroit(const TexteEtroit &champ) const;

    TexteEtroit m_etroit;
    // Le texte cherché en caractères larges quand il ne contient pas « ? » : chaque octet y
    // correspond alors à un seul caractère, et chercher dans le champ large sans le convertir
    // donne la même réponse que chercher dans sa forme étroite.
    QString m_large;
    bool m_direct = false;
    // Les positions, dans le texte comparé (large ou étroit), de ses deux caractères probablement
    // les plus rares dans un texte courant : on cherche d'abord dans le champ les endroits où ces
    // deux-là sont à leur place, puis on compare le texte entier à ces endroits seulement.
    qsizetype m_pivot = 0;
    qsizetype m_second = 0;
};

// Les champs d'une information où chercher, dans l'ordre titre, lien, description.
struct ChampsRecherche
{
    bool titre = false;
    bool lien = false;
    bool description = false;
};
