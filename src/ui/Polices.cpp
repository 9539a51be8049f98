#include "ui/Polices.h"

#include <QStringList>

namespace Polices {

QFont fenetre(bool gras)
{
    QFont police;
    police.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                        QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    police.setStyleHint(QFont::SansSerif);
    police.setPointSize(8);
    police.setBold(gras);
    return police;
}

QFont favoris()
{
    QFont police;
    police.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Sans Serif")});
    police.setStyleHint(QFont::SansSerif);
    police.setPointSize(10);
    return police;
}

} // namespace Polices
