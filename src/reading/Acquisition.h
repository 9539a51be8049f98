#pragma once
// Acquisition d'un flux : téléchargement d'une source dans sa copie locale, ajout d'une source
// par son adresse, choix d'un fichier local. Les opérations sont des membres de TdmRSS
// (Acquisition.cpp) ; ici, ce que les autres parties du programme et les tests en partagent.

#include <QByteArray>
#include <QString>

// Le texte de la boîte « Error » montrée après un téléchargement qui échoue.
QString messageEchecConnexion();
// Le titre de cette boîte.
QString titreEchecConnexion();
// Le titre de la boîte d'ouverture d'un fichier RSS.
QString titreChoixFichierRSS();

// Écrit le corps d'une réponse dans une copie locale : tel que reçu, suivi de CR LF, la copie
// remplacée d'un seul coup (jamais à moitié écrite, même quand deux téléchargements de la même
// adresse finissent ensemble). ErreurEcriture en cas d'échec.
void ecrireCopieLocale(const QString &chemin, const QByteArray &corps);
