#include "paint/TBarrePeinte.h"

#include "paint/Peinture.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>

TBarrePeinte::TBarrePeinte(Fond fond, const QString &titre, QWidget *parent)
    : QToolBar(titre, parent)
    , m_fond(fond)
{
}

void TBarrePeinte::paintEvent(QPaintEvent *)
{
    QPainter canevas(this);
    const QRect rectangle = rect();
    if (m_fond == Fond::Bleu)
        degradeBleu(canevas, rectangle.height(), rectangle.width());
    else
        degradeBleuInverse(canevas, rectangle.height(), rectangle.width());

    // La poignée d'une barre déplaçable, comme la dessine la barre standard.
    if (isMovable()) {
        QStyleOptionToolBar option;
        initStyleOption(&option);
        option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
        if (option.rect.isValid())
            style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &canevas, this);
    }
}
