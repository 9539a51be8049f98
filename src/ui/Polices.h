#pragma once
// Les polices de la fenêtre. Les polices Windows d'origine sont remplacées par les plus proches
// que Debian fournit : « MS Sans Serif » par Liberation Sans (mêmes chasses qu'Arial,
// fonts-liberation2), Tahoma par DejaVu Sans (la famille de Verdana, fonts-dejavu-core).

#include <QFont>

namespace Polices {

// La police de la fenêtre et de ses contrôles : « MS Sans Serif » 8 points.
QFont fenetre(bool gras = false);
// La police de l'arbre des favoris : Tahoma 10 points.
QFont favoris();

} // namespace Polices
