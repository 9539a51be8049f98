#pragma once
// Écrit un fichier entier d'un seul coup : le contenu va dans un fichier temporaire du même
// dossier, qui remplace l'ancien seulement quand tout est écrit. En cas d'échec, l'ancien
// fichier reste tel qu'il était et ErreurEcriture est levée.

#include <QByteArray>
#include <QDateTime>
#include <QString>

void ecrireFichierEntier(const QString &chemin, const QByteArray &contenu);

// Efface les fichiers temporaires qu'une écriture de ce chemin tuée en cours a pu laisser à côté
// de lui (le nom du fichier suivi d'un point et de six lettres) ; rien d'autre. Rend leur nombre.
int supprimerRestesEcriture(const QString &chemin);

// Le nom sous lequel garder à côté de lui un fichier du programme trouvé illisible : son chemin
// suivi de « .illisible-AAAAMMJJ-HHMMSS » (le moment donné).
QString nomCopieIllisible(const QString &chemin, const QDateTime &moment);
// Le même, suivi de « -2 », « -3 »... quand un fichier porte déjà ce nom : un chemin libre.
QString cheminLibreCopieIllisible(const QString &chemin, const QDateTime &moment);
