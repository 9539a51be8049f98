#pragma once
// Les lignes coupées des listes et des arbres de la fenêtre montrent leur texte entier en bulle :
// une rubrique, une adresse de source, un titre d'information trop longs pour la largeur de leur
// vue (coupés d'un « … », ou sortis de la vue). Une ligne qui tient entière n'a pas de bulle, et
// une ligne qui a déjà sa propre bulle la garde.
//
// Le texte vient souvent d'un flux : la bulle le montre tel quel, jamais interprété comme du
// HTML, à la ligne dans la largeur d'une bulle, et borné (1 000 caractères, puis « … »).

#include <initializer_list>

class QAbstractItemView;

namespace BullesTexteCoupe {

// Pose les bulles sur ces vues, pour leur vie entière.
void installer(std::initializer_list<QAbstractItemView *> vues);

} // namespace BullesTexteCoupe
