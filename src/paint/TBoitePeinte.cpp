#include "paint/TBoitePeinte.h"

#include "paint/Peinture.h"

#include <QMouseEvent>
#include <QPainter>

TBoitePeinte::TBoitePeinte(Dessin dessin, const QString &legende, QWidget *parent)
    : QWidget(parent)
    , m_dessin(dessin)
    , m_legende(legende)
{
    // Chaque peinture couvre toute la surface ; ce qu'elle ne redessine pas (la ligne du haut de
    // l'aspect enfoncé) garde ce qui était affiché.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBoitePeinte::setLegende(const QString &legende)
{
    m_legende = legende;
    update();
}

void TBoitePeinte::setIndice(const QString &indice)
{
    setToolTip(indice);
    if (m_legendeDepuisIndice)
        update();
}

void TBoitePeinte::setLegendeDepuisIndice(bool oui)
{
    m_legendeDepuisIndice = oui;
    update();
}

QString TBoitePeinte::legendePeinte() const
{
    return m_legendeDepuisIndice ? indice() : m_legende;
}

void TBoitePeinte::paintEvent(QPaintEvent *)
{
    // L'aspect enfoncé n'est peint qu'une fois, par la peinture qu'un appui a demandée.
    const bool enfonce = m_peindreEnfonce;
    m_peindreEnfonce = false;
    QPainter canevas(this);
    // Comme une boîte de dessin classique : chaque peinture repart de la police de la boîte.
    // Hors peinture (aspect enfoncé), le canevas garde ce que le dernier dessin y a laissé.
    if (enfonce && m_canevasInitialise) {
        canevas.setFont(m_policeCanevas);
        canevas.setPen(m_couleurCanevas);
    } else {
        canevas.setFont(font());
        canevas.setPen(Qt::black);
    }
    switch (m_dessin) {
    case Dessin::Bouton:
        if (enfonce)
            dessinerBoutonEnfonce(canevas, *this, legendePeinte());
        else
            dessinerBouton(canevas, *this, legendePeinte());
        break;
    case Dessin::Titre:
        dessinerTitre(canevas, *this, legendePeinte());
        break;
    case Dessin::FondCommandes:
        degradeFondCommandes(canevas, height(), width());
        break;
    }
    m_policeCanevas = canevas.font();
    m_couleurCanevas = canevas.pen().color();
    m_canevasInitialise = true;
}

void TBoitePeinte::redessinerMaintenant(bool enfonce)
{
    // Qt peut différer une peinture immédiate (quand la vue web compose la fenêtre) : la demande
    // reste alors posée jusqu'à la peinture suivante, qui la consomme.
    m_peindreEnfonce = enfonce;
    repaint();
}

void TBoitePeinte::mousePressEvent(QMouseEvent *event)
{
    if (m_aspectEnfonce)
        redessinerMaintenant(true);
    event->accept();
}

void TBoitePeinte::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool clic = event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    // La commande va jusqu'au bout avant que l'aspect normal revienne.
    if (clic)
        emit clicked();
    if (m_aspectEnfonce)
        redessinerMaintenant(false);
}
