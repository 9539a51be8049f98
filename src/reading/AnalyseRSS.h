#pragma once
// Lecture d'un document RSS en flux. Un seul lecteur sert les deux dispositions courantes
// (items dans « channel » pour RSS 0.9x/2.0, items à côté de « channel » pour RSS 1.0) :
// on lit la racine, puis son premier enfant, de la même façon.
//
// Les adresses (liens du canal, de l'image et des items, adresse de l'image) perdent les blancs
// qui les entourent ; celles d'un flux téléchargé sont résolues contre son adresse, comme les
// adresses du HTML de ses descriptions.

#include "model/TFlux.h"
#include "reading/ContexteLecture.h"

#include <QDomNode>
#include <QString>

// Lit les enfants d'un élément dans le flux : ses sept textes, son image et ses items.
void analyserCanal(const QDomNode &element, TFlux &flux, ContexteLecture &contexte);
// Lit un élément « item » en une nouvelle information ajoutée au flux.
void analyserInfo(const QDomNode &element, TFlux &flux, ContexteLecture &contexte);
// Lit un élément « image » ; le flux ne la prend que si son url n'est pas vide.
void analyserImage(const QDomNode &element, TFlux &flux, ContexteLecture &contexte);

// Le message de la boîte d'erreur d'un document qui ne se charge pas.
QString messageEchecChargement();
