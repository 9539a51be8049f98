#include "ui/ArbreXMLVue.h"

#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"
#include "ui/ListeImages.h"
#include "ui/Polices.h"

#include <QHeaderView>
#include <QPalette>
#include <QTreeView>

ModeleArbreXML::ModeleArbreXML(QObject *parent)
    : QAbstractItemModel(parent)
{
}

ModeleArbreXML::~ModeleArbreXML() { lacherDocument(); }

void ModeleArbreXML::lacherDocument()
{
    m_noeuds.clear();
    m_noeuds.shrink_to_fit();
    TDocumentXML::detruireEnFond(std::exchange(m_document, QDomDocument()));
}

void ModeleArbreXML::montrer(const QDomNode &noeud)
{
    beginResetModel();
    lacherDocument();
    m_document = noeud.ownerDocument();
    if (!noeud.isNull())
        m_noeuds.push_back({noeud, -1, 0});
    endResetModel();
}

int ModeleArbreXML::numero(const QModelIndex &index)
{
    return index.isValid() ? int(index.internalId()) : 0;
}

const ModeleArbreXML::Noeud &ModeleArbreXML::avecEnfants(int numero) const
{
    if (m_noeuds[numero].nombreEnfants < 0) {
        const int premier = int(m_noeuds.size());
        int rang = 0;
        for (QDomNode enfant = ArbreXML::premierEnfantMontre(m_noeuds[numero].dom); !enfant.isNull();
             enfant = ArbreXML::suivantMontre(enfant))
            m_noeuds.push_back({enfant, numero, rang++});
        m_noeuds[numero].premierEnfant = premier;
        m_noeuds[numero].nombreEnfants = rang;
    }
    return m_noeuds[numero];
}

QModelIndex ModeleArbreXML::index(int ligne, int colonne, const QModelIndex &parent) const
{
    if (m_noeuds.empty() || colonne != 0 || ligne < 0)
        return {};
    const Noeud &noeud = avecEnfants(numero(parent));
    if (ligne >= noeud.nombreEnfants)
        return {};
    return createIndex(ligne, 0, quintptr(noeud.premierEnfant + ligne));
}

QModelIndex ModeleArbreXML::parent(const QModelIndex &enfant) const
{
    if (!enfant.isValid())
        return {};
    const int parent = m_noeuds[numero(enfant)].parent;
    if (parent <= 0)
        return {};
    return createIndex(m_noeuds[parent].rang, 0, quintptr(parent));
}

int ModeleArbreXML::rowCount(const QModelIndex &parent) const
{
    if (m_noeuds.empty() || parent.column() > 0)
        return 0;
    return avecEnfants(numero(parent)).nombreEnfants;
}

int ModeleArbreXML::columnCount(const QModelIndex &) const { return 1; }

bool ModeleArbreXML::hasChildren(const QModelIndex &parent) const
{
    // Sans relever les enfants : la vue le demande pour chaque ligne qu'elle peint.
    return !m_noeuds.empty() && parent.column() <= 0
        && !ArbreXML::premierEnfantMontre(m_noeuds[numero(parent)].dom).isNull();
}

QVariant ModeleArbreXML::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::DecorationRole))
        return {};
    const QString libelle = ArbreXML::libelleAffiche(ArbreXML::texteDuNoeud(m_noeuds[numero(index)].dom));
    if (role == Qt::DisplayRole)
        return libelle;
    // Chaque icône est faite à son premier usage, puis gardée par ListeImages : le démarrage n'en
    // fait aucune pour l'arbre.
    return ListeImages::icone(ArbreXML::indexImage(libelle));
}

namespace {

ModeleArbreXML *modeleDe(QTreeView *vue) { return qobject_cast<ModeleArbreXML *>(vue->model()); }

} // namespace

void preparerVueArbreXML(QTreeView *vue)
{
    vue->setModel(new ModeleArbreXML(vue));
    vue->setHeaderHidden(true);
    vue->setIndentation(19);
    vue->setIconSize(QSize(ListeImages::taille, ListeImages::taille));
    // Des lignes d'une même hauteur : la vue place un canal de 100 000 informations déplié sans
    // mesurer chacune.
    vue->setUniformRowHeights(true);
    vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = vue->palette();
    palette.setColor(QPalette::Base, Qt::white);
    vue->setPalette(palette);
    vue->setAutoFillBackground(true);
    vue->setFont(Polices::fenetre(true));
}

void construireArbreXML(QTreeView *vue, const QDomNode &noeud)
{
    if (ModeleArbreXML *modele = modeleDe(vue))
        modele->montrer(noeud);
}
