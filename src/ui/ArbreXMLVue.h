#pragma once
// La vue de l'arbre XML (xmlTreeView) : un nœud de vue par nœud du document, dans l'ordre du
// document, libellé étroit, image de ListeImages choisie par le libellé, replié.

#include <QDomNode>

class QTreeWidget;
class QTreeWidgetItem;

// Ajoute sous `parent` (au premier niveau de `vue` quand `parent` est nul) un nœud de vue pour
// chaque enfant de `noeud`, et ainsi de suite jusqu'aux feuilles. Les sous-arbres sont construits
// détachés puis attachés d'un seul coup ; la construction ne s'appuie pas sur la pile d'appels,
// si profond que soit le document.
void construireArbreXML(QTreeWidget *vue, QTreeWidgetItem *parent, const QDomNode &noeud);

// L'apparence de la vue : fond blanc, police de la fenêtre en gras (8 points), retrait de 19,
// sans en-tête.
void preparerVueArbreXML(QTreeWidget *vue);

// Retire tous les nœuds de la vue, à la place de QTreeWidget::clear(). Les nœuds sont détachés
// d'un coup : la vue est vide au retour. Leur destruction, aussi longue que leur construction,
// se fait ensuite par tranches de quelques millisecondes quand la boucle des messages est libre,
// sans geler la fenêtre ; elle part des feuilles, sans récursion, si profond que soit l'arbre.
// Un seul arbre attend : ce qui reste du précédent est détruit au vidage suivant. Ce qui reste
// à détruire l'est avec la vue.
void viderArbreXML(QTreeWidget *vue);
