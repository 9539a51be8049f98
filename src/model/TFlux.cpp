#include "model/TFlux.h"

TFlux::TFlux()
    : m_image(std::make_unique<TImageFlux>())
{
}

void TFlux::setDonnees(const QString &titre, const QString &lien, const QString &description,
                       const QString &copyright, const QString &datePub, const QString &langue,
                       const QString &auteur)
{
    m_titre = titre;
    m_lien = lien;
    m_description = description;
    m_copyright = copyright;
    m_datePub = datePub;
    m_langue = langue;
    m_auteur = auteur;
    m_titreEnTexte = false;
    m_copyrightEnTexte = false;
}

void TFlux::setImage(std::unique_ptr<TImageFlux> image)
{
    if (image)
        m_image = std::move(image);
}
