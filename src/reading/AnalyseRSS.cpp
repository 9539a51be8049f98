#include "reading/AnalyseRSS.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"
#include "reading/AnalyseAtom.h"
#include "reading/DocumentXML.h"

namespace {

bool estNomme(const QString &nom, QLatin1String attendu) { return nom == attendu; }

} // namespace

void analyserCanal(const QDomNode &element, TFlux &flux)
{
    QString titre, lien, description, copyright, datePub, langue, auteur;

    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const QString nom = enfant.nodeName();
        if (estNomme(nom, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("copyright")) || estNomme(nom, QLatin1String("dc:rights")))
            copyright = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("pubDate")) || estNomme(nom, QLatin1String("dc:date")))
            datePub = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("language")))
            langue = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("webMaster")))
            auteur = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("image")))
            analyserImage(enfant, flux);
    }

    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (estNomme(enfant.nodeName(), QLatin1String("item")))
            analyserInfo(enfant, flux);
    }

    flux.setDonnees(titre, lien, description, copyright, datePub, langue, auteur);
}

void analyserInfo(const QDomNode &element, TFlux &flux)
{
    auto info = std::make_shared<TInfo>();
    QString titre, lien, description, datePub, contenu, guid;
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const QString nom = enfant.nodeName();
        if (estNomme(nom, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("pubDate")) || estNomme(nom, QLatin1String("dc:date")))
            datePub = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("content:encoded")))
            contenu = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("guid")))
            guid = NoeudXML::texteChamp(enfant);
    }
    // Le texte complet (module content) tient lieu de description absente ou vide.
    if (description.trimmed().isEmpty() && !contenu.isEmpty())
        description = contenu;
    info->setDonnees(titre, lien, description, datePub);
    info->setGuid(guid);
    flux.infos.append(std::move(info));
}

void analyserImage(const QDomNode &element, TFlux &flux)
{
    QString titre, lien, url, description;
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const QString nom = enfant.nodeName();
        if (estNomme(nom, QLatin1String("title")))
            titre = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("link")))
            lien = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("url")))
            url = NoeudXML::texteChamp(enfant);
        else if (estNomme(nom, QLatin1String("description")))
            description = NoeudXML::texteChamp(enfant);
    }
    if (url.isEmpty())
        return;
    auto image = std::make_unique<TImageFlux>();
    image->setDonnees(titre, lien, url);
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

PFlux TdmRSS::analyserFlux(const TDocumentXML &document)
{
    auto flux = std::make_shared<TFlux>();
    const QDomElement racine = document.elementDocument();
    // Le seul aiguillage : une racine « feed » est lue par le lecteur Atom, toute autre en RSS.
    if (estRacineAtom(racine)) {
        analyserAtom(racine, *flux);
    } else {
        const QDomNode premierEnfant = NoeudXML::enfant(racine, 0);
        analyserCanal(racine, *flux);
        analyserCanal(premierEnfant, *flux);
    }
    flux->setUrlRss(document.nomFichier());
    return flux;
}
