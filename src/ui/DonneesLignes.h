#pragma once
// Ce que portent les lignes des listes et les nœuds de l'arbre des favoris : l'information
// (TInfo) d'une ligne de listeInfosFlux ou de listeInfosFluxCharge, le flux de la base d'un
// favori ou d'une ligne de listeRecherche. La ligne partage l'objet : il vit au moins aussi
// longtemps qu'elle.

#include "model/TFlux.h"
#include "model/TInfo.h"

#include <QListWidgetItem>
#include <QTreeWidgetItem>
#include <QVariant>

Q_DECLARE_METATYPE(PInfo)
Q_DECLARE_METATYPE(PFlux)

namespace DonneesLignes {

inline void attacherInfo(QListWidgetItem *ligne, const PInfo &info)
{
    ligne->setData(Qt::UserRole, QVariant::fromValue(info));
}

// L'information attachée à la ligne, ou nulle.
inline PInfo infoDeLigne(const QListWidgetItem *ligne)
{
    return ligne ? ligne->data(Qt::UserRole).value<PInfo>() : PInfo();
}

inline void attacherFlux(QTreeWidgetItem *noeud, const PFlux &flux)
{
    noeud->setData(0, Qt::UserRole, QVariant::fromValue(flux));
}

// Le flux attaché au nœud (un favori), ou nul (une rubrique).
inline PFlux fluxDuNoeud(const QTreeWidgetItem *noeud)
{
    return noeud ? noeud->data(0, Qt::UserRole).value<PFlux>() : PFlux();
}

// Le flux de la base d'une ligne de listeRecherche.
inline void attacherFlux(QListWidgetItem *ligne, const PFlux &flux)
{
    ligne->setData(Qt::UserRole, QVariant::fromValue(flux));
}

// Le flux attaché à la ligne, ou nul.
inline PFlux fluxDeLigne(const QListWidgetItem *ligne)
{
    return ligne ? ligne->data(Qt::UserRole).value<PFlux>() : PFlux();
}

} // namespace DonneesLignes
