#pragma once
// Lecture d'un document Atom 1.0 (et d'Atom 0.3) dans les mêmes fiches qu'un flux RSS. Les éléments
// d'Atom sont ceux qui portent le préfixe de la racine (aucun, le plus souvent) ; leur nom local est
// comparé.

#include "model/TFlux.h"

#include <QDomElement>
#include <QString>
#include <optional>

// Vrai quand la racine est celle d'un flux Atom : un élément nommé « feed », ou un élément de
// l'espace de noms d'Atom 1.0 ou 0.3, quel que soit son préfixe.
bool estRacineAtom(const QDomElement &racine);

// Lit la racine « feed » dans le flux : ses textes, son image et une information par « entry ».
void analyserAtom(const QDomElement &racine, TFlux &flux);

// Le texte d'un champ Atom (titres, droits). Avec type="xhtml", le contenu de son enfant « div »
// (quel que soit son préfixe) écrit en HTML, sans le div lui-même ; sinon le texte du champ
// (textes et sections CDATA bout à bout, vide quand il contient un élément).
QString texteAtom(const QDomElement &champ);

// La base d'adresses en vigueur sur un élément : celle de l'extérieur, à laquelle s'applique
// son propre xml:base. Absente tant qu'aucun xml:base n'est en vigueur.
std::optional<QString> baseAtom(const QDomElement &element, const std::optional<QString> &exterieure);

// Une adresse écrite sur l'élément (déjà compté dans « base ») : résolue contre la base par la
// RFC 3986, ou gardée telle qu'écrite sans base.
QString adresseAtom(const QString &ecrite, const std::optional<QString> &base);
