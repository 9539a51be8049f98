// Lecture du fichier de base dans fluxBase et rubriquesBase.

#include "base/TdmRSS.h"

#include "base/CodageBase.h"

namespace {

// La valeur d'un élément : le texte de son unique enfant quand c'est un nœud texte,
// vide dans tous les autres cas (élément vide, CDATA, commentaire, sous-éléments).
QString valeurDe(const QDomNode &element)
{
    if (!NoeudXML::estElementTexte(element))
        return QString();
    return CodageBase::decoder(element.firstChild().nodeValue());
}

bool estNomme(const QDomNode &noeud, QLatin1String nom) { return noeud.nodeName() == nom; }

} // namespace

void TdmRSS::chargerBase(const TexteEtroit &chemin) { chargerBase(depuisEtroit(chemin)); }

void TdmRSS::chargerBase(const QString &chemin)
{
    XMLDocWriter.setActive(false);
    XMLDocWriter.setNomFichier(chemin);
    XMLDocWriter.setActive(true);

    // La racine (son nom ne compte pas), puis son premier enfant, quel que soit son nom.
    const QDomNode racine = NoeudXML::enfant(XMLDocWriter.elementDocument(), 0);
    for (QDomNode enfant = racine.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (estNomme(enfant, QLatin1String("listeFlux")))
            lireListeFlux(enfant);
        else if (estNomme(enfant, QLatin1String("listeRubriques")))
            lireListeRubriques(enfant);
    }
}

void TdmRSS::lireListeFlux(const QDomNode &listeFlux)
{
    for (QDomNode noeudFlux = listeFlux.firstChild(); !noeudFlux.isNull(); noeudFlux = noeudFlux.nextSibling()) {
        if (!estNomme(noeudFlux, QLatin1String("flux")))
            continue;
        auto flux = std::make_shared<TFlux>();
        QString titre, lien, description, copyright, datePub, langue, auteur, urlrss;
        for (QDomNode enfant = noeudFlux.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
            const QString nom = enfant.nodeName();
            if (nom == u"titre")
                titre = valeurDe(enfant);
            else if (nom == u"lien")
                lien = valeurDe(enfant);
            else if (nom == u"description")
                description = valeurDe(enfant);
            else if (nom == u"copyright")
                copyright = valeurDe(enfant);
            else if (nom == u"datePub")
                datePub = valeurDe(enfant);
            else if (nom == u"langue")
                langue = valeurDe(enfant);
            else if (nom == u"auteur")
                auteur = valeurDe(enfant);
            else if (nom == u"urlrss")
                urlrss = valeurDe(enfant);
            else if (nom == u"image")
                lireImage(enfant, *flux);
            else if (nom == u"infos")
                lireInfos(enfant, *flux);
            else if (nom == u"rubriquesAssociees")
                lireRubriquesAssociees(enfant, *flux);
        }
        flux->setDonnees(titre, lien, description, copyright, datePub, langue, auteur);
        flux->setUrlRss(urlrss);
        fluxBase.append(std::move(flux));
    }
}

void TdmRSS::lireImage(const QDomNode &image, TFlux &flux)
{
    QString titre, lien, url, description, hauteur, largeur;
    for (QDomNode enfant = image.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const QString nom = enfant.nodeName();
        if (nom == u"titre")
            titre = valeurDe(enfant);
        else if (nom == u"lien")
            lien = valeurDe(enfant);
        else if (nom == u"url")
            url = valeurDe(enfant);
        else if (nom == u"description")
            description = valeurDe(enfant);
        else if (nom == u"hauteur")
            hauteur = valeurDe(enfant);
        else if (nom == u"largeur")
            largeur = valeurDe(enfant);
    }
    auto nouvelle = std::make_unique<TImageFlux>();
    // setDonnees vide les trois autres champs : ils viennent après.
    nouvelle->setDonnees(titre, lien, url);
    nouvelle->setDescription(description);
    nouvelle->setHauteur(hauteur);
    nouvelle->setLargeur(largeur);
    flux.setImage(std::move(nouvelle));
}

void TdmRSS::lireInfos(const QDomNode &infos, TFlux &flux)
{
    for (QDomNode noeudInfo = infos.firstChild(); !noeudInfo.isNull(); noeudInfo = noeudInfo.nextSibling()) {
        if (!estNomme(noeudInfo, QLatin1String("info")))
            continue;
        QString titre, lien, description, datePub;
        for (QDomNode enfant = noeudInfo.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
            const QString nom = enfant.nodeName();
            if (nom == u"titre")
                titre = valeurDe(enfant);
            else if (nom == u"lien")
                lien = valeurDe(enfant);
            else if (nom == u"description")
                description = valeurDe(enfant);
            else if (nom == u"datePub")
                datePub = valeurDe(enfant);
        }
        auto info = std::make_shared<TInfo>();
        info->setDonnees(titre, lien, description, datePub);
        flux.infos.append(std::move(info));
    }
}

void TdmRSS::lireRubriquesAssociees(const QDomNode &rubriques, TFlux &flux)
{
    for (QDomNode rubrique = rubriques.firstChild(); !rubrique.isNull(); rubrique = rubrique.nextSibling()) {
        if (!estNomme(rubrique, QLatin1String("rubrique")))
            continue;
        QString nom;
        for (QDomNode enfant = rubrique.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
            if (estNomme(enfant, QLatin1String("nom")))
                nom = valeurDe(enfant);
        }
        flux.rubriquesAssociees.append(versEtroit(nom));
    }
}

void TdmRSS::lireListeRubriques(const QDomNode &listeRubriques)
{
    for (QDomNode noeud = listeRubriques.firstChild(); !noeud.isNull(); noeud = noeud.nextSibling()) {
        if (!estNomme(noeud, QLatin1String("rubrique")))
            continue;
        QString nom, couleur, icone;
        for (QDomNode enfant = noeud.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
            const QString nomEnfant = enfant.nodeName();
            if (nomEnfant == u"nom")
                nom = valeurDe(enfant);
            else if (nomEnfant == u"couleur")
                couleur = valeurDe(enfant);
            else if (nomEnfant == u"icone")
                icone = valeurDe(enfant);
        }
        auto rubrique = std::make_shared<TRubrique>(nom);
        rubrique->setCouleur(versEtroit(couleur));
        rubrique->setIcone(icone);
        rubriquesBase.append(std::move(rubrique));
    }
}
