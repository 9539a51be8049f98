#include "model/TImageFlux.h"

void TImageFlux::setDonnees(const QString &titre, const QString &lien, const QString &url)
{
    m_titre = titre;
    m_lien = lien;
    m_url = url;
    m_description.clear();
    m_hauteur.clear();
    m_largeur.clear();
}
