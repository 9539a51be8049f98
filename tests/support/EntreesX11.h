#pragma once
// De vraies entrées de l'utilisateur, envoyées au serveur X (Xvfb) par l'extension XTest, comme si
// elles venaient de la souris et du clavier : elles arrivent à l'application par sa connexion X,
// comme celles d'un utilisateur, et non par QTest. Chaque appel ouvre sa propre connexion : on
// peut les envoyer depuis un autre fil pendant que celui de l'interface est bloqué.
//
// libX11 et libXtst sont chargées à l'exécution (leurs en-têtes ne sont pas nécessaires) ;
// disponibles() est faux sans elles ou sans affichage X.

#include <QPoint>

namespace EntreesX11 {

bool disponibles();

// Un clic gauche au point donné de l'écran (coordonnées globales).
void cliquer(const QPoint &ecran);
// Une touche (nom de keysym X, « o » par exemple), avec une touche de modification enfoncée si
// elle est donnée (« Control_L », « Alt_L »).
void touche(const char *nom, const char *modificateur = nullptr);
// Change la taille d'une fenêtre X (identifiant natif), comme un gestionnaire de fenêtres.
void redimensionner(unsigned long fenetre, int largeur, int hauteur);
// Un clic sur la case de fermeture d'une fenêtre X, comme le gestionnaire de fenêtres le transmet
// (WM_DELETE_WINDOW).
void fermer(unsigned long fenetre);

} // namespace EntreesX11
