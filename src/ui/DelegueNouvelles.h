#pragma once
// Le dessin des lignes de la liste des sources et des nœuds de l'arbre des favoris : à côté du
// texte de la ligne, qui reste tel que les commandes le lisent (l'adresse d'une source, le titre
// d'un favori), le nombre d'informations nouvelles entre parenthèses, la ligne en gras tant qu'il
// dépasse zéro ; devant, la marque d'une dernière actualisation en échec, dont la bulle dit la
// raison.

#include <QStyledItemDelegate>

class TDelegueNouvelles : public QStyledItemDelegate
{
public:
    // Ce que la ligne porte : le nombre de nouvelles (entier), le message d'échec (texte).
    static constexpr int RoleNouvelles = Qt::UserRole + 1;
    static constexpr int RoleEchec = Qt::UserRole + 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    // La bulle d'une ligne en échec.
    static QString bulleEchec(const QString &message);

    bool helpEvent(QHelpEvent *evenement, QAbstractItemView *vue, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    // Ce qui est dessiné pour la ligne : texte, police, marque.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
