#pragma once
// La case de fermeture d'une fenêtre, vue sur la connexion X avant que Qt la traite. Pendant
// qu'une fenêtre modale est montrée, Qt refuse sans rien dire la fermeture des fenêtres qu'elle
// bloque : ce guetteur la voit quand même.
// Hors de X11 (Wayland...), il ne voit rien.

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

class TGuetteurFermeture : public QAbstractNativeEventFilter
{
public:
    // Guette la fenêtre jusqu'à la destruction du guetteur ; prendre est appelée à chaque clic sur
    // la case, et rend vrai quand elle s'en charge (Qt ne voit alors pas ce clic).
    TGuetteurFermeture(QWidget *fenetre, std::function<bool()> prendre);
    ~TGuetteurFermeture() override;
    TGuetteurFermeture(const TGuetteurFermeture &) = delete;
    TGuetteurFermeture &operator=(const TGuetteurFermeture &) = delete;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *resultat) override;

private:
    QWidget *m_fenetre;
    std::function<bool()> m_prendre;
    // Les atomes WM_PROTOCOLS et WM_DELETE_WINDOW ; nuls hors de X11.
    quint32 m_protocoles = 0;
    quint32 m_suppression = 0;
};
