#include "ui/AttenteTelechargement.h"

#include "ui/GuetteurFermeture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>

namespace {

// La fenêtre modale qui tient l'application pendant l'attente. Elle a le clavier : Échap y arrive.
class Bloqueur : public QWidget
{
public:
    Bloqueur(QWidget *fenetre, std::function<void()> echap)
        : QWidget(fenetre, Qt::Tool | Qt::FramelessWindowHint), m_echap(std::move(echap))
    {
        setObjectName(QStringLiteral("bloqueurTelechargement"));
        setWindowModality(Qt::ApplicationModal);
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(1, 1);
    }

protected:
    void keyPressEvent(QKeyEvent *evenement) override
    {
        if (evenement->key() == Qt::Key_Escape)
            m_echap();
    }

private:
    std::function<void()> m_echap;
};

QString texteAnnuler() { return QStringLiteral("Échap : annuler"); }

} // namespace

TAttenteTelechargement::TAttenteTelechargement(QWidget *fenetre, QProgressBar *barre)
    : QObject(fenetre), m_fenetre(fenetre), m_barre(barre)
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
    m_arret = false;
    m_fermerEnsuite = false;
    if (!m_bloqueur)
        m_bloqueur = new Bloqueur(m_fenetre, [this] { annuler(); });
    if (!m_guetteur) {
        m_guetteur = std::make_unique<TGuetteurFermeture>(m_fenetre, [this] {
            if (enCours())
                annulerPuisFermer();
            return enCours();
        });
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_barre) {
        m_barreCachee = m_barre->isHidden();
        m_texteVisible = m_barre->isTextVisible();
        m_format = m_barre->format();
        m_barre->setFormat(texteAnnuler());
        m_barre->setTextVisible(true);
        m_barre->show();
        m_bloqueur->move(m_barre->mapToGlobal(QPoint(0, 0)));
    }
    m_fenetreActive = m_fenetre->isActiveWindow();
    // Dès show(), Qt tient la fenêtre pour bloquée ; le bloqueur prend le clavier qu'elle avait.
    m_bloqueur->show();
    if (m_fenetreActive)
        m_bloqueur->activateWindow();
    // La barre de progression (et le curseur) se peignent avant que le réseau bloque.
    repeindre();
}

bool TAttenteTelechargement::patienter()
{
    if (m_profondeur > 0)
        repeindre();
    return !m_arret;
}

void TAttenteTelechargement::finir()
{
    if (m_profondeur == 0)
        return;
    // Les entrées arrivées depuis la dernière tranche sont refusées, pas rejouées.
    if (m_profondeur == 1)
        repeindre();
    if (--m_profondeur == 0)
        relacher();
}

void TAttenteTelechargement::annuler()
{
    if (enCours())
        m_arret = true;
}

void TAttenteTelechargement::annulerPuisFermer()
{
    if (!enCours())
        return;
    m_arret = true;
    m_fermerEnsuite = true;
}

void TAttenteTelechargement::relacher()
{
    if (m_bloqueur)
        m_bloqueur->hide();
    if (m_fenetreActive)
        m_fenetre->activateWindow();
    if (m_barre) {
        m_barre->setFormat(m_format);
        m_barre->setTextVisible(m_texteVisible);
        m_barre->setHidden(m_barreCachee);
    }
    QApplication::restoreOverrideCursor();
    // La fermeture attend que la commande ait fini de s'arrêter : elle passe par la boucle des
    // messages.
    if (std::exchange(m_fermerEnsuite, false))
        QMetaObject::invokeMethod(m_fenetre, &QWidget::close, Qt::QueuedConnection);
}

void TAttenteTelechargement::repeindre()
{
    // Passent les événements du système de fenêtres (ceux des entrées sont refusés par la
    // modalité), ceux que Qt poste pour mettre en page et peindre, et les minuteries : la vue de
    // page ne se rend qu'au battement des siennes et de celles de son moteur. Les commandes, elles,
    // ne s'exécutent pas pendant l'attente (TmainForm::brancherActions, timerDemarrageTimer).
    // Aucune prise n'est lue : une demande d'une autre instance attend la fin.
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}
