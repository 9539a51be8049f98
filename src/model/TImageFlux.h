#pragma once

#include <QString>

// L'image qu'un flux affiche en tête de sa page.
class TImageFlux
{
public:
    TImageFlux() = default;

    // Affecte titre, lien et url, et vide description, hauteur et largeur.
    void setDonnees(const QString &titre, const QString &lien, const QString &url);
    void setDescription(const QString &description) { m_description = description; }
    void setHauteur(const QString &hauteur) { m_hauteur = hauteur; }
    void setLargeur(const QString &largeur) { m_largeur = largeur; }

    QString getTitre() const { return m_titre; }
    QString getLien() const { return m_lien; }
    QString getUrl() const { return m_url; }
    QString getDescription() const { return m_description; }
    QString getHauteur() const { return m_hauteur; }
    QString getLargeur() const { return m_largeur; }

private:
    QString m_titre;
    QString m_lien;
    QString m_url;
    QString m_description;
    QString m_hauteur;
    QString m_largeur;
};
