#include "paint/Peinture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace {

struct Couleur
{
    int r, g, b;
};

// Couleurs de la rangée i des dégradés. Le pas d'un canal est ((départ / h) / diviseur).
Couleur rouge(int i, int h)
{
    const int gb = 150 - i * ((150 / h) / 2);
    return {255 - i * ((255 / h) / 2), gb, gb};
}

Couleur bleu(int i, int h)
{
    return {190 - i * ((190 / h) / 2), 242 - i * ((242 / h) / 2), 255};
}

Couleur fondCommandes(int i, int h)
{
    return {220 - i * ((200 / h) / 3), 250 - i * ((250 / h) / 3), 255};
}

// Une rangée : une ligne d'un pixel de x = 0 à x = largeur, ce dernier point exclu.
void ligne(QPainter &canevas, const Couleur &c, int y, int largeur)
{
    canevas.setPen(QPen(QColor(c.r, c.g, c.b), 0));
    canevas.drawLine(0, y, largeur - 1, y);
}

template<typename FonctionCouleur>
void degrade(QPainter &canevas, int hauteur, int largeur, FonctionCouleur couleur, bool inverse)
{
    if (hauteur <= 0 || largeur <= 0)
        return;
    canevas.save();
    canevas.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < hauteur; ++i)
        ligne(canevas, couleur(i, hauteur), inverse ? hauteur - i : i, largeur);
    canevas.restore();
}

// La légende écrite à la place mesurée dans la police de la boîte ; marge = 10 pour les boutons
// (5 px à gauche du centre), 0 pour les titres. Police et crayon sont ceux du canevas à l'appel.
void ecrireLegende(QPainter &canevas, const QWidget &boite, const QString &legende, int marge)
{
    const QFontMetrics mesureBoite(boite.font());
    const int x = (boite.width() - mesureBoite.horizontalAdvance(legende) - marge) / 2;
    const int y = (boite.height() - mesureBoite.height()) / 2;
    // Le point donné est le coin haut gauche du texte, comme pour une sortie de texte classique.
    canevas.setBackgroundMode(Qt::TransparentMode);
    canevas.drawText(x, y + QFontMetrics(canevas.font()).ascent(), legende);
}

// Comme le canevas d'une boîte de dessin : rien hors de la boîte.
bool limiterALaBoite(QPainter &canevas, const QWidget &boite)
{
    if (boite.width() <= 0 || boite.height() <= 0)
        return false;
    canevas.setClipRect(boite.rect(), Qt::IntersectClip);
    return true;
}

// 8 points gras blanc, pinceau blanc transparent.
void policeLegende(QPainter &canevas)
{
    QFont police = canevas.font();
    police.setPointSize(8);
    police.setBold(true);
    canevas.setFont(police);
    canevas.setPen(Qt::white);
    canevas.setBrush(Qt::NoBrush);
}

} // namespace

void degradeRouge(QPainter &canevas, int hauteur, int largeur)
{
    degrade(canevas, hauteur, largeur, rouge, false);
}

void degradeBleu(QPainter &canevas, int hauteur, int largeur)
{
    degrade(canevas, hauteur, largeur, bleu, false);
}

void degradeBleuInverse(QPainter &canevas, int hauteur, int largeur)
{
    degrade(canevas, hauteur, largeur, bleu, true);
}

void degradeFondCommandes(QPainter &canevas, int hauteur, int largeur)
{
    degrade(canevas, hauteur, largeur, fondCommandes, false);
}

namespace {

// Le dégradé sur toute la boîte, puis la légende en 8 points gras blanc.
void peindreAvecLegende(QPainter &canevas, const QWidget &boite, const QString &legende,
                        void (*fond)(QPainter &, int, int), int marge)
{
    if (!limiterALaBoite(canevas, boite))
        return;
    fond(canevas, boite.height(), boite.width());
    policeLegende(canevas);
    ecrireLegende(canevas, boite, legende, marge);
}

} // namespace

void dessinerBouton(QPainter &canevas, const QWidget &boite, const QString &legende)
{
    peindreAvecLegende(canevas, boite, legende, degradeRouge, 10);
}

void dessinerBoutonEnfonce(QPainter &canevas, const QWidget &boite, const QString &legende)
{
    if (!limiterALaBoite(canevas, boite))
        return;
    degrade(canevas, boite.height(), boite.width(), rouge, true);
    QFont police = canevas.font();
    police.setPointSize(8);
    canevas.setFont(police);
    canevas.setBrush(Qt::NoBrush);
    ecrireLegende(canevas, boite, legende, 10);
}

void dessinerTitre(QPainter &canevas, const QWidget &boite, const QString &legende)
{
    peindreAvecLegende(canevas, boite, legende, degradeBleu, 0);
}
