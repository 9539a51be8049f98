#pragma once
// Export des abonnements de la base en liste OPML 2.0.

#include "model/TFlux.h"
#include "model/TRubrique.h"

#include <QByteArray>
#include <QList>

// Le document OPML 2.0, en UTF-8 : un « outline » dossier par rubrique de la base (dans son
// ordre, un nom une seule fois), puis un par nom que des flux citent sans rubrique de ce nom ;
// dans chaque dossier, chaque flux rangé sous ce nom, une fois, dans l'ordre de la base. Les flux
// rangés nulle part (ou seulement sous des noms vides) vont au premier niveau, après les dossiers.
// Une rubrique « Tech / News » s'écrit en dossiers imbriqués, « News » dans « Tech » ; dans un
// dossier, ses sous-dossiers viennent avant ses flux.
// Seuls des caractères que XML 1.0 permet sont écrits : un caractère de contrôle ou une moitié
// isolée de paire de substitution devient U+FFFD ; valeursRemplacees reçoit le nombre de valeurs
// (titre, adresse, lien, nom de rubrique) ainsi changées.
QByteArray ecrireListeOpml(const QList<PFlux> &fluxBase, const QList<PRubrique> &rubriquesBase,
                           int *valeursRemplacees = nullptr);
