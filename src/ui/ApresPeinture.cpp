#include "ui/ApresPeinture.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

// Guette la première peinture de la fenêtre ; se détruit après l'action (ou avec la fenêtre).
class GuetPeinture : public QObject
{
public:
    GuetPeinture(QWidget *fenetre, int delaiMaximalMs, std::function<void()> action)
        : QObject(fenetre)
        , m_action(std::move(action))
    {
        fenetre->installEventFilter(this);
        QTimer::singleShot(delaiMaximalMs, this, &GuetPeinture::agir);
    }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        // La peinture en cours finit et part à l'écran avant l'action.
        if (evenement->type() == QEvent::Paint) {
            objet->removeEventFilter(this);
            QTimer::singleShot(0, this, &GuetPeinture::agir);
        }
        return false;
    }

private:
    void agir()
    {
        if (!m_action)
            return;
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        deleteLater();
        action();
    }

    std::function<void()> m_action;
};

} // namespace

void apresPremierePeinture(QWidget *fenetre, int delaiMaximalMs, std::function<void()> action)
{
    new GuetPeinture(fenetre, delaiMaximalMs, std::move(action));
}
