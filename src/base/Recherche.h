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
};

// Les champs d'une information où chercher, dans l'ordre titre, lien, description.
struct ChampsRecherche
{
    bool titre = false;
    bool lien = false;
    bool description = false;
};
