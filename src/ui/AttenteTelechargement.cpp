#include "ui/AttenteTelechargement.h"

#include <QApplication>
#include <QTimerEvent>

namespace {

// Les événements qui viennent de l'utilisateur, ou qu'une entrée de l'utilisateur fait naître.
bool estEntree(const QEvent &evenement)
{
    if (evenement.isInputEvent()) // souris, clavier, raccourcis, molette, toucher, tablette, menu contextuel, survol
        return true;
    switch (evenement.type()) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::Gesture:
    case QEvent::GestureOverride:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::StatusTip:
        return true;
    case QEvent::Close:
        // La case de fermeture de la fenêtre ; une fermeture demandée par le programme passe.
        return evenement.spontaneous();
    default:
        return false;
    }
}

} // namespace

TAttenteTelechargement::TAttenteTelechargement(QObject *parent)
    : QObject(parent)
{
}

TAttenteTelechargement::~TAttenteTelechargement()
{
    if (m_profondeur > 0)
        relacher();
}

void TAttenteTelechargement::commencer()
{
    if (m_profondeur++ > 0)
        return;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // La barre de progression (et le curseur) se peignent avant que le réseau bloque.
    repeindre();
}

void TAttenteTelechargement::patienter()
{
    if (m_profondeur > 0)
        repeindre();
}

void TAttenteTelechargement::finir()
{
    if (m_profondeur == 0)
        return;
    // Les entrées arrivées depuis la dernière tranche sont jetées, pas rejouées.
    if (m_profondeur == 1)
        repeindre();
    if (--m_profondeur == 0)
        relacher();
}

void TAttenteTelechargement::relacher()
{
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
}

void TAttenteTelechargement::repeindre()
{
    // Ni minuterie ni prise : seuls passent les événements du système de fenêtres (les entrées,
    // jetées par le filtre) et ceux que Qt poste pour mettre en page et peindre.
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
}

bool TAttenteTelechargement::eventFilter(QObject *objet, QEvent *evenement)
{
    if (m_profondeur == 0)
        return false;
    if (estEntree(*evenement)) {
        ++m_jetees;
        return true;
    }
    if (evenement->type() == QEvent::Timer) {
        // Un battement de minuterie qui passerait malgré tout attend la fin. Le moteur de la vue
        // de page se réveille par un QTimerEvent(0) posté : il est reposté, pour après.
        const int numero = static_cast<QTimerEvent *>(evenement)->timerId();
        if (numero == 0)
            QCoreApplication::postEvent(objet, new QTimerEvent(0));
        return true;
    }
    return false;
}
