#pragma once
// Import d'une liste d'abonnements OPML (1.0 ou 2.0) dans les listes de la base : chaque
// « outline » qui porte un xmlUrl est un flux, rangé dans la rubrique du dossier qui l'entoure.
// Rien n'est téléchargé.

#include "model/TFlux.h"
#include "model/TRubrique.h"

#include <QList>
#include <QString>

// Un abonnement de la liste.
struct AbonnementOpml
{
    QString adresse;  // xmlUrl
    QString titre;    // title, sinon text
    QString lien;     // htmlUrl
    QString rubrique; // text (sinon title) du plus proche « outline » englobant sans xmlUrl ; vide sans lui
};

// Ce qu'un import a changé.
struct BilanImportOpml
{
    int fluxAjoutes = 0;
    int dejaPresents = 0;
    int rubriquesCreees = 0;
};

// Lit la liste du fichier : ses abonnements dans l'ordre du document, à toute profondeur.
// ErreurChargementXML quand le fichier ne se lit pas, n'est pas du XML bien formé (ou passe les
// bornes des documents hostiles), ou n'est pas un document OPML (racine « opml » et « body »).
QList<AbonnementOpml> lireListeOpml(const QString &chemin);

// Ajoute les abonnements à la base. Une adresse déjà présente (dans la base ou plus tôt dans la
// liste) n'ajoute pas de flux : le flux déjà là reçoit la rubrique s'il ne l'a pas. Une rubrique
// absente est ajoutée à la fin de la base, sans couleur ni icône. Flux et rubriques déjà là
// restent tels quels et à leur place.
BilanImportOpml importerAbonnements(const QList<AbonnementOpml> &abonnements, QList<PFlux> &fluxBase,
                                    QList<PRubrique> &rubriquesBase);
