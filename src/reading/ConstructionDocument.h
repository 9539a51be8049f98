#pragma once
// L'arbre d'un document XML bâti à partir des évènements de QXmlStreamReader, avec des budgets
// comptés sur ce que le parseur produit : un document venu d'ailleurs ne peut pas épuiser le
// programme, quels que soient son encodage, ses entités ou ses attributs par défaut. Un document
// qui dépasse un budget est refusé (ErreurDocumentRefuse, dont le message nomme le budget) et rien
// n'en est gardé.
//
// L'arbre est celui que QDomDocument bâtirait sans traitement des espaces de noms (noms écrits
// avec leur préfixe), à ceci près :
//  - les entités HTML 4 sont résolues pendant l'analyse, avec ou sans DTD (EntitesHTML) ;
//  - un texte fait seulement d'espaces est gardé quand il sépare du contenu : dans un élément
//    qui porte aussi du texte (ou une section CDATA) qui n'est pas fait que d'espaces, et partout
//    sous un élément de contenu balisé (type="xhtml", ou mode="xml" d'Atom 0.3). Entre les
//    éléments d'un contenu fait d'éléments seuls, il est abandonné comme avant.

#include "commun/Erreurs.h"
#include "reading/DecodageDocument.h"

#include <QDomDocument>
#include <QString>

namespace BudgetsDocument {

// Caractères de texte et de valeurs d'attributs, entités développées et valeurs par défaut
// comprises : 64 M caractères (128 Mo en mémoire), autant que d'octets dans le plus grand corps
// que le client HTTP accepte ; un flux de 100 000 informations en écrit 45 M.
constexpr qint64 caracteres = 64 * 1024 * 1024;
// Parmi eux, ceux que le document n'écrit pas lui-même : développements des entités et valeurs
// par défaut des attributs déclarés dans le DTD. 16 M caractères, le double de la borne des
// seules entités d'avant : un document court ne peut pas en faire des centaines de Mo.
constexpr qint64 developpes = 16 * 1024 * 1024;
// Nœuds (éléments, textes, attributs, commentaires…), comptés au poids de leur mémoire : un nœud
// coûte 250 octets environ dans QDomDocument, mais un élément qui porte des attributs y reçoit une
// table qui en coûte 2 000 de plus, comptée comme tableAttributs nœuds. 1,5 M nœuds : 400 Mo au
// plus pour l'arbre, et 1,2 Gio au plus pour la fenêtre qui l'ouvre (son arbre XML compris) ; un
// flux Atom de 50 000 entrées (23 Mo) en compte 1,4 M.
constexpr qint64 noeuds = 1'500'000;
constexpr qint64 tableAttributs = 8;
// Profondeur d'imbrication des éléments.
constexpr int profondeur = 4096;
// Attributs d'un même élément : le parseur vérifie leurs doublons deux à deux.
constexpr int attributsParElement = 256;
// Attributs déclarés dans le DTD (ATTLIST) : le parseur compare chaque déclaration à toutes les
// précédentes (2 000 déclarations : 30 ms, 16 000 : 2,4 s)...
constexpr qint64 attributsDeclares = 256;
// ... et les passe toutes en revue à chaque élément : éléments × déclarations.
constexpr qint64 revuesDeclarations = 20'000'000;

} // namespace BudgetsDocument

// L'arbre du texte donné (déjà décodé) ; ErreurChargementXML s'il est mal formé,
// ErreurDocumentRefuse s'il dépasse un budget.
QDomDocument construireDocument(const TexteDocument &texte);
