#pragma once
// Garde contre les documents qui gonflent par leurs entités internes (« milliard de rires ») :
// QDomDocument borne chaque expansion mais pas leur total. Un document dont les entités
// déclarées, multipliées par leurs références, dépasseraient la borne est refusé.

#include <QByteArray>

namespace GardeEntites {

// Nombre de caractères qu'un document peut gagner par ses entités internes.
constexpr qint64 expansionMaximale = 8 * 1024 * 1024;

// Lève ErreurChargementXML quand le document dépasserait la borne.
void verifier(const QByteArray &octets);

} // namespace GardeEntites
