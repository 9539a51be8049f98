#include "ui/ArbreXMLVue.h"

#include "reading/ArbreXML.h"
#include "ui/ListeImages.h"

#include <QFont>
#include <QHeaderView>
#include <QList>
#include <QPalette>
#include <QTreeWidget>
#include <QTreeWidgetItem>

void construireArbreXML(QTreeWidget *vue, QTreeWidgetItem *parent, const QDomNode &noeud)
{
    if (!vue && !parent)
        return;
    QList<QTreeWidgetItem *> premierNiveau;
    // Le chemin des nœuds de vue ouverts, du premier niveau au nœud courant.
    QList<QTreeWidgetItem *> chemin;
    ArbreXML::parcourir(
        noeud,
        [&](const QDomNode &, const TexteEtroit &libelle, int image) {
            auto *element = new QTreeWidgetItem(QStringList(depuisEtroit(libelle)));
            if (image != ArbreXML::aucuneImage)
                element->setIcon(0, ListeImages::icone(image));
            if (chemin.isEmpty())
                premierNiveau.append(element);
            else
                chemin.last()->addChild(element);
            chemin.append(element);
        },
        [&] { chemin.removeLast(); });
    if (premierNiveau.isEmpty())
        return;
    if (parent)
        parent->addChildren(premierNiveau);
    else
        vue->addTopLevelItems(premierNiveau);
}

void preparerVueArbreXML(QTreeWidget *vue)
{
    vue->setHeaderHidden(true);
    vue->setColumnCount(1);
    vue->setIndentation(19);
    vue->setIconSize(QSize(ListeImages::taille, ListeImages::taille));
    QPalette palette = vue->palette();
    palette.setColor(QPalette::Base, Qt::white);
    vue->setPalette(palette);
    vue->setAutoFillBackground(true);
    QFont police(QStringLiteral("Sans Serif"), 8);
    police.setStyleHint(QFont::SansSerif);
    police.setBold(true);
    vue->setFont(police);
}

void viderArbreXML(QTreeWidget *vue)
{
    // Détache d'abord tout le premier niveau (la vue n'a plus rien à suivre), puis détruit
    // chaque sous-arbre en partant des feuilles, sans récursion.
    QList<QTreeWidgetItem *> pile = vue->invisibleRootItem()->takeChildren();
    while (!pile.isEmpty()) {
        QTreeWidgetItem *element = pile.last();
        if (element->childCount() > 0) {
            pile.append(element->takeChild(element->childCount() - 1));
            continue;
        }
        pile.removeLast();
        delete element;
    }
}
