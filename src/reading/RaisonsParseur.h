#pragma once
// La raison, en français, pour laquelle le parseur XML (expat) refuse un document : ses propres
// messages sont en anglais (« mismatched tag »), et l'utilisateur lit celle-ci sous le message
// ordinaire d'échec du chargement.

#include <expat.h>

#include <QString>

// La raison d'une erreur du parseur, sans majuscule ni point (« balise mal fermée ») ;
// `elementOuvert` : le document avait ouvert son élément racine quand le texte a pris fin, ce qui
// distingue un document coupé d'un document vide (le parseur les confond).
QString raisonDuParseur(XML_Error code, bool elementOuvert);

// Le message entier d'un document mal formé, avec la position que le parseur donne.
QString messageDocumentMalForme(const QString &raison, XML_Size ligne, XML_Size colonne);
