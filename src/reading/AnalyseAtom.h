#pragma once
// Lecture d'un document Atom 1.0 (et d'Atom 0.3) dans les mêmes fiches qu'un flux RSS.
//
// Un titre, des droits, un sous-titre, un résumé ou un contenu se lisent selon leur type
// (« text », « html », « xhtml », ou en Atom 0.3 les types MIME text/plain, text/html et
// application/xhtml+xml) et, en Atom 0.3, leur mode : « base64 » est décodé en UTF-8 puis lu
// selon le type, « xml » (le mode par défaut) est du balisage quand l'élément contient des
// éléments, « escaped » se lit selon le type. Un titre ou des droits en texte gardent leur texte,
// marqué comme tel pour que la page l'échappe ; une description en texte est échappée en HTML.
// Les adresses sont résolues contre la chaîne des xml:base, elle-même posée sur l'adresse d'où
// le flux a été téléchargé.

#include "model/TFlux.h"
#include "reading/ContexteLecture.h"

#include <QDomElement>

// Lit la racine « feed » dans le flux : ses textes, son image et une information par « entry ».
void analyserAtom(const QDomElement &racine, TFlux &flux, ContexteLecture &contexte);
