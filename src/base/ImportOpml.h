#pragma once
// Import d'une liste d'abonnements OPML (1.0 ou 2.0) dans les listes de la base : chaque
// « outline » dont le xmlUrl est une adresse http ou https absolue est un flux, rangé dans la
// rubrique des dossiers qui l'entourent. Rien n'est téléchargé.
//
// Les listes d'autres lecteurs : les noms d'attributs sont comparés sans casse (xmlurl) ; un
// outline dont l'adresse n'est pas celle d'un flux (dossier de recherche, xmlUrl="vfolder") est
// écarté et compté ; des dossiers imbriqués donnent la rubrique de leur chemin, « Tech / News ».

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
    QString rubrique; // les noms (text, sinon title) des « outline » englobants sans xmlUrl, joints
                      // par separateurDossiersOpml ; vide sans eux
};

// Entre les noms des dossiers imbriqués dans le nom d'une rubrique.
inline const QString separateurDossiersOpml = QStringLiteral(" / ");

// Une liste lue : ses abonnements, et le nombre d'outlines écartés (une adresse qui n'est pas
// celle d'un flux).
struct ListeOpml
{
    QList<AbonnementOpml> abonnements;
    int ignores = 0;
};

// Ce qu'un import a changé.
struct BilanImportOpml
{
    int fluxAjoutes = 0;
    int dejaPresents = 0;
    int rubriquesCreees = 0;
    int ignores = 0; // les outlines écartés de la liste
};

// Lit la liste du fichier : ses abonnements dans l'ordre du document, à toute profondeur.
// ErreurChargementXML quand le fichier ne se lit pas, n'est pas du XML bien formé (ou passe les
// bornes des documents hostiles), ou n'est pas un document OPML (racine « opml » et « body »).
ListeOpml lireListeOpml(const QString &chemin);

// Ajoute les abonnements à la base. Une adresse déjà présente (dans la base ou plus tôt dans la
// liste) n'ajoute pas de flux : le flux déjà là reçoit la rubrique s'il ne l'a pas. Une rubrique
// absente est ajoutée à la fin de la base, sans couleur ni icône. Flux et rubriques déjà là
// restent tels quels et à leur place.
BilanImportOpml importerAbonnements(const ListeOpml &liste, QList<PFlux> &fluxBase,
                                    QList<PRubrique> &rubriquesBase);
