#pragma once
// Les 252 entités de caractère nommées de HTML 4 (latin-1, symboles, caractères spéciaux), que
// les flux RSS 0.91 emploient en s'appuyant sur un DTD externe qui n'est jamais téléchargé.

#include <QDomDocument>
#include <QString>

namespace EntitesHTML {

// Le caractère d'une entité nommée (« eacute » → é) ; 0 pour un nom inconnu.
char16_t caractere(QStringView nom);

// Dans un document qui nomme un DTD externe, remplace chaque référence restée sans déclaration
// dont le nom est une entité HTML par son caractère, fondu dans le texte voisin. Les entités du
// sous-ensemble interne ont déjà été développées par le parseur : elles l'emportent.
void resoudre(QDomDocument &document);

} // namespace EntitesHTML
