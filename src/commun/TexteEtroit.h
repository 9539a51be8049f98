#pragma once
// Texte étroit : octets Windows-1252, la page de code de l'interface, des noms de rubrique
// rangés dans un flux, de la couleur d'une rubrique, du fichier de page et des libellés de l'arbre.
// Un caractère que Windows-1252 ne sait pas représenter devient « ? ».

#include <QByteArray>
#include <QString>

using TexteEtroit = QByteArray;

TexteEtroit versEtroit(const QString &large);
// Ajoute la forme étroite du texte à la fin de sortie (sans texte intermédiaire).
void ajouterEtroit(TexteEtroit &sortie, QStringView large);
QString depuisEtroit(const TexteEtroit &etroit);
