#include "base/Recherche.h"

#include "base/TdmRSS.h"

TexteRecherche::TexteRecherche(const QString &texte)
    : m_etroit(versEtroit(texte))
{
    // « ? » tient lieu de tout caractère que Windows-1252 ne sait pas écrire : seul un texte
    // sans « ? » se cherche directement dans le champ large.
    m_direct = !m_etroit.contains('?');
    if (m_direct)
        m_large = depuisEtroit(m_etroit);
}

bool TexteRecherche::trouveDans(const QString &champ) const
{
    if (m_etroit.isEmpty() || champ.size() < m_etroit.size())
        return false;
    if (m_direct)
        return champ.contains(m_large, Qt::CaseSensitive);
    return versEtroit(champ).contains(m_etroit);
}

bool TdmRSS::titreContient(const QString &texte, const TInfo &info) const
{
    return titreContient(TexteRecherche(texte), info);
}

bool TdmRSS::lienContient(const QString &texte, const TInfo &info) const
{
    return lienContient(TexteRecherche(texte), info);
}

bool TdmRSS::descriptionContient(const QString &texte, const TInfo &info) const
{
    return descriptionContient(TexteRecherche(texte), info);
}

bool TdmRSS::titreContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(info.getTitre());
}

bool TdmRSS::lienContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(info.getLien());
}

bool TdmRSS::descriptionContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(info.getDescription());
}

bool TdmRSS::fluxTrouve(const TexteRecherche &texte, const TFlux &flux, ChampsRecherche champs) const
{
    if (texte.estVide())
        return false;
    for (const PInfo &info : flux.infos) {
        if ((champs.titre && titreContient(texte, *info)) || (champs.lien && lienContient(texte, *info))
            || (champs.description && descriptionContient(texte, *info)))
            return true;
    }
    return false;
}
