#pragma once
// La réponse d'une fenêtre du programme, vue du serveur X : des _NET_WM_PING envoyés par une
// connexion X à part, comme le fait un gestionnaire de fenêtres. Qt y répond depuis le fil de sa
// fenêtre, en traitant ses évènements : une réponse lente est une fenêtre gelée.

#include <QElapsedTimer>
#include <QList>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

inline xcb_atom_t atome(xcb_connection_t *connexion, const char *nom)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(connexion, xcb_intern_atom(connexion, 0, static_cast<uint16_t>(std::strlen(nom)), nom), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    free(r);
    return a;
}

// Envoie des _NET_WM_PING à la fenêtre, l'un après l'autre, et note le temps de chaque réponse.
// Qt y répond par un évènement envoyé à la racine pour les clients qui y écoutent la structure ou
// en tiennent la redirection. Avec la redirection (celle du gestionnaire de fenêtres, que Xvfb n'a
// pas), c'est cette connexion, ouverte une fois, qui laisse passer ce que les fenêtres demandent
// pendant ce temps (apparaître, se placer) ; sans elle, les fenêtres font ce qu'elles veulent.
class Pings
{
public:
    explicit Pings(xcb_window_t fenetre, bool redirection = true) : m_fenetre(fenetre), m_c(xcb_connect(nullptr, nullptr))
    {
        xcb_screen_t *ecran = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const uint32_t masque = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY
            | (redirection ? XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT : 0);
        xcb_generic_error_t *erreur =
            xcb_request_check(m_c, xcb_change_window_attributes_checked(m_c, ecran->root, XCB_CW_EVENT_MASK, &masque));
        m_pret = erreur == nullptr;
        free(erreur);
        m_protocoles = atome(m_c, "WM_PROTOCOLS");
        m_ping = atome(m_c, "_NET_WM_PING");
    }
    ~Pings()
    {
        arreter();
        xcb_disconnect(m_c);
    }
    bool pret() const { return m_pret; }

    // Un ping toutes les `intervalleMs` après la réponse au précédent, jusqu'à arreter().
    void demarrer(int intervalleMs = 10)
    {
        m_arret = false;
        m_durees.clear();
        m_intervalleMs = intervalleMs;
        m_fil = std::thread([this] { executer(); });
    }
    QList<double> arreter()
    {
        m_arret = true;
        if (m_fil.joinable())
            m_fil.join();
        return m_durees;
    }

    // Un ping, attendu jusqu'à sa réponse : le temps qu'elle a mis (ms), -1 sans elle dans le délai.
    double pinger(int delaiMs = 5000)
    {
        const uint32_t numero = ++m_numero;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_fenetre;
        message.type = m_protocoles;
        message.data.data32[0] = m_ping;
        message.data.data32[1] = numero;
        message.data.data32[2] = m_fenetre;
        QElapsedTimer chrono;
        chrono.start();
        xcb_send_event(m_c, 0, m_fenetre, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
        xcb_flush(m_c);
        // L'arrêt n'attend pas la réponse en route : le fil de la fenêtre, qui attend la fin de
        // celui-ci, ne pourrait pas la donner.
        while (!m_arret && chrono.elapsed() < delaiMs) {
            xcb_generic_event_t *e = xcb_poll_for_event(m_c);
            if (!e) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            const bool repondu = traiter(e, numero);
            free(e);
            if (repondu)
                return chrono.nsecsElapsed() / 1e6;
        }
        return -1;
    }

private:
    void executer()
    {
        while (!m_arret) {
            const double ms = pinger();
            if (ms >= 0 || !m_arret)
                m_durees.append(ms >= 0 ? ms : 5000);
            std::this_thread::sleep_for(std::chrono::milliseconds(m_intervalleMs));
        }
    }

    // La réponse au ping attendu, ou ce qu'une fenêtre demande au gestionnaire de fenêtres.
    bool traiter(xcb_generic_event_t *e, uint32_t numero)
    {
        switch (e->response_type & 0x7F) {
        case XCB_CLIENT_MESSAGE: {
            const auto *reponse = reinterpret_cast<xcb_client_message_event_t *>(e);
            return reponse->data.data32[0] == m_ping && reponse->data.data32[1] == numero;
        }
        case XCB_MAP_REQUEST:
            xcb_map_window(m_c, reinterpret_cast<xcb_map_request_event_t *>(e)->window);
            xcb_flush(m_c);
            return false;
        case XCB_CONFIGURE_REQUEST: {
            const auto *demande = reinterpret_cast<xcb_configure_request_event_t *>(e);
            // Une valeur par bit du masque, dans l'ordre des bits.
            const uint32_t toutes[] = {uint32_t(demande->x), uint32_t(demande->y), demande->width, demande->height,
                                       demande->border_width, demande->sibling, demande->stack_mode};
            std::vector<uint32_t> valeurs;
            for (int bit = 0; bit < 7; ++bit)
                if (demande->value_mask & (1u << bit))
                    valeurs.push_back(toutes[bit]);
            xcb_configure_window(m_c, demande->window, demande->value_mask, valeurs.data());
            xcb_flush(m_c);
            return false;
        }
        default:
            return false;
        }
    }

    xcb_window_t m_fenetre;
    xcb_connection_t *m_c;
    bool m_pret = false;
    xcb_atom_t m_protocoles = XCB_NONE;
    xcb_atom_t m_ping = XCB_NONE;
    uint32_t m_numero = 0;
    int m_intervalleMs = 10;
    std::thread m_fil;
    std::atomic<bool> m_arret{false};
    QList<double> m_durees;
};
