#include "ui/BullesTexteCoupe.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

namespace {

constexpr qsizetype longueurMaximale = 1000;

// L'option de dessin que la vue donne à ses lignes (police, taille des icônes, disposition) :
// Qt ne la prépare que pour les vues elles-mêmes.
struct OptionDeLaVue : QAbstractItemView
{
    static QStyleOptionViewItem de(const QAbstractItemView *vue)
    {
        QStyleOptionViewItem option;
        const auto preparer = &OptionDeLaVue::initViewItemOption;
        (vue->*preparer)(&option);
        return option;
    }
};

class Bulles : public QObject
{
public:
    explicit Bulles(QAbstractItemView *vue)
        : QObject(vue), m_vue(vue)
    {
        vue->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *evenement) override
    {
        if (evenement->type() != QEvent::ToolTip)
            return false;
        const auto *aide = static_cast<QHelpEvent *>(evenement);
        const QModelIndex index = m_vue->indexAt(aide->pos());
        // Une ligne qui a sa propre bulle la montre comme à l'ordinaire.
        if (index.isValid() && !index.data(Qt::ToolTipRole).isNull())
            return false;
        const QRect ligne = m_vue->visualRect(index);
        if (!index.isValid() || !coupee(index, ligne)) {
            QToolTip::hideText();
            return true;
        }
        QString texte = index.data(Qt::DisplayRole).toString();
        if (texte.size() > longueurMaximale)
            texte = texte.left(longueurMaximale) + QStringLiteral("…");
        // En texte enrichi échappé : à la ligne dans la bulle, et jamais lu comme du HTML.
        QToolTip::showText(aide->globalPos(), Qt::convertFromPlainText(texte, Qt::WhiteSpaceNormal),
                           m_vue->viewport(), ligne);
        return true;
    }

private:
    // Vrai quand la ligne demande plus de largeur qu'elle n'en a de visible dans la vue.
    bool coupee(const QModelIndex &index, const QRect &ligne) const
    {
        const int visible = ligne.intersected(m_vue->viewport()->rect()).width();
        return m_vue->itemDelegateForIndex(index)->sizeHint(OptionDeLaVue::de(m_vue), index).width() > visible;
    }

    QAbstractItemView *m_vue;
};

} // namespace

namespace BullesTexteCoupe {

void installer(std::initializer_list<QAbstractItemView *> vues)
{
    for (QAbstractItemView *vue : vues)
        new Bulles(vue);
}

} // namespace BullesTexteCoupe
