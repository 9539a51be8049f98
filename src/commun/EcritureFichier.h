#pragma once
// Écrit un fichier entier d'un seul coup : le contenu va dans un fichier temporaire du même
// dossier, qui remplace l'ancien seulement quand tout est écrit. En cas d'échec, l'ancien
// fichier reste tel qu'il était et ErreurEcriture est levée.

#include <QByteArray>
#include <QString>

void ecrireFichierEntier(const QString &chemin, const QByteArray &contenu);
