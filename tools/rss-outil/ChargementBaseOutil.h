#pragma once

#include "base/TdmRSS.h"

// Charge le fichier de base dans le module. En cas d'échec, le message va sur la sortie
// d'erreur et le résultat est faux.
bool chargerBaseOuSignaler(TdmRSS &module, const QString &chemin);
