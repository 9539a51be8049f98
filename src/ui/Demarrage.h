#pragma once
// Le programme entier : l'application titrée, la fenêtre principale d'abord, le module de
// données ensuite, la boucle des messages jusqu'à la fermeture de la fenêtre, puis la fenêtre
// et le module détruits. Rend le code de sortie (0).

class TApplication;

int executerLecteurRSS(TApplication &application);
