#pragma once
// Les 252 entités de caractère nommées de HTML 4 (latin-1, symboles, caractères spéciaux), que
// les flux RSS 0.91 emploient en s'appuyant sur un DTD externe qui n'est jamais téléchargé.

#include <QByteArray>

namespace EntitesHTML {

// Leurs déclarations (« <!ENTITY eacute "&#233;"> »...), en UTF-8 : le DTD que le parseur reçoit
// à la place de tout DTD externe, et pour un document sans DTD. Celles du sous-ensemble interne
// d'un document, lues avant, l'emportent ; amp, lt, gt et quot, prédéfinies, n'y sont pas.
const QByteArray &declarations();

} // namespace EntitesHTML
