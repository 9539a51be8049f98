#pragma once
// La liste d'images de la fenêtre : 209 images de 16 × 16 partagées par les actions, le menu,
// la barre d'outils, les onglets des vues latérales et l'arbre XML.
// Les images viennent du thème d'icônes Tango (paquet Debian tango-icon-theme, domaine public),
// lues dans /usr/share/icons au premier usage ; une image absente est dessinée ici même.

#include <QIcon>
#include <QPixmap>

namespace ListeImages {

constexpr int nombre = 209;
constexpr int taille = 16;

// L'icône de l'index donné, la même image pour l'état normal et l'état sélectionné ;
// une icône nulle pour -1 ou un index hors de la liste.
QIcon icone(int index);

// L'image de l'index donné ; une image nulle pour -1 ou un index hors de la liste.
QPixmap image(int index);

// Vrai quand l'image de l'index est lue du thème, faux quand elle est dessinée ici.
bool vientDuTheme(int index);

// Le dessin de remplacement de l'index, celui qui sert quand le thème manque (neutre pour un
// index dont le programme ne se sert pas) ; une image nulle hors de la liste.
QPixmap imageDessinee(int index);

} // namespace ListeImages
