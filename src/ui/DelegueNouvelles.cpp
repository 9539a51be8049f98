#include "ui/DelegueNouvelles.h"

#include "ui/ListeImages.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

QString TDelegueNouvelles::bulleEchec(const QString &message)
{
    return QStringLiteral("Échec de la dernière actualisation :\n") + message;
}

void TDelegueNouvelles::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const int nouvelles = index.data(RoleNouvelles).toInt();
    if (nouvelles > 0) {
        // Seul le texte dessiné change : celui de la ligne reste l'adresse ou le titre.
        option->text += QStringLiteral(" (%1)").arg(nouvelles);
        option->font.setBold(true);
    }
    if (!index.data(RoleEchec).toString().isEmpty()) {
        option->icon = ListeImages::icone(126);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = QSize(ListeImages::taille, ListeImages::taille);
    }
}

bool TDelegueNouvelles::helpEvent(QHelpEvent *evenement, QAbstractItemView *vue, const QStyleOptionViewItem &option,
                                  const QModelIndex &index)
{
    const QString echec = index.data(RoleEchec).toString();
    if (evenement && evenement->type() == QEvent::ToolTip && !echec.isEmpty()) {
        QToolTip::showText(evenement->globalPos(), bulleEchec(echec), vue);
        return true;
    }
    return QStyledItemDelegate::helpEvent(evenement, vue, option, index);
}
