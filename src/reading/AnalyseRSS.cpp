#include "reading/AnalyseRSS.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"
#include "reading/AnalyseAtom.h"
#include "reading/AdressesHtml.h"
#include "reading/DocumentXML.h"
#include "reading/ResolutionAdresse.h"

namespace {

// Une adresse du document : sans blancs autour, résolue contre l'adresse d'origine s'il en a une.
QString adresseResolue(const QString &ecrite, const ContexteLecture &contexte)
{
    return adresseDuDocument(ecrite, contexte.adresseSource);
}

// Une description : les adresses de son HTML résolues contre l'adresse d'origine.
HtmlResolu descriptionResolue(const QString &html, ContexteLecture &contexte)
{
    return contexte.adresseSource ? resoudreAdressesHtml(html, *contexte.adresseSource, contexte.budgetHtml)
                                  : HtmlResolu{html, false, 0};
}

} // namespace

void analyserCanal(const QDomNode &element, TFlux &flux, ContexteLecture &contexte)
{
    QString titre, lien, description, copyright, datePub, langue, auteur;

    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const NomElement nom = contexte.noms.nom(enfant);
        if (nom.est(Vocabulaire::Rss, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("copyright")) || nom.est(Vocabulaire::DublinCore, QLatin1String("rights")))
            copyright = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("pubDate")) || nom.est(Vocabulaire::DublinCore, QLatin1String("date")))
            datePub = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("language")))
            langue = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("webMaster")))
            auteur = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("image")))
            analyserImage(enfant, flux, contexte);
    }

    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (contexte.noms.est(enfant, Vocabulaire::Rss, QLatin1String("item")))
            analyserInfo(enfant, flux, contexte);
    }

    flux.setDonnees(titre, adresseResolue(lien, contexte), descriptionResolue(description, contexte).html, copyright, datePub, langue,
                    auteur);
}

void analyserInfo(const QDomNode &element, TFlux &flux, ContexteLecture &contexte)
{
    auto info = std::make_shared<TInfo>();
    QString titre, lien, description, datePub, contenu, guid;
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const NomElement nom = contexte.noms.nom(enfant);
        if (nom.est(Vocabulaire::Rss, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("pubDate")) || nom.est(Vocabulaire::DublinCore, QLatin1String("date")))
            datePub = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::ModuleContenu, QLatin1String("encoded")))
            contenu = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("guid")))
            guid = NoeudXML::texteChamp(enfant);
    }
    // Le texte complet (module content) tient lieu de description absente ou vide.
    if (description.trimmed().isEmpty() && !contenu.isEmpty())
        description = contenu;
    const HtmlResolu resolue = descriptionResolue(description, contexte);
    info->setDonnees(titre, adresseResolue(lien, contexte), resolue.html, datePub);
    // La lecture qui a déjà lu la description en HTML dispense la page de la relire.
    if (resolue.equilibre)
        info->setDescriptionDePage({resolue.html, resolue.noeuds});
    info->setGuid(guid);
    flux.infos.append(std::move(info));
}

void analyserImage(const QDomNode &element, TFlux &flux, ContexteLecture &contexte)
{
    QString titre, lien, url, description;
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const NomElement nom = contexte.noms.nom(enfant);
        if (nom.est(Vocabulaire::Rss, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("url")))
            url = NoeudXML::texteChamp(enfant);
        else if (nom.est(Vocabulaire::Rss, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
    }
    url = adresseResolue(url, contexte);
    if (url.isEmpty())
        return;
    auto image = std::make_unique<TImageFlux>();
    image->setDonnees(titre, adresseResolue(lien, contexte), url);
    image->setDescription(description);
    flux.setImage(std::move(image));
}

QString messageEchecChargement()
{
    return QStringLiteral("Une erreur est survenue lors de l'analyse du fichier. \n"
                          "Cette erreur est certainement dûe à un format de fichier non reconnu.");
}

bool TdmRSS::chargerDocumentXML(const QString &nom)
{
    // Rien ne tient plus de nœud du document précédent : sa destruction se fait à côté.
    XMLDoc.abandonnerEnFond();
    XMLDoc.setNomFichier(nom);
    try {
        XMLDoc.setActive(true);
        return true;
    } catch (const TelechargementAnnule &) {
        // Arrêté par l'utilisateur : pas de boîte.
        XMLDoc.setActive(false);
        return false;
    } catch (const ErreurDocumentRefuse &e) {
        // Un document refusé par le programme : la boîte dit aussi pourquoi (budget, encodage).
        XMLDoc.setActive(false);
        m_dialogues.informer(TypeBoite::Erreur, messageEchecChargement() + u'\n' + e.message());
        return false;
    } catch (...) {
        // Quelle que soit l'erreur : fichier illisible, adresse injoignable, XML mal formé.
        XMLDoc.setActive(false);
        m_dialogues.informer(TypeBoite::Erreur, messageEchecChargement());
        return false;
    }
}

PFlux TdmRSS::analyserFlux(const TDocumentXML &document) const
{
    return analyserFlux(document, adresseSource(document.nomFichier()));
}

PFlux TdmRSS::analyserFlux(const TDocumentXML &document, const std::optional<QString> &adresseOrigine)
{
    auto flux = std::make_shared<TFlux>();
    const QDomElement racine = document.elementDocument();
    ContexteLecture contexte{NomsElements(racine), adresseOrigine, {}};
    // Le seul aiguillage : une racine « feed » est lue par le lecteur Atom, toute autre en RSS.
    if (contexte.noms.atom()) {
        analyserAtom(racine, *flux, contexte);
    } else {
        const QDomNode premierEnfant = NoeudXML::enfant(racine, 0);
        analyserCanal(racine, *flux, contexte);
        analyserCanal(premierEnfant, *flux, contexte);
    }
    flux->setUrlRss(document.nomFichier());
    return flux;
}
