#include "ui/ArbreXMLVue.h"

#include "reading/ArbreXML.h"
#include "ui/ListeImages.h"
#include "ui/Polices.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QList>
#include <QPalette>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <memory>

namespace {

// Les icônes que l'arbre peut montrer, indexées comme ListeImages, prises sur le fil de la
// fenêtre (une icône ne se crée que là) ; les autres entrées restent nulles.
std::vector<QIcon> iconesDeLArbre()
{
    std::vector<QIcon> icones(ListeImages::nombre);
    for (const int image : ArbreXML::imagesPossibles())
        icones[image] = ListeImages::icone(image);
    return icones;
}

// Un nœud de vue détaché pour chaque nœud sous `noeud` ; rend ceux du premier niveau. Ne touche
// à aucun widget : peut tourner sur un autre fil que celui de la fenêtre.
QList<QTreeWidgetItem *> elementsDeLArbre(const QDomNode &noeud, const std::vector<QIcon> &icones)
{
    QList<QTreeWidgetItem *> premierNiveau;
    // Le chemin des nœuds de vue ouverts, du premier niveau au nœud courant.
    QList<QTreeWidgetItem *> chemin;
    ArbreXML::parcourir(
        noeud,
        [&](const QDomNode &, const QString &libelle, int image) {
            auto *element = new QTreeWidgetItem(QStringList(libelle));
            if (image >= 0 && image < int(icones.size()))
                element->setIcon(0, icones[image]);
            if (chemin.isEmpty())
                premierNiveau.append(element);
            else
                chemin.last()->addChild(element);
            chemin.append(element);
        },
        [&] { chemin.removeLast(); });
    return premierNiveau;
}

} // namespace

void construireArbreXML(QTreeWidget *vue, QTreeWidgetItem *parent, const QDomNode &noeud)
{
    if (!vue && !parent)
        return;
    const QList<QTreeWidgetItem *> premierNiveau = elementsDeLArbre(noeud, iconesDeLArbre());
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

// Un fil qui construit (ou détruit) les arbres, toujours le même : leurs nœuds viennent ainsi
// toujours de la même réserve de l'allocateur, où la place des arbres détruits resservira. Un fil
// neuf pour chaque arbre en ouvrait de nouvelles, que chacune gardait : la mémoire du programme
// montait de plus de 100 Mio sur les premières centaines de bascules d'onglets.
struct FilUnique : QThreadPool
{
    FilUnique()
    {
        setMaxThreadCount(1);
        setExpiryTimeout(-1);
    }
};

// Le fil qui détruit les nœuds détachés : leur destruction, aussi longue que leur construction,
// ne prend rien au fil de la fenêtre, qui peint pendant ce temps la page suivante.
QThreadPool &filDesDemolitions()
{
    static FilUnique fil;
    return fil;
}

// Détruit des sous-arbres détachés, sans récursion. La pile tient les sous-arbres et, au-dessus
// de chacun, le chemin vers son dernier descendant : un nœud qui a des enfants y pose son dernier
// enfant ; un nœud sans enfant est retiré de son parent (il en est le dernier enfant : retrait
// immédiat) et détruit.
void detruireElements(QList<QTreeWidgetItem *> pile)
{
    while (!pile.isEmpty()) {
        QTreeWidgetItem *element = pile.last();
        if (element->childCount() > 0) {
            pile.append(element->child(element->childCount() - 1));
            continue;
        }
        pile.removeLast();
        if (QTreeWidgetItem *parent = element->parent())
            parent->takeChild(parent->childCount() - 1);
        delete element;
    }
}

// Enfant de la vue : à sa destruction, les démolitions en cours sont finies.
class GardeDemolitions : public QObject
{
public:
    using QObject::QObject;
    ~GardeDemolitions() override { filDesDemolitions().waitForDone(); }
};

} // namespace

void viderArbreXML(QTreeWidget *vue)
{
    if (vue->topLevelItemCount() > 0)
        demolirArbreXML(vue, detacherArbreXML(vue));
}

QList<QTreeWidgetItem *> detacherArbreXML(QTreeWidget *vue)
{
    return vue->invisibleRootItem()->takeChildren();
}

void demolirArbreXML(QTreeWidget *vue, const QList<QTreeWidgetItem *> &elements)
{
    if (elements.isEmpty())
        return;
    // (Sans Q_OBJECT, la classe ne se reconnaît pas par qobject_cast.)
    bool gardee = false;
    for (QObject *enfant : vue->children())
        gardee = gardee || dynamic_cast<GardeDemolitions *>(enfant);
    if (!gardee)
        new GardeDemolitions(vue);
    filDesDemolitions().start([elements] { detruireElements(elements); });
}

namespace {

// Le fil qui construit les arbres.
QThreadPool &filDesArbres()
{
    static FilUnique fil;
    return fil;
}

} // namespace

ArbreXMLEnFond::ArbreXMLEnFond(QTreeWidget *vue, const QDomNode &noeud)
    : m_vue(vue)
    , m_icones(iconesDeLArbre())
{
    auto construction = std::make_shared<std::packaged_task<QList<QTreeWidgetItem *>()>>(
        [noeud, this] { return elementsDeLArbre(noeud, m_icones); });
    m_construction = construction->get_future();
    filDesArbres().start([construction] { (*construction)(); });
}

ArbreXMLEnFond::~ArbreXMLEnFond()
{
    try {
        montrer();
    } catch (...) {
        // Une construction qui a échoué (mémoire épuisée) laisse la vue telle qu'elle était.
    }
}

void ArbreXMLEnFond::montrer()
{
    if (!m_construction.valid())
        return;
    const QList<QTreeWidgetItem *> premierNiveau = m_construction.get();
    viderArbreXML(m_vue);
    m_vue->addTopLevelItems(premierNiveau);
}
