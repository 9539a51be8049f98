#pragma once
// La vue de l'arbre XML (xmlTreeView) : un nœud de vue par nœud montré du document (tout nœud
// sauf un texte fait seulement de blancs, ArbreXML::estMontre), dans l'ordre du
// document, libellé étroit, image de ListeImages choisie par le libellé, replié.
//
// La vue lit le document à la demande, par un modèle qui tient le document montré : montrer un
// document ne coûte rien, quelle que soit sa taille, et seuls les niveaux que l'utilisateur
// déplie sont relevés. La vue montre le document tel qu'il était quand on le lui a donné ; le
// programme ne modifie jamais un document lu, il en lit un autre.

#include <QAbstractItemModel>
#include <QDomDocument>
#include <vector>

class QTreeView;

class ModeleArbreXML : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit ModeleArbreXML(QObject *parent = nullptr);
    ~ModeleArbreXML() override;

    // Un nœud de vue pour chaque nœud situé sous `noeud` (lui-même exclu), à la place de ceux
    // d'avant ; tous repliés. Le document de `noeud` est tenu jusqu'au prochain appel ; un nœud
    // nul ne montre plus rien.
    void montrer(const QDomNode &noeud);

    QModelIndex index(int ligne, int colonne, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &enfant) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    // Un nœud du document déjà relevé. Les enfants d'un nœud sont relevés tous ensemble, à la
    // première demande, et rangés à la suite dans m_noeuds : premierEnfant, premierEnfant + 1...
    struct Noeud
    {
        QDomNode dom;
        int parent;
        int rang;
        int premierEnfant = -1;
        int nombreEnfants = -1; // -1 : pas encore relevés
    };

    // Le nœud d'un index ; 0, le nœud montré lui-même, pour l'index nul.
    static int numero(const QModelIndex &index);
    // Relève au besoin les enfants du nœud `numero`.
    const Noeud &avecEnfants(int numero) const;
    // Lâche les poignées de nœuds, puis le document : sa destruction, s'il n'est plus tenu
    // ailleurs, se fait sur un fil de fond et ne retient pas la fenêtre.
    void lacherDocument();

    // Relevés à la demande par des méthodes constantes : le modèle ne change pas pour autant.
    mutable std::vector<Noeud> m_noeuds;
    QDomDocument m_document;
};

// L'apparence de la vue, et son modèle : fond blanc, police de la fenêtre en gras (8 points),
// retrait de 19, sans en-tête.
void preparerVueArbreXML(QTreeView *vue);

// La vue (préparée) montre un nœud pour chaque nœud situé sous `noeud`, à la place de ceux
// d'avant ; rien pour un nœud nul.
void construireArbreXML(QTreeView *vue, const QDomNode &noeud);
