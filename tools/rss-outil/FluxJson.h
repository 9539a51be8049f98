#pragma once

#include "EcritureJson.h"
#include "model/TFlux.h"

// Un flux en objet JSON : ses textes, son image, ses informations et ses rubriques, écrit
// directement à la suite de ce que l'écriture tient déjà.
void ecrireFluxJson(EcritureJson &json, const TFlux &flux);
