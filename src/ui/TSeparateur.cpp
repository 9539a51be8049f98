#include "ui/TSeparateur.h"

#include <QMouseEvent>
#include <algorithm>

TSeparateur::TSeparateur(Qt::Orientation sens, int epaisseur, QWidget *parent)
    : QWidget(parent)
    , m_sens(sens)
{
    if (sens == Qt::Horizontal) {
        setFixedWidth(epaisseur);
        setCursor(Qt::SplitHCursor);
    } else {
        setFixedHeight(epaisseur);
        setCursor(Qt::SplitVCursor);
    }
}

void TSeparateur::setCible(QWidget *cible, int minimumCible, QWidget *remplissage, bool cibleAvant)
{
    m_cible = cible;
    m_minimumCible = minimumCible;
    m_remplissage = remplissage;
    m_cibleAvant = cibleAvant;
}

int TSeparateur::taille(const QWidget *w) const
{
    return m_sens == Qt::Horizontal ? w->width() : w->height();
}

// Ce que le remplissage peut céder avant d'atteindre son minimum.
int TSeparateur::reserve() const
{
    if (!m_remplissage)
        return 0;
    const QSize min = m_remplissage->minimumSize().expandedTo(m_remplissage->minimumSizeHint());
    return std::max(0, taille(m_remplissage) - (m_sens == Qt::Horizontal ? min.width() : min.height()));
}

void TSeparateur::fixerTaille(QWidget *w, int t) const
{
    if (m_sens == Qt::Horizontal)
        w->setFixedWidth(t);
    else
        w->setFixedHeight(t);
}

int TSeparateur::position(const QMouseEvent *event) const
{
    const QPointF p = event->globalPosition();
    return qRound(m_sens == Qt::Horizontal ? p.x() : p.y());
}

void TSeparateur::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_cible)
        return;
    m_tire = true;
    m_depart = position(event);
    noterDepart();
}

void TSeparateur::noterDepart()
{
    m_tailleDepart = taille(m_cible);
    m_reserveDepart = reserve();
}

void TSeparateur::mouseMoveEvent(QMouseEvent *event)
{
    if (m_tire)
        deplacerDe(position(event) - m_depart);
}

void TSeparateur::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_tire && event->button() == Qt::LeftButton) {
        deplacerDe(position(event) - m_depart);
        m_tire = false;
    }
}

void TSeparateur::deplacerDe(int delta)
{
    if (!m_cible)
        return;
    if (!m_tire)
        noterDepart(); // un déplacement hors d'un glissement part de la taille actuelle
    const int voulue = m_tailleDepart + (m_cibleAvant ? delta : -delta);
    const int plafond = m_remplissage ? m_tailleDepart + m_reserveDepart : voulue;
    fixerTaille(m_cible, std::max(m_minimumCible, std::min(voulue, plafond)));
}
