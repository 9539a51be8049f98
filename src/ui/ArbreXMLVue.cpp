#include "ui/ArbreXMLVue.h"

#include "reading/ArbreXML.h"
#include "ui/ListeImages.h"
#include "ui/Polices.h"

#include <QHeaderView>
#include <QList>
#include <QPalette>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <utility>

void construireArbreXML(QTreeWidget *vue, QTreeWidgetItem *parent, const QDomNode &noeud)
{
    if (!vue && !parent)
        return;
    QList<QTreeWidgetItem *> premierNiveau;
    // Le chemin des nœuds de vue ouverts, du premier niveau au nœud courant.
    QList<QTreeWidgetItem *> chemin;
    ArbreXML::parcourir(
        noeud,
        [&](const QDomNode &, const QString &libelle, int image) {
            auto *element = new QTreeWidgetItem(QStringList(libelle));
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
    vue->setFont(Polices::fenetre(true));
}

namespace {

// Au-delà de cette profondeur, la destruction récursive de Qt n'est plus sûre pour la pile.
constexpr int profondeurSure = 10000;

// Vrai quand un nœud de la vue est plus profond que `limite` (parcours sans récursion).
bool plusProfondQue(QTreeWidget *vue, int limite)
{
    QList<std::pair<const QTreeWidgetItem *, int>> pile{{vue->invisibleRootItem(), 0}};
    while (!pile.isEmpty()) {
        const auto [element, profondeur] = pile.takeLast();
        if (profondeur > limite)
            return true;
        for (int i = 0; i < element->childCount(); ++i) {
            const QTreeWidgetItem *enfant = element->child(i);
            if (enfant->childCount() > 0)
                pile.append({enfant, profondeur + 1});
        }
    }
    return false;
}

} // namespace

void viderArbreXML(QTreeWidget *vue)
{
    if (!plusProfondQue(vue, profondeurSure)) {
        vue->clear();
        return;
    }
    // Détache d'un coup tout le premier niveau : la vue n'a plus rien à suivre. Puis chaque
    // sous-arbre est détruit en partant de ses feuilles, toujours par le dernier enfant, pour que
    // chaque retrait soit immédiat et que rien ne soit récursif.
    QList<QTreeWidgetItem *> chemin = vue->invisibleRootItem()->takeChildren();
    while (!chemin.isEmpty()) {
        QTreeWidgetItem *element = chemin.last();
        if (element->childCount() > 0) {
            chemin.append(element->child(element->childCount() - 1));
            continue;
        }
        chemin.removeLast();
        if (QTreeWidgetItem *parent = element->parent())
            parent->takeChild(parent->childCount() - 1);
        delete element;
    }
}
