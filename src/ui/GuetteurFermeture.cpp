#include "ui/GuetteurFermeture.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

quint32 atome(xcb_connection_t *connexion, const char *nom)
{
    const xcb_intern_atom_cookie_t demande =
        xcb_intern_atom(connexion, 0, static_cast<uint16_t>(qstrlen(nom)), nom);
    xcb_intern_atom_reply_t *reponse = xcb_intern_atom_reply(connexion, demande, nullptr);
    if (!reponse)
        return 0;
    const quint32 valeur = reponse->atom;
    std::free(reponse);
    return valeur;
}

} // namespace

TGuetteurFermeture::TGuetteurFermeture(QWidget *fenetre, std::function<bool()> prendre)
    : m_fenetre(fenetre), m_prendre(std::move(prendre))
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    m_protocoles = atome(x11->connection(), "WM_PROTOCOLS");
    m_suppression = atome(x11->connection(), "WM_DELETE_WINDOW");
    if (m_protocoles && m_suppression)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

TGuetteurFermeture::~TGuetteurFermeture()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TGuetteurFermeture::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t")
        return false;
    const auto *evenement = static_cast<const xcb_generic_event_t *>(message);
    if ((evenement->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    // Le message que le gestionnaire de fenêtres envoie pour la case de fermeture.
    const auto *client = static_cast<const xcb_client_message_event_t *>(message);
    if (client->format != 32 || client->type != m_protocoles || client->data.data32[0] != m_suppression
        || client->window != m_fenetre->internalWinId())
        return false;
    return m_prendre();
}
