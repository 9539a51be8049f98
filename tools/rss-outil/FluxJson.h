#pragma once

#include "model/TFlux.h"

#include <QJsonObject>

// Un flux en objet JSON : ses textes, son image, ses informations et ses rubriques.
QJsonObject fluxEnJson(const TFlux &flux);
