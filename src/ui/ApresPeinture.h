#pragma once
// Ce qui peut attendre que la fenêtre soit à l'écran : appelé une fois, dès la fin de sa première
// peinture, ou au bout du délai donné pour une fenêtre qui ne se peint pas (réduite, sans écran).

#include <functional>

class QWidget;

void apresPremierePeinture(QWidget *fenetre, int delaiMaximalMs, std::function<void()> action);
