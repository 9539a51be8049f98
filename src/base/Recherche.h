#pragma once
// Le texte cherché dans les informations stockées. La comparaison se fait sur la forme étroite
// (Windows-1252) des deux textes, octet par octet, casse et accents compris. Le texte cherché
// n'est converti qu'une fois par recherche, ici, et non pour chaque information.

#include "commun/TexteEtroit.h"

#include <QString>

class TexteRecherche
{
public:
    explicit TexteRecherche(const QString &texte);

    bool estVide() const { return m_etroit.isEmpty(); }
    const TexteEtroit &etroit() const { return m_etroit; }

    // Vrai quand la forme étroite du champ contient celle du texte cherché.
    // Un texte vide ne se trouve jamais.
    bool trouveDans(const QString &champ) const;

private:
    TexteEtroit m_etroit;
    // Le texte cherché en caractères larges quand il ne contient pas « ? » : chaque octet y
    // correspond alors à un seul caractère, et chercher dans le champ large sans le convertir
    // donne la même réponse que chercher dans sa forme étroite.
    QString m_large;
    bool m_direct = false;
    // Les positions, dans le texte large, de ses deux caractères probablement les plus rares
    // dans un texte courant : on cherche d'abord dans le champ les endroits où ces deux-là
    // sont à leur place, puis on compare le texte entier à ces endroits seulement.
    qsizetype m_pivot = 0;
    qsizetype m_second = 0;
    // Sinon, la forme étroite de chaque champ est faite dans ce tampon, réutilisé d'un champ à
    // l'autre (un texte préparé sert à une seule recherche, sur un seul fil).
    mutable TexteEtroit m_tampon;
};

// Les champs d'une information où chercher, dans l'ordre titre, lien, description.
struct ChampsRecherche
{
    bool titre = false;
    bool lien = false;
    bool description = false;
};
