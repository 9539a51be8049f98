// Les opérations sur la base en mémoire : recherche d'un flux, rubriques d'un flux,
// informations stockées, création et destruction des rubriques.

#include "base/TdmRSS.h"

PFlux TdmRSS::chercherFluxParUrl(const QString &adresse) const
{
    for (const PFlux &flux : fluxBase) {
        if (flux->getUrlRss() == adresse)
            return flux;
    }
    return nullptr;
}

void TdmRSS::ajouterRubriqueAuFlux(const QString &nom, TFlux &flux)
{
    flux.rubriquesAssociees.append(versEtroit(nom));
}

int TdmRSS::indexRubriqueDuFlux(const QString &nom, const TFlux &flux) const
{
    return static_cast<int>(flux.rubriquesAssociees.indexOf(versEtroit(nom)));
}

void TdmRSS::retirerRubriqueDuFlux(const QString &nom, TFlux &flux)
{
    const int position = indexRubriqueDuFlux(nom, flux);
    if (position >= 0)
        flux.rubriquesAssociees.removeAt(position);
}

bool TdmRSS::infoExiste(const TInfo &info, const TFlux &flux) const
{
    for (const PInfo &stockee : flux.infos) {
        if (*stockee == info)
            return true;
    }
    return false;
}

bool TdmRSS::ajouterInfo(const PInfo &info, TFlux &flux)
{
    if (!infoExiste(*info, flux)) {
        flux.infos.append(info);
        return true;
    }
    // L'information égale déjà stockée garde sa place : l'« écraser » ne change rien.
    return m_dialogues.confirmer(TypeBoite::Avertissement,
                                 u"L'information '" + info->getTitre()
                                     + u"' existe déjà.\n Voulez-vous l'écraser ?\n");
}

bool TdmRSS::supprimerInfo(const TInfo *info, TFlux &flux)
{
    for (qsizetype i = 0; i < flux.infos.size(); ++i) {
        if (flux.infos.at(i).get() == info) {
            flux.infos.removeAt(i);
            return true;
        }
    }
    return false;
}

PRubrique TdmRSS::creerRubrique(const TexteEtroit &nom)
{
    const QString nomLarge = depuisEtroit(nom);
    if (nom.isEmpty()) {
        m_dialogues.informer(TypeBoite::Information, u"Impossible de créer le groupe '" + nomLarge + u"'.");
        return nullptr;
    }
    auto rubrique = std::make_shared<TRubrique>(nomLarge);
    for (const PRubrique &existante : std::as_const(rubriquesBase)) {
        if (existante->getNom() == rubrique->getNom()) {
            m_dialogues.informer(TypeBoite::Information, u"Impossible de créer le groupe '" + nomLarge
                                                             + u"'. \nCe groupe existe déjà !");
            return nullptr;
        }
    }
    rubriquesBase.append(rubrique);
    return rubrique;
}

void TdmRSS::detruireRubrique(const QString &nom)
{
    if (!m_dialogues.confirmer(TypeBoite::Avertissement,
                               u"Etes-vous sûr de vouloir supprimer la rubrique '" + nom
                                   + u"' et tout ce qu'elle contient ?\n"))
        return;
    rubriquesBase.removeIf([&nom](const PRubrique &rubrique) { return rubrique->getNom() == nom; });
}
