#include "ServeurHTTPTest.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum class Attente { Pret, Arret, Delai };

sockaddr_in adresseBoucle(quint16 port, in_addr_t hote = htonl(INADDR_LOOPBACK))
{
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_addr.s_addr = hote;
    adresse.sin_port = htons(port);
    return adresse;
}

// Une prise TCP liée à un port libre de l'adresse donnée (127.0.0.1 par défaut ; rendu dans
// *port) ; -1 en cas d'échec.
int priseLiee(quint16 *port, in_addr_t hote = htonl(INADDR_LOOPBACK))
{
    const int prise = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in adresse = adresseBoucle(0, hote);
    socklen_t taille = sizeof adresse;
    if (prise < 0 || ::bind(prise, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) != 0
        || ::getsockname(prise, reinterpret_cast<sockaddr *>(&adresse), &taille) != 0) {
        if (prise >= 0)
            ::close(prise);
        return -1;
    }
    *port = ntohs(adresse.sin_port);
    return prise;
}

// Attend qu'un descripteur soit prêt pour l'événement donné, ou que le tube de réveil le soit
// (arrêt du serveur). Un délai négatif attend sans fin.
Attente attendre(int descripteur, short evenement, int reveil, int delaiMs)
{
    pollfd attentes[2] = {{descripteur, evenement, 0}, {reveil, POLLIN, 0}};
    const nfds_t nombre = descripteur < 0 ? 1 : 2;
    pollfd *debut = descripteur < 0 ? &attentes[1] : &attentes[0];
    for (;;) {
        const int pret = ::poll(debut, nombre, delaiMs);
        if (pret < 0 && errno == EINTR)
            continue;
        if (pret < 0 || attentes[1].revents != 0)
            return Attente::Arret;
        return pret == 0 ? Attente::Delai : Attente::Pret;
    }
}

bool envoyerTout(int connexion, int reveil, const char *octets, qsizetype taille)
{
    while (taille > 0) {
        if (attendre(connexion, POLLOUT, reveil, -1) != Attente::Pret)
            return false;
        const ssize_t envoye = ::send(connexion, octets, static_cast<size_t>(taille), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (envoye < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            return false;
        }
        octets += envoye;
        taille -= envoye;
    }
    return true;
}

bool envoyerTout(int connexion, int reveil, const QByteArray &octets)
{
    return envoyerTout(connexion, reveil, octets.constData(), octets.size());
}

// Jette ce que le client envoie jusqu'à ce qu'il ferme, que le serveur s'arrête ou que le délai passe.
void attendreFermeture(int connexion, int reveil, int delaiMs)
{
    char tampon[4096];
    for (;;) {
        if (attendre(connexion, POLLIN, reveil, delaiMs) != Attente::Pret)
            return;
        const ssize_t lu = ::recv(connexion, tampon, sizeof tampon, MSG_DONTWAIT);
        if (lu == 0 || (lu < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return;
    }
}

// Fin polie : plus rien à envoyer, on laisse le client lire puis fermer.
void terminer(int connexion, int reveil)
{
    ::shutdown(connexion, SHUT_WR);
    attendreFermeture(connexion, reveil, 2000);
}

// La valeur d'un champ de la requête, vide sans lui.
QByteArray champRequete(const QByteArray &requete, const QByteArray &nom)
{
    for (const QByteArray &ligne : requete.split('\n')) {
        const qsizetype deuxPoints = ligne.indexOf(':');
        if (deuxPoints > 0 && ligne.left(deuxPoints).trimmed().compare(nom, Qt::CaseInsensitive) == 0)
            return ligne.mid(deuxPoints + 1).trimmed();
    }
    return QByteArray();
}

// La réponse à une requête conditionnelle qui renvoie l'ETag ou la date de la ressource : 304.
ReponseHTTP selonConditions(const ReponseHTTP &reponse, const QByteArray &requete)
{
    const bool memeEtag = !reponse.etag.isEmpty() && champRequete(requete, "If-None-Match") == reponse.etag;
    const bool memeDate = !reponse.derniereModification.isEmpty()
        && champRequete(requete, "If-Modified-Since") == reponse.derniereModification;
    if (!memeEtag && !memeDate)
        return reponse;
    ReponseHTTP inchangee = reponse;
    inchangee.statut = 304;
    inchangee.raison = "Not Modified";
    inchangee.corps.clear();
    inchangee.longueurAnnoncee = false;
    inchangee.deroulement = ReponseHTTP::Deroulement::Complete;
    return inchangee;
}

QByteArray entete(const ReponseHTTP &reponse)
{
    QByteArray tete = "HTTP/1.1 " + QByteArray::number(reponse.statut) + ' ' + reponse.raison + "\r\n";
    const bool longueur = reponse.longueurAnnoncee && reponse.deroulement != ReponseHTTP::Deroulement::CorpsSansFin;
    if (longueur)
        tete += "Content-Length: " + QByteArray::number(reponse.corps.size()) + "\r\n";
    for (const auto &[nom, valeur] : reponse.entetes)
        tete += nom + ": " + valeur + "\r\n";
    if (!reponse.etag.isEmpty())
        tete += "ETag: " + reponse.etag + "\r\n";
    if (!reponse.derniereModification.isEmpty())
        tete += "Last-Modified: " + reponse.derniereModification + "\r\n";
    tete += "Connection: close\r\n\r\n";
    return tete;
}

} // namespace

ReponseHTTP ReponseHTTP::ok(const QByteArray &corps, const QByteArray &typeContenu)
{
    ReponseHTTP reponse;
    reponse.corps = corps;
    reponse.entetes.append(qMakePair(QByteArray("Content-Type"), typeContenu));
    return reponse;
}

ReponseHTTP ReponseHTTP::erreur(int statut, const QByteArray &raison)
{
    ReponseHTTP reponse;
    reponse.statut = statut;
    reponse.raison = raison;
    reponse.corps = "<html><body><h1>" + QByteArray::number(statut) + ' ' + raison + "</h1></body></html>";
    reponse.entetes.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
    return reponse;
}

ReponseHTTP ReponseHTTP::redirection(const QByteArray &location, int statut)
{
    ReponseHTTP reponse = erreur(statut, "Moved Permanently");
    reponse.entetes.append(qMakePair(QByteArray("Location"), location));
    return reponse;
}

ReponseHTTP ReponseHTTP::avecDeroulement(Deroulement deroulement, const QByteArray &corps)
{
    ReponseHTTP reponse = ok(corps);
    reponse.deroulement = deroulement;
    return reponse;
}

ServeurHTTPTest::ServeurHTTPTest(const QByteArray &adresse)
    : m_adresse(adresse), m_parDefaut(ReponseHTTP::erreur(404, "Not Found"))
{
    if (::pipe2(m_reveil, O_CLOEXEC) != 0)
        throw std::runtime_error("ServeurHTTPTest : tube impossible");
    in_addr hote{};
    // Jamais hors de la boucle locale.
    if (::inet_pton(AF_INET, adresse.constData(), &hote) != 1 || (ntohl(hote.s_addr) >> 24) != 127) {
        arreter();
        throw std::runtime_error("ServeurHTTPTest : adresse hors de la boucle locale");
    }
    m_ecoute = priseLiee(&m_port, hote.s_addr);
    if (m_ecoute < 0 || ::listen(m_ecoute, 64) != 0) {
        arreter();
        throw std::runtime_error("ServeurHTTPTest : écoute impossible sur 127.0.0.1");
    }
    m_filEcoute = std::thread(&ServeurHTTPTest::ecouter, this);
}

ServeurHTTPTest::~ServeurHTTPTest() { arreter(); }

QString ServeurHTTPTest::url(const QString &chemin) const
{
    return QStringLiteral("http://%1:%2%3").arg(QString::fromLatin1(m_adresse)).arg(m_port).arg(chemin);
}

void ServeurHTTPTest::definir(const QByteArray &cible, const ReponseHTTP &reponse)
{
    std::lock_guard verrou(m_mutex);
    m_scripts.insert(cible, reponse);
}

void ServeurHTTPTest::definirParDefaut(const ReponseHTTP &reponse)
{
    std::lock_guard verrou(m_mutex);
    m_parDefaut = reponse;
}

QList<QByteArray> ServeurHTTPTest::requetes() const
{
    std::lock_guard verrou(m_mutex);
    return m_requetes;
}

int ServeurHTTPTest::nombreRequetes() const
{
    std::lock_guard verrou(m_mutex);
    return static_cast<int>(m_requetes.size());
}

void ServeurHTTPTest::oublierRequetes()
{
    std::lock_guard verrou(m_mutex);
    m_requetes.clear();
    m_maxSimultanees = 0;
}

void ServeurHTTPTest::arreter()
{
    if (m_arrete.exchange(true))
        return;
    if (m_reveil[1] >= 0) {
        const char signal = 1;
        [[maybe_unused]] const ssize_t ecrit = ::write(m_reveil[1], &signal, 1);
    }
    if (m_filEcoute.joinable())
        m_filEcoute.join();
    std::vector<FilConnexion> fils;
    {
        std::lock_guard verrou(m_mutex);
        fils.swap(m_filsConnexions);
    }
    for (FilConnexion &fil : fils)
        fil.fil.join();
    for (int descripteur : {m_ecoute, m_reveil[0], m_reveil[1]})
        if (descripteur >= 0)
            ::close(descripteur);
    m_ecoute = m_reveil[0] = m_reveil[1] = -1;
}

quint16 ServeurHTTPTest::portFerme()
{
    quint16 port = 0;
    const int prise = priseLiee(&port);
    if (prise < 0)
        throw std::runtime_error("ServeurHTTPTest : aucun port libre");
    ::close(prise); // liée mais jamais à l'écoute : le port reste fermé
    return port;
}

PortSature::PortSature()
{
    m_ecoute = priseLiee(&m_port);
    if (m_ecoute < 0 || ::listen(m_ecoute, 0) != 0)
        throw std::runtime_error("PortSature : écoute impossible");
    // Avec une file de longueur nulle, une seule connexion en attente la remplit.
    m_occupant = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in adresse = adresseBoucle(m_port);
    if (m_occupant < 0 || ::connect(m_occupant, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) != 0)
        throw std::runtime_error("PortSature : connexion impossible");
}

PortSature::~PortSature()
{
    for (int descripteur : {m_occupant, m_ecoute})
        if (descripteur >= 0)
            ::close(descripteur);
}

void ServeurHTTPTest::ecouter()
{
    for (;;) {
        if (attendre(m_ecoute, POLLIN, m_reveil[0], -1) != Attente::Pret)
            return;
        const int connexion = ::accept4(m_ecoute, nullptr, nullptr, SOCK_CLOEXEC);
        if (connexion < 0)
            continue;
        std::lock_guard verrou(m_mutex);
        for (auto fil = m_filsConnexions.begin(); fil != m_filsConnexions.end();) {
            if (*fil->fini) {
                fil->fil.join();
                fil = m_filsConnexions.erase(fil);
            } else {
                ++fil;
            }
        }
        auto fini = std::make_shared<std::atomic<bool>>(false);
        m_filsConnexions.push_back({std::thread([this, connexion, fini] {
                                        servir(connexion);
                                        *fini = true;
                                    }),
                                    fini});
    }
}

ReponseHTTP ServeurHTTPTest::scriptPour(const QByteArray &requete) const
{
    const QByteArray ligne = requete.left(requete.indexOf("\r\n"));
    const QList<QByteArray> morceaux = ligne.split(' ');
    std::lock_guard verrou(m_mutex);
    if (morceaux.size() >= 2)
        return m_scripts.value(morceaux.at(1), m_parDefaut);
    return m_parDefaut;
}

void ServeurHTTPTest::servir(int connexion)
{
    const int reveil = m_reveil[0];
    QByteArray requete;
    char tampon[4096];
    qsizetype fin = -1;
    while (fin < 0 && requete.size() < 1024 * 1024) {
        if (attendre(connexion, POLLIN, reveil, 10000) != Attente::Pret)
            break;
        const ssize_t lu = ::recv(connexion, tampon, sizeof tampon, MSG_DONTWAIT);
        if (lu == 0 || (lu < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            break;
        if (lu > 0)
            requete.append(tampon, lu);
        fin = requete.indexOf("\r\n\r\n");
    }
    if (fin < 0) {
        ::close(connexion);
        return;
    }
    requete.truncate(fin + 4);
    {
        std::lock_guard verrou(m_mutex);
        m_requetes.append(requete);
    }

    using D = ReponseHTTP::Deroulement;
    const ReponseHTTP reponse = selonConditions(scriptPour(requete), requete);
    // En attente de sa réponse jusqu'au premier octet envoyé : une requête suivante du même
    // client ne peut arriver qu'après.
    const int simultanees = ++m_simultanees;
    for (int max = m_maxSimultanees; simultanees > max && !m_maxSimultanees.compare_exchange_weak(max, simultanees);) {
    }
    const bool attendu = reponse.delaiMs <= 0 || attendre(-1, 0, reveil, reponse.delaiMs) == Attente::Delai;
    --m_simultanees;
    if (!attendu) {
        ::close(connexion);
        return;
    }
    switch (reponse.deroulement) {
    case D::Complete:
        if (envoyerTout(connexion, reveil, entete(reponse) + reponse.corps))
            terminer(connexion, reveil);
        break;
    case D::SilenceApresAcceptation:
        attendreFermeture(connexion, reveil, -1);
        break;
    case D::SilenceApresEntetes:
        if (envoyerTout(connexion, reveil, entete(reponse)))
            attendreFermeture(connexion, reveil, -1);
        break;
    case D::CorpsSansFin: {
        const QByteArray bloc(64 * 1024, 'x');
        if (envoyerTout(connexion, reveil, entete(reponse)))
            while (envoyerTout(connexion, reveil, bloc)) {
            }
        break;
    }
    case D::CoupureAuMilieu:
        envoyerTout(connexion, reveil, entete(reponse) + reponse.corps.left(reponse.corps.size() / 2));
        break;
    case D::GoutteAGoutte: {
        bool envoye = envoyerTout(connexion, reveil, entete(reponse));
        for (qsizetype i = 0; envoye && i < reponse.corps.size(); ++i) {
            if (attendre(-1, 0, reveil, reponse.intervalleMs) != Attente::Delai)
                envoye = false;
            else
                envoye = envoyerTout(connexion, reveil, reponse.corps.constData() + i, 1);
        }
        if (envoye)
            terminer(connexion, reveil);
        break;
    }
    }
    ::close(connexion);
}
