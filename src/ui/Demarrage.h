#pragma once
// Le programme entier : l'application titrée, le dossier des données choisi, une seule instance
// par dossier (une seconde remet ses fichiers à la première et rend 0), la fenêtre principale
// d'abord, le module de données ensuite, la boucle des messages jusqu'à la fermeture de la
// fenêtre, puis la fenêtre et le module détruits. Les fichiers donnés en arguments s'ouvrent
// chacun dans un onglet. Rend le code de sortie (0).

class TApplication;

int executerLecteurRSS(TApplication &application);
