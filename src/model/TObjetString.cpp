#include "model/TObjetString.h"

TObjetString::TObjetString(const QString &chemin, const QString &texte)
    : m_chemin(chemin), m_texte(texte)
{
}

TObjetString::TObjetString(const QString &chemin, PFlux flux)
    : m_chemin(chemin)
{
    setFlux(std::move(flux));
}

TObjetString::TObjetString(const QString &chemin, const QString &texte, PFlux flux)
    : m_chemin(chemin), m_texte(texte)
{
    setFlux(std::move(flux));
}
