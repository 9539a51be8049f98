#pragma once
// « À côté de l'exécutable » : le seul dossier où le programme lit et écrit ses fichiers.
// Programme installé, c'est le dossier de données de l'utilisateur (DossierDonnees, au démarrage).
// Les tests le font pointer vers un dossier temporaire.

#include <QString>

namespace Emplacement {

// Le dossier de l'exécutable, terminé par un séparateur.
QString dossierExecutable();

// Remplace le dossier de l'exécutable (tests, rss-outil --dossier). Un texte vide rétablit le vrai.
void definirDossierExecutable(const QString &dossier);
// Vrai quand un dossier a été imposé par definirDossierExecutable.
bool dossierExecutableImpose();

// Le dossier donné, terminé par un séparateur.
QString avecSeparateur(const QString &dossier);
// Les noms, dans un dossier de données, du modèle de base (que le programme installé trouve dans
// ses données partagées) et des dossiers des ressources et des flux (terminés par un séparateur).
QString nomModeleBase();
QString nomDossierRessources();
QString nomDossierRss();

QString cheminBase();          // baseFlux.xml
QString cheminModeleBase();    // baseFluxModèle.xml
QString cheminPage();          // rss-temps.html
QString cheminEtatLecture();   // etatLecture.json
QString dossierRessources();   // ressourcesHTML/, terminé par un séparateur
QString dossierRss();          // rss/, terminé par un séparateur

} // namespace Emplacement
