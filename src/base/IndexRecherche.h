#pragma once
// Les formes étroites des informations stockées de chaque flux, mises bout à bout champ par
// champ : une recherche parcourt trois blocs contigus par flux, sans rien convertir, au lieu de
// trois textes épars par information. Elles sont faites à la première demande (ou d'avance, par
// tranches, après la lecture de la base) et refaites dès que les informations du flux ne sont
// plus les mêmes (ajoutée, retirée, déplacée ou réécrite : chaque information a sa version).

#include "base/Recherche.h"
#include "model/TFlux.h"

#include <QHash>
#include <QList>

class IndexRecherche
{
public:
    // Vrai dès qu'une information stockée du flux contient le texte dans un champ choisi.
    bool fluxTrouve(const TexteRecherche &texte, const TFlux &flux, ChampsRecherche champs);
    // Fait d'avance les formes du flux si elles manquent ou ne valent plus.
    void preparer(const TFlux &flux) { formes(flux); }
    // Oublie les formes des flux qui ne sont plus dans la liste.
    void garderSeulement(const QList<PFlux> &flux);
    qsizetype taille() const { return m_formes.size(); }

private:
    struct FormesFlux
    {
        QList<quint64> versions;
        ChampsBoutABout titres;
        ChampsBoutABout liens;
        ChampsBoutABout descriptions;
    };
    const FormesFlux &formes(const TFlux &flux);

    QHash<const TFlux *, FormesFlux> m_formes;
};
