// Lecture du fichier de base dans fluxBase et rubriquesBase.

#include "base/TdmRSS.h"

#include "base/CodageBase.h"
#include "commun/Erreurs.h"

#include <QScopeGuard>

#include <algorithm>
#include <functional>

namespace {

// La valeur d'un élément : ses textes et sections CDATA bout à bout (commentaires sautés),
// vide quand il contient un élément.
QString valeurDe(const QDomNode &element) { return CodageBase::decoder(NoeudXML::texteChamp(element)); }

bool estNomme(const QDomNode &noeud, QLatin1String nom) { return noeud.nodeName() == nom; }

// Un enfant attendu d'un élément et la valeur qu'il remplit.
struct Champ
{
    QLatin1String nom;
    QString *valeur;
};

// Lit les enfants d'un élément dans l'ordre du document : un enfant qui porte le nom d'un champ
// lui donne sa valeur (un doublon plus tardif l'emporte) ; les autres vont à « autre », qui
// peut ne rien en faire.
void lireChamps(const QDomNode &element, std::initializer_list<Champ> champs,
                const std::function<void(const QString &nom, const QDomNode &enfant)> &autre = {})
{
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const QString nom = enfant.nodeName();
        const Champ *trouve = std::find_if(champs.begin(), champs.end(), [&nom](const Champ &c) { return nom == c.nom; });
        if (trouve != champs.end())
            *trouve->valeur = valeurDe(enfant);
        else if (autre)
            autre(nom, enfant);
    }
}

// Les enfants d'un élément qui portent un nom donné, dans l'ordre du document.
void pourChaqueEnfantNomme(const QDomNode &element, QLatin1String nom, const std::function<void(const QDomNode &)> &traiter)
{
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (estNomme(enfant, nom))
            traiter(enfant);
    }
}

} // namespace

void TdmRSS::chargerBase(const TexteEtroit &chemin) { chargerBase(depuisEtroit(chemin)); }

void TdmRSS::chargerBase(const QString &chemin)
{
    XMLDocWriter.setActive(false);
    XMLDocWriter.setNomFichier(chemin);
    XMLDocWriter.setActive(true);
    // Une fois les listes remplies (ou la lecture arrêtée par une erreur), l'arbre lu ne sert
    // plus : il est détruit à côté, sans attendre la prochaine sauvegarde.
    const auto liberer = qScopeGuard([this] { XMLDocWriter.abandonnerEnFond(); });

    // La racine (son nom ne compte pas), puis son premier enfant élément, quel que soit son nom :
    // un commentaire ou une instruction de traitement placés avant lui sont sautés. Une racine
    // sans enfant élément est une base illisible, comme une racine sans enfant du tout.
    const QDomElement racine = XMLDocWriter.elementDocument().firstChildElement();
    if (racine.isNull())
        throw ErreurIndexXML(QStringLiteral("La racine de la base n'a aucun élément enfant."));
    for (QDomNode enfant = racine.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (estNomme(enfant, QLatin1String("listeFlux")))
            lireListeFlux(enfant);
        else if (estNomme(enfant, QLatin1String("listeRubriques")))
            lireListeRubriques(enfant);
    }
}

void TdmRSS::lireListeFlux(const QDomNode &listeFlux)
{
    pourChaqueEnfantNomme(listeFlux, QLatin1String("flux"), [this](const QDomNode &noeudFlux) {
        auto flux = std::make_shared<TFlux>();
        QString titre, lien, description, copyright, datePub, langue, auteur, urlrss, titreEnTexte, copyrightEnTexte;
        lireChamps(noeudFlux,
                   {{QLatin1String("titre"), &titre},
                    {QLatin1String("titreEnTexte"), &titreEnTexte},
                    {QLatin1String("copyrightEnTexte"), &copyrightEnTexte},
                    {QLatin1String("lien"), &lien},
                    {QLatin1String("description"), &description},
                    {QLatin1String("copyright"), &copyright},
                    {QLatin1String("datePub"), &datePub},
                    {QLatin1String("langue"), &langue},
                    {QLatin1String("auteur"), &auteur},
                    {QLatin1String("urlrss"), &urlrss}},
                   [this, &flux](const QString &nom, const QDomNode &enfant) {
                       if (nom == u"image")
                           lireImage(enfant, *flux);
                       else if (nom == u"infos")
                           lireInfos(enfant, *flux);
                       else if (nom == u"rubriquesAssociees")
                           lireRubriquesAssociees(enfant, *flux);
                   });
        flux->setDonnees(titre, lien, description, copyright, datePub, langue, auteur);
        flux->setTitreEnTexte(titreEnTexte == CodageBase::valeurEnTexte());
        flux->setCopyrightEnTexte(copyrightEnTexte == CodageBase::valeurEnTexte());
        flux->setUrlRss(urlrss);
        fluxBase.append(std::move(flux));
    });
}

void TdmRSS::lireImage(const QDomNode &image, TFlux &flux)
{
    QString titre, lien, url, description, hauteur, largeur;
    lireChamps(image, {{QLatin1String("titre"), &titre},
                       {QLatin1String("lien"), &lien},
                       {QLatin1String("url"), &url},
                       {QLatin1String("description"), &description},
                       {QLatin1String("hauteur"), &hauteur},
                       {QLatin1String("largeur"), &largeur}});
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
    pourChaqueEnfantNomme(infos, QLatin1String("info"), [&flux](const QDomNode &noeudInfo) {
        QString titre, lien, description, datePub, titreEnTexte;
        lireChamps(noeudInfo, {{QLatin1String("titre"), &titre},
                               {QLatin1String("titreEnTexte"), &titreEnTexte},
                               {QLatin1String("lien"), &lien},
                               {QLatin1String("description"), &description},
                               {QLatin1String("datePub"), &datePub}});
        auto info = std::make_shared<TInfo>();
        info->setDonnees(titre, lien, description, datePub);
        info->setTitreEnTexte(titreEnTexte == CodageBase::valeurEnTexte());
        flux.infos.append(std::move(info));
    });
}

void TdmRSS::lireRubriquesAssociees(const QDomNode &rubriques, TFlux &flux)
{
    pourChaqueEnfantNomme(rubriques, QLatin1String("rubrique"), [&flux](const QDomNode &rubrique) {
        QString nom;
        lireChamps(rubrique, {{QLatin1String("nom"), &nom}});
        flux.rubriquesAssociees.append(versEtroit(nom));
    });
}

void TdmRSS::lireListeRubriques(const QDomNode &listeRubriques)
{
    pourChaqueEnfantNomme(listeRubriques, QLatin1String("rubrique"), [this](const QDomNode &noeud) {
        QString nom, couleur, icone;
        lireChamps(noeud, {{QLatin1String("nom"), &nom}, {QLatin1String("couleur"), &couleur}, {QLatin1String("icone"), &icone}});
        auto rubrique = std::make_shared<TRubrique>(nom);
        rubrique->setCouleur(versEtroit(couleur));
        rubrique->setIcone(icone);
        rubriquesBase.append(std::move(rubrique));
    });
}
