#pragma once
// Gardes contre les documents qui épuiseraient le programme avant même d'être lus :
//  - les entités internes qui gonflent (« milliard de rires ») : QDomDocument borne chaque
//    expansion mais pas leur total ;
//  - l'imbrication très profonde : la construction de l'arbre par QDomDocument coûte un temps
//    qui croît avec le carré de la profondeur (plusieurs minutes pour 100 000 niveaux).
// Un document refusé lève ErreurChargementXML, comme un document mal formé.

#include <QByteArray>

namespace GardeDocument {

// Nombre de caractères qu'un document peut gagner par ses entités internes.
constexpr qint64 expansionMaximale = 8 * 1024 * 1024;

// Profondeur d'imbrication des éléments au-delà de laquelle un document est refusé.
constexpr int profondeurMaximale = 4096;

// Lève ErreurChargementXML quand le document dépasse l'une des bornes.
void verifier(const QByteArray &octets);

// La profondeur d'imbrication des éléments, lue octet par octet sans analyser le document
// (commentaires, sections CDATA, instructions et DOCTYPE sautés) ; s'arrête dès que la borne
// est dépassée.
int profondeur(const QByteArray &octets, int borne = profondeurMaximale);

} // namespace GardeDocument
