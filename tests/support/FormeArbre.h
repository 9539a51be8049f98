#pragma once
// La forme d'une vue d'arbre, lue par son modèle : un nœud par ligne, dans l'ordre du document,
// retrait, libellé, puis ce que `marque` dit du nœud.

#include <QAbstractItemModel>
#include <QStringList>
#include <functional>

inline QStringList formeArbre(const QAbstractItemModel &modele, const std::function<QString(const QModelIndex &)> &marque)
{
    QStringList lignes;
    QList<std::pair<QModelIndex, int>> pile;
    for (int i = modele.rowCount() - 1; i >= 0; --i)
        pile.append({modele.index(i, 0), 0});
    while (!pile.isEmpty()) {
        const auto [noeud, profondeur] = pile.takeLast();
        lignes.append(QString(profondeur, u' ') + noeud.data().toString() + u'|' + marque(noeud));
        for (int i = modele.rowCount(noeud) - 1; i >= 0; --i)
            pile.append({modele.index(i, 0, noeud), profondeur + 1});
    }
    return lignes;
}
