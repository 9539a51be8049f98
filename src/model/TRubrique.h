#pragma once

#include "commun/TexteEtroit.h"

#include <QString>
#include <memory>

// Une rubrique de favoris, identifiée par son nom. Couleur et icône sont des textes opaques
// que le fichier de base transporte ; rien d'autre ne les lit.
class TRubrique
{
public:
    explicit TRubrique(const QString &nom) : m_nom(nom) {}

    QString getNom() const { return m_nom; }
    TexteEtroit getCouleur() const { return m_couleur; }
    QString getIcone() const { return m_icone; }
    void setCouleur(const TexteEtroit &couleur) { m_couleur = couleur; }
    void setIcone(const QString &icone) { m_icone = icone; }

private:
    QString m_nom;
    TexteEtroit m_couleur;
    QString m_icone;
};

using PRubrique = std::shared_ptr<TRubrique>;
