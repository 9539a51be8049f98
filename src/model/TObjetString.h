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
// La fiche garde le flux en vie tant que l'onglet existe, même s'il a quitté la base.
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

private:
    QString m_chemin;
    std::optional<QString> m_texte;
    PFlux m_flux;
};
