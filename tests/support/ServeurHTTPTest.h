#pragma once
// Un vrai serveur HTTP sur 127.0.0.1, démarré par un test.
//
// Le client HTTP du lecteur bloque le fil qui l'appelle : le serveur tourne donc dans ses propres
// fils (sockets POSIX), un fil d'écoute et un fil par connexion, sans boucle d'événements Qt.
// Chaque connexion lit une requête jusqu'à la ligne vide, note ses octets bruts (ligne de requête
// et en-têtes), répond selon le script du chemin demandé, puis ferme. Un chemin sans script reçoit
// un 404 (modifiable avec definirParDefaut).
//
//   ServeurHTTPTest serveur;                                   // port libre, écoute tout de suite
//   serveur.definir("/flux.xml", ReponseHTTP::ok(corps));
//   serveur.definir("/ancien", ReponseHTTP::redirection("/flux.xml"));
//   ReponseHTTP muet;  muet.deroulement = ReponseHTTP::Deroulement::SilenceApresAcceptation;
//   serveur.definir("/muet", muet);
//   client.obtenir(serveur.url("/flux.xml"));
//   serveur.requetes();                                        // requêtes brutes, dans l'ordre
//
// PortSature : un port de 127.0.0.1 qui écoute sans jamais accepter et dont la file d'attente
// est déjà pleine ; une connexion n'y aboutit jamais (pour la borne de connexion du client).
//
// Les silences et le corps sans fin durent jusqu'à ce que le client ferme sa connexion ou que le
// serveur s'arrête (destructeur ou arreter()). Toutes les méthodes peuvent être appelées depuis
// n'importe quel fil.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct ReponseHTTP
{
    enum class Deroulement {
        Complete,                // statut, en-têtes et corps, puis fermeture
        SilenceApresAcceptation, // lit la requête et ne répond jamais
        SilenceApresEntetes,     // envoie le statut et les en-têtes, puis plus rien
        CorpsSansFin,            // statut, en-têtes (sans longueur) puis des octets « x » sans fin
        CoupureAuMilieu,         // annonce tout le corps, en envoie la moitié et ferme
        GoutteAGoutte,           // le corps octet par octet, un toutes les intervalleMs
    };

    int statut = 200;
    QByteArray raison = "OK";
    // En-têtes ajoutés tels quels, après Content-Length et avant « Connection: close ».
    QList<QPair<QByteArray, QByteArray>> entetes;
    QByteArray corps;
    // Content-Length annoncé ; sinon le corps se termine à la fermeture de la connexion.
    bool longueurAnnoncee = true;
    Deroulement deroulement = Deroulement::Complete;
    int intervalleMs = 100;
    // Silence avant la réponse, quel que soit le déroulement (un serveur lent à répondre).
    int delaiMs = 0;
    // Envoyés en ETag et Last-Modified quand ils ne sont pas vides ; une requête qui renvoie l'un
    // d'eux (If-None-Match, If-Modified-Since, à l'identique) reçoit « 304 Not Modified » sans corps.
    QByteArray etag;
    QByteArray derniereModification;

    static ReponseHTTP ok(const QByteArray &corps, const QByteArray &typeContenu = "application/rss+xml");
    static ReponseHTTP erreur(int statut, const QByteArray &raison);     // corps HTML court
    static ReponseHTTP redirection(const QByteArray &location, int statut = 301);
    static ReponseHTTP avecDeroulement(Deroulement deroulement, const QByteArray &corps = QByteArray());
};

class ServeurHTTPTest
{
public:
    // Écoute sur une adresse de la boucle locale (127.0.0.1 par défaut, ou une autre de 127/8 :
    // plusieurs hôtes distincts pour le client) ; lève std::runtime_error si c'est impossible.
    explicit ServeurHTTPTest(const QByteArray &adresse = "127.0.0.1");
    ~ServeurHTTPTest(); // arrête le serveur
    ServeurHTTPTest(const ServeurHTTPTest &) = delete;
    ServeurHTTPTest &operator=(const ServeurHTTPTest &) = delete;

    quint16 port() const { return m_port; }
    // « http://ADRESSE:PORT » suivi du chemin (qui commence par « / »).
    QString url(const QString &chemin) const;

    // Le script d'une cible de requête, comparée exactement (« /a?b=c » avec sa requête).
    void definir(const QByteArray &cible, const ReponseHTTP &reponse);
    // La réponse des cibles sans script (404 au départ).
    void definirParDefaut(const ReponseHTTP &reponse);

    // Les requêtes reçues, octets bruts jusqu'à la ligne vide incluse.
    QList<QByteArray> requetes() const;
    int nombreRequetes() const;
    void oublierRequetes();
    // Le plus grand nombre de requêtes reçues et pas encore répondues à la fois (le délai d'une
    // réponse compris), depuis le démarrage ou oublierRequetes.
    int maxSimultanees() const { return m_maxSimultanees; }

    // Ferme l'écoute, réveille les connexions en attente et attend la fin de tous les fils.
    void arreter();

    // Un port de 127.0.0.1 où personne n'écoute : une connexion y est refusée.
    static quint16 portFerme();

private:
    void ecouter();
    void servir(int connexion);
    ReponseHTTP scriptPour(const QByteArray &requete) const;

    int m_ecoute = -1;
    int m_reveil[2] = {-1, -1}; // tube : écrit à l'arrêt, lisible ensuite pour tous les fils
    QByteArray m_adresse;
    quint16 m_port = 0;
    std::atomic<bool> m_arrete{false};
    std::atomic<int> m_simultanees{0};
    std::atomic<int> m_maxSimultanees{0};
    std::thread m_filEcoute;

    mutable std::mutex m_mutex;
    // Les fils des connexions ; ceux qui ont fini sont rejoints à la connexion suivante.
    struct FilConnexion
    {
        std::thread fil;
        std::shared_ptr<std::atomic<bool>> fini;
    };
    std::vector<FilConnexion> m_filsConnexions;
    QMap<QByteArray, ReponseHTTP> m_scripts;
    ReponseHTTP m_parDefaut;
    QList<QByteArray> m_requetes;
};

class PortSature
{
public:
    PortSature();  // lève std::runtime_error en cas d'échec
    ~PortSature();
    PortSature(const PortSature &) = delete;
    PortSature &operator=(const PortSature &) = delete;

    quint16 port() const { return m_port; }

private:
    int m_ecoute = -1;
    int m_occupant = -1; // la connexion qui remplit la file
    quint16 m_port = 0;
};
