#pragma once
// L'arbre d'un document XML bâti à partir des évènements d'expat, avec des budgets comptés sur ce
// que le parseur rapporte (BudgetsDocument) : un document venu d'ailleurs ne peut pas épuiser le
// programme, quels que soient son encodage, ses entités ou ses attributs par défaut. Le parseur
// reçoit le texte déjà décodé (DecodageDocument), en un seul appel. Un document qui dépasse un
// budget est refusé (ErreurDocumentRefuse, dont le message nomme le budget) et rien n'en est
// gardé.
//
// L'arbre est celui que QDomDocument bâtirait de son analyse, à ceci près :
//  - chaque élément garde son nom écrit (préfixe compris, que nodeName() donne), et, quand son
//    préfixe est déclaré (ou qu'il n'en a pas), son espace de noms et son nom local
//    (namespaceURI(), localName()) ; un élément au préfixe non déclaré se lit tout de même, sans
//    espace de noms. Les attributs gardent leur nom écrit (attribute("xml:base")), xmlns compris ;
//  - les entités HTML 4 sont résolues, avec ou sans DTD (EntitesHTML) ; derrière un DTD externe,
//    une entité inconnue reste une référence d'entité ; sans DTD externe, elle refuse le document ;
//  - un texte fait seulement d'espaces est gardé quand il sépare du contenu : dans un élément
//    qui porte aussi du texte (ou une section CDATA) qui n'est pas fait que d'espaces, et partout
//    sous un élément de contenu balisé (type="xhtml", ou mode="xml" d'Atom 0.3). Entre les
//    éléments d'un contenu fait d'éléments seuls, il est abandonné comme avant.

#include "reading/BudgetsDocument.h"
#include "reading/DecodageDocument.h"

#include <QDomDocument>

// L'arbre du texte donné (déjà décodé) ; ErreurDocumentRefuse s'il est mal formé (la raison, en
// français, avec la ligne et la colonne), s'il dépasse un budget ou porte un octet qui n'est pas
// de l'UTF-8.
// Le texte est rendu dès que le parseur en a sa copie.
QDomDocument construireDocument(TexteDocument texte, const BudgetsDocument &budgets = Budgets::etranger);
