#pragma once

#include "model/TFlux.h"

#include <QObject>
#include <QString>
#include <optional>

// La fiche attachée à chaque onglet : le fichier XML qu'il montre, un texte facultatif
// et le flux de la base qui se tient derrière lui.
//  - fichier local : chemin, texte (le titre du flux lu), pas de flux ;
//  - source : chemin de la copie locale, pas de texte, le flux de la base ;
//  - favori ou résultat de recherche : chemin, texte (le fichier de page), le flux de la base.
// Quand son flux quitte la base, l'onglet devient un onglet de fichier : la fiche perd son flux
// et garde son titre comme texte (« Supprimer RSS »).
class TObjetString : public QObject
{
    Q_OBJECT
public:
    TObjetString(const QString &chemin, const QString &texte);
    TObjetString(const QString &chemin, PFlux flux);
    TObjetString(const QString &chemin, const QString &texte, PFlux flux);

    QString getChemin() const { return m_chemin; }
    std::optional<QString> getTexte() const { return m_texte; }
    PFlux getFlux() const { return m_flux; }
    void setFlux(PFlux flux) { m_flux = std::move(flux); }
    void setTexte(const QString &texte) { m_texte = texte; }

private:
    QString m_chemin;
    std::optional<QString> m_texte;
    PFlux m_flux;
};
