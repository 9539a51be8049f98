#pragma once
// La vue de l'arbre XML (xmlTreeView) : un nœud de vue par nœud du document, dans l'ordre du
// document, libellé étroit, image de ListeImages choisie par le libellé, replié.

#include <QDomNode>
#include <QIcon>
#include <QList>
#include <future>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

// Ajoute sous `parent` (au premier niveau de `vue` quand `parent` est nul) un nœud de vue pour
// chaque enfant de `noeud`, et ainsi de suite jusqu'aux feuilles. Les sous-arbres sont construits
// détachés puis attachés d'un seul coup ; la construction ne s'appuie pas sur la pile d'appels,
// si profond que soit le document.
void construireArbreXML(QTreeWidget *vue, QTreeWidgetItem *parent, const QDomNode &noeud);

// L'arbre d'un document construit sur un fil de fond, pendant que le fil de la fenêtre fait autre
// chose du même document : les deux ne font qu'y lire. Les nœuds sont construits détachés, avec
// les icônes relevées d'avance ; ils remplacent le contenu de la vue à l'appel de montrer(), ou à
// la sortie de la portée si une exception l'a quittée avant (la vue montre alors, comme après
// construireArbreXML, l'arbre du document). Le document ne doit pas changer entre-temps.
class ArbreXMLEnFond
{
public:
    ArbreXMLEnFond(QTreeWidget *vue, const QDomNode &noeud);
    ~ArbreXMLEnFond();
    ArbreXMLEnFond(const ArbreXMLEnFond &) = delete;
    ArbreXMLEnFond &operator=(const ArbreXMLEnFond &) = delete;

    // Attend la fin de la construction et montre l'arbre dans la vue (viderArbreXML d'abord).
    void montrer();

private:
    QTreeWidget *m_vue;
    std::vector<QIcon> m_icones;
    std::future<QList<QTreeWidgetItem *>> m_construction;
};

// L'apparence de la vue : fond blanc, police de la fenêtre en gras (8 points), retrait de 19,
// sans en-tête.
void preparerVueArbreXML(QTreeWidget *vue);

// Retire tous les nœuds de la vue, à la place de QTreeWidget::clear(). Les nœuds sont détachés
// d'un coup : la vue est vide au retour. Leur destruction, aussi longue que leur construction,
// se fait ensuite sur un fil de fond, sans rien prendre au fil de la fenêtre ; elle part des
// feuilles, sans récursion, si profond que soit l'arbre. Elle est finie quand la vue disparaît.
void viderArbreXML(QTreeWidget *vue);

// Les nœuds de premier niveau de la vue, détachés d'un coup : la vue est vide au retour, et ils
// appartiennent à l'appelant.
QList<QTreeWidgetItem *> detacherArbreXML(QTreeWidget *vue);
// Des nœuds détachés détruits comme par viderArbreXML.
void demolirArbreXML(QTreeWidget *vue, const QList<QTreeWidgetItem *> &elements);
