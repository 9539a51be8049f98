#pragma once
// Un document très profond pour les tests de l'arbre XML.

#include "reading/DocumentXML.h"

namespace OutilsTests {

// Charge dans `document` une racine <a/> et y accroche une chaîne de `niveaux` nœuds :
// niveaux - 1 éléments `nom` emboîtés et, tout au fond, le texte `texte`. La chaîne est bâtie des
// feuilles vers la racine : l'analyseur de Qt met des minutes à lire un tel fichier (son coût
// croît avec le carré de la profondeur).
void chargerChaineProfonde(TDocumentXML &document, int niveaux, const QString &nom, const QString &texte);

} // namespace OutilsTests
