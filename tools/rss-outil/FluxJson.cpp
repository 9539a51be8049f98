#include "FluxJson.h"

// Les clés de chaque objet dans l'ordre croissant, celui de QJsonObject.
void ecrireFluxJson(EcritureJson &json, const TFlux &flux)
{
    const TImageFlux &image = flux.getImage();
    json.ouvrirObjet();
    json.membre("auteur", flux.getAuteur());
    json.membre("copyright", flux.getCopyright());
    json.membre("datePub", flux.getDatePub());
    json.membre("description", flux.getDescription());
    json.cle("image");
    json.ouvrirObjet();
    json.membre("description", image.getDescription());
    json.membre("hauteur", image.getHauteur());
    json.membre("largeur", image.getLargeur());
    json.membre("lien", image.getLien());
    json.membre("titre", image.getTitre());
    json.membre("url", image.getUrl());
    json.fermerObjet();
    json.cle("infos");
    json.ouvrirTableau();
    for (const PInfo &info : flux.infos) {
        json.ouvrirObjet();
        json.membre("datePub", info->getDatePub());
        json.membre("description", info->getDescription());
        json.membre("lien", info->getLien());
        json.membre("titre", info->getTitre());
        json.fermerObjet();
    }
    json.fermerTableau();
    json.membre("langue", flux.getLangue());
    json.membre("lien", flux.getLien());
    json.cle("rubriquesAssociees");
    json.ouvrirTableau();
    for (const TexteEtroit &nom : flux.rubriquesAssociees)
        json.texte(depuisEtroit(nom));
    json.fermerTableau();
    json.membre("titre", flux.getTitre());
    json.membre("urlrss", flux.getUrlRss());
    json.fermerObjet();
}
