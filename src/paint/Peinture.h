#pragma once
// Les routines de dessin des contrôles peints : dégradés de lignes d'un pixel, une par rangée,
// et légendes blanches en gras. Chaque dégradé ne dépend que de la hauteur : une surface plus
// haute a des pas plus petits. Toutes les divisions sont entières (tronquées vers zéro).

#include <QString>

class QPainter;
class QWidget;

// Dégradés : rangée i de 0 à hauteur - 1, une ligne de x = 0 à x = largeur (exclu).
// Rien n'est dessiné quand la hauteur (ou la largeur) est nulle.
void degradeRouge(QPainter &canevas, int hauteur, int largeur);          // de #FF9696 vers le sombre
void degradeBleu(QPainter &canevas, int hauteur, int largeur);           // de #BEF2FF vers le bleu
void degradeBleuInverse(QPainter &canevas, int hauteur, int largeur);    // rangée i sur y = hauteur - i
void degradeFondCommandes(QPainter &canevas, int hauteur, int largeur);  // de #DCFAFF vers le mauve

// Dessins des boîtes peintes. La légende est mesurée dans la police propre de la boîte, puis écrite
// en 8 points gras blanc : 5 px à gauche du centre pour les boutons, au centre pour les titres.
void dessinerBouton(QPainter &canevas, const QWidget &boite, const QString &legende);
// Aspect enfoncé : les couleurs de degradeRouge à l'envers (la plus claire en bas, la ligne du haut
// n'est pas redessinée). La police passe à 8 points ; sa graisse et la couleur du crayon restent
// celles que le canevas avait déjà.
void dessinerBoutonEnfonce(QPainter &canevas, const QWidget &boite, const QString &legende);
void dessinerTitre(QPainter &canevas, const QWidget &boite, const QString &legende);
