#include "reading/ClientHTTPCurl.h"

#include "commun/Erreurs.h"
#include "reading/BibliothequeCurl.h"

#include <QFile>
#include <QScopeGuard>
#include <cctype>
#include <memory>

namespace {

using Horloge = std::chrono::steady_clock;

// Ce qui arrive pendant un GET, partagé avec les fonctions de rappel de libcurl.
struct Reception
{
    enum class Abandon { Aucun, Statut, TropGros, Silence, Annule };

    CURL *curl = nullptr;
    QByteArray corps;
    qint64 tailleMaximale = 0;
    std::chrono::milliseconds silence{0};
    Horloge::time_point dernierOctet = Horloge::now();
    Abandon abandon = Abandon::Aucun;
    long statut = 0;
};

long statutReponse(CURL *curl)
{
    long statut = 0;
    bibliothequeCurl().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &statut);
    return statut;
}

bool estSucces(long statut) { return statut >= 200 && statut <= 299; }

// Un statut hors 2xx, redirections comprises (elles ne sont jamais suivies).
ErreurHTTP erreurStatut(long statut, const QString &adresse)
{
    return ErreurHTTP(QStringLiteral("Réponse HTTP %1 pour « %2 ».").arg(QString::number(statut), adresse));
}

size_t recevoirEntete(char *, size_t taille, size_t nombre, void *donnees)
{
    static_cast<Reception *>(donnees)->dernierOctet = Horloge::now();
    return taille * nombre;
}

size_t recevoirCorps(char *octets, size_t taille, size_t nombre, void *donnees)
{
    auto *reception = static_cast<Reception *>(donnees);
    const size_t recu = taille * nombre;
    reception->dernierOctet = Horloge::now();
    // Le corps d'une réponse refusée (erreur, redirection) ne sert à rien : on coupe tout de suite.
    reception->statut = statutReponse(reception->curl);
    if (!estSucces(reception->statut)) {
        reception->abandon = Reception::Abandon::Statut;
        return 0;
    }
    if (reception->corps.size() + static_cast<qint64>(recu) > reception->tailleMaximale) {
        reception->abandon = Reception::Abandon::TropGros;
        return 0;
    }
    reception->corps.append(octets, static_cast<qsizetype>(recu));
    return recu;
}

// Appelée par libcurl au moins une fois par seconde, même quand rien n'arrive.
int surveiller(void *donnees, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *reception = static_cast<Reception *>(donnees);
    if (Horloge::now() - reception->dernierOctet > reception->silence) {
        reception->abandon = Reception::Abandon::Silence;
        return 1;
    }
    return 0;
}

struct LibererMulti
{
    void operator()(CURLM *multi) const { bibliothequeCurl().multi_cleanup(multi); }
};

// Fait le transfert de la poignée préparée, comme curl_easy_perform, mais par tranches de 5 ms
// au plus : entre deux tranches, l'interface repeint (patienter). La fenêtre n'est servie qu'entre
// deux tranches, et suivre un redimensionnement demande une vingtaine d'allers-retours entre son
// fil et ceux du moteur de la vue de page, chacun attendant la tranche suivante : par tranches de
// 40 ms, la page ne suivait qu'au bout d'une seconde (mesure 8 de bench_fenetre_interface), pour
// moins d'un pour cent de processeur gagné. Rend le code du transfert, ou CURLE_ABORTED_BY_CALLBACK
// dès que patienter rend faux : la poignée quitte alors la pile et la connexion est coupée, à
// quelque étape qu'elle en soit (résolution, connexion, attente, corps).
template<typename Patienter>
CURLcode transferer(CURL *curl, Patienter patienter)
{
    const std::unique_ptr<CURLM, LibererMulti> multi(bibliothequeCurl().multi_init());
    if (!multi || bibliothequeCurl().multi_add_handle(multi.get(), curl) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    // La poignée quitte la pile multiple en sortant, même quand une erreur remonte.
    const auto retrait = qScopeGuard([&multi, curl] { bibliothequeCurl().multi_remove_handle(multi.get(), curl); });
    constexpr std::chrono::milliseconds tranche{5};
    auto derniere = Horloge::now();
    int actifs = 1;
    while (actifs > 0) {
        if (bibliothequeCurl().multi_perform(multi.get(), &actifs) != CURLM_OK)
            return CURLE_FAILED_INIT;
        if (actifs == 0)
            break;
        if (Horloge::now() - derniere >= tranche) {
            if (!patienter())
                return CURLE_ABORTED_BY_CALLBACK;
            derniere = Horloge::now();
        }
        if (bibliothequeCurl().multi_poll(multi.get(), nullptr, 0, static_cast<int>(tranche.count()), nullptr) != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    int restants = 0;
    while (const CURLMsg *message = bibliothequeCurl().multi_info_read(multi.get(), &restants)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            return message->data.result;
    }
    return CURLE_FAILED_INIT;
}

struct LibererEntetes
{
    void operator()(curl_slist *liste) const { bibliothequeCurl().slist_free_all(liste); }
};
struct LibererUrl
{
    void operator()(CURLU *url) const { bibliothequeCurl().url_cleanup(url); }
};

// Encode dans le chemin ou la requête les octets que HTTP n'admet pas tels quels dans la cible
// d'une requête (blancs, « < > " | { } ^ ` \\ [ ] », contrôles, octets non ASCII) ; « % » et
// ses suites restent telles quelles.
void encoderPartie(CURLU *url, CURLUPart partie)
{
    char *brute = nullptr;
    if (bibliothequeCurl().url_get(url, partie, &brute, 0) != CURLUE_OK || !brute)
        return;
    const QByteArray octets(brute);
    bibliothequeCurl().free(brute);
    static const QByteArray admis = QByteArrayLiteral("-._~!$&'()*+,;=:@/?%");
    QByteArray encodee;
    encodee.reserve(octets.size());
    for (const char c : octets) {
        const auto octet = static_cast<unsigned char>(c);
        if (std::isalnum(octet) && octet < 0x80)
            encodee += c;
        else if (admis.contains(c))
            encodee += c;
        else
            encodee += '%' + QByteArray::number(octet, 16).rightJustified(2, '0'); // en minuscules, comme libcurl
    }
    if (encodee != octets)
        bibliothequeCurl().url_set(url, partie, encodee.constData(), 0);
}

// L'adresse telle que libcurl l'enverra : caractères interdits encodés dans le chemin et dans la
// requête, identifiants retirés (le client ne s'authentifie jamais).
std::unique_ptr<CURLU, LibererUrl> preparerUrl(const QString &adresse)
{
    std::unique_ptr<CURLU, LibererUrl> url(bibliothequeCurl().url());
    if (!url)
        throw ErreurHTTP(QStringLiteral("Mémoire insuffisante pour l'adresse « %1 ».").arg(adresse));
    const QByteArray octets = adresse.toUtf8();
    const CURLUcode code = bibliothequeCurl().url_set(url.get(), CURLUPART_URL, octets.constData(),
                                                      CURLU_GUESS_SCHEME | CURLU_ALLOW_SPACE | CURLU_URLENCODE);
    if (code != CURLUE_OK)
        throw ErreurHTTP(QStringLiteral("Adresse invalide « %1 » : %2")
                             .arg(adresse, QString::fromUtf8(bibliothequeCurl().url_strerror(code))));
    encoderPartie(url.get(), CURLUPART_PATH);
    encoderPartie(url.get(), CURLUPART_QUERY);
    bibliothequeCurl().url_set(url.get(), CURLUPART_USER, nullptr, 0);
    bibliothequeCurl().url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
    bibliothequeCurl().url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
    return url;
}

} // namespace

// libcurl n'est chargée qu'au premier téléchargement (connecter).
TClientHTTPCurl::TClientHTTPCurl() = default;

TClientHTTPCurl::~TClientHTTPCurl()
{
    deconnecter();
}

void TClientHTTPCurl::connecter()
{
    deconnecter();
    m_curl = bibliothequeCurl().easy_init();
    if (!m_curl)
        throw ErreurHTTP(QStringLiteral("Impossible de préparer la connexion HTTP."));
}

QByteArray TClientHTTPCurl::obtenir(const QString &adresse)
{
    if (!m_curl)
        connecter();
    const BibliothequeCurl &lib = bibliothequeCurl();
    CURL *curl = static_cast<CURL *>(m_curl);
    lib.easy_reset(curl);

    const auto url = preparerUrl(adresse);
    // Accept remplace celui que libcurl mettrait de lui-même ; rien d'autre n'est ajouté.
    curl_slist *liste = lib.slist_append(nullptr, "Accept: text/html, */*");
    if (liste)
        liste = lib.slist_append(liste, "User-Agent: Mozilla/3.0 (compatible; Indy Library)");
    const std::unique_ptr<curl_slist, LibererEntetes> entetes(liste);
    if (!entetes)
        throw ErreurHTTP(QStringLiteral("Mémoire insuffisante pour la requête."));

    Reception reception;
    reception.curl = curl;
    reception.tailleMaximale = m_bornes.tailleMaximale;
    reception.silence = m_bornes.silence;
    char erreur[CURL_ERROR_SIZE] = {};

    lib.easy_setopt(curl, CURLOPT_CURLU, url.get());
    lib.easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    lib.easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    lib.easy_setopt(curl, CURLOPT_HTTPHEADER, entetes.get());
    lib.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    lib.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    // Ni proxy (même si http_proxy ou all_proxy sont définis), ni authentification, ni .netrc.
    lib.easy_setopt(curl, CURLOPT_PROXY, "");
    lib.easy_setopt(curl, CURLOPT_NOPROXY, "*");
    lib.easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    lib.easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    lib.easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray autorites = QFile::encodeName(m_fichierAutorites);
    if (!autorites.isEmpty())
        lib.easy_setopt(curl, CURLOPT_CAINFO, autorites.constData());
    lib.easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib.easy_setopt(curl, CURLOPT_ERRORBUFFER, erreur);
    // Bornes.
    lib.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_bornes.connexion.count()));
    lib.easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_bornes.duree.count()));
    lib.easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_bornes.tailleMaximale));
    lib.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    lib.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, surveiller);
    lib.easy_setopt(curl, CURLOPT_XFERINFODATA, &reception);
    lib.easy_setopt(curl, CURLOPT_HEADERFUNCTION, recevoirEntete);
    lib.easy_setopt(curl, CURLOPT_HEADERDATA, &reception);
    lib.easy_setopt(curl, CURLOPT_WRITEFUNCTION, recevoirCorps);
    lib.easy_setopt(curl, CURLOPT_WRITEDATA, &reception);

    reception.dernierOctet = Horloge::now();
    const CURLcode code = transferer(curl, [&reception] {
        if (patienter())
            return true;
        reception.abandon = Reception::Abandon::Annule;
        return false;
    });
    const long statut = statutReponse(curl);
    const QString detail = erreur[0] ? QString::fromUtf8(erreur) : QString::fromUtf8(lib.easy_strerror(code));
    // La poignée ne garde aucun pointeur vers les objets locaux de cette requête.
    lib.easy_reset(curl);

    const QString trop = QStringLiteral("Le corps de « %1 » dépasse %2 octets.")
                             .arg(adresse, QString::number(m_bornes.tailleMaximale));
    switch (reception.abandon) {
    case Reception::Abandon::Statut:
        throw erreurStatut(reception.statut, adresse);
    case Reception::Abandon::TropGros:
        throw ErreurHTTP(trop);
    case Reception::Abandon::Annule:
        throw TelechargementAnnule(QStringLiteral("Téléchargement de « %1 » annulé.").arg(adresse));
    case Reception::Abandon::Silence:
        throw ErreurHTTP(QStringLiteral("Aucun octet reçu de « %1 » depuis %2 ms.")
                             .arg(adresse, QString::number(m_bornes.silence.count())));
    case Reception::Abandon::Aucun:
        break;
    }
    if (code == CURLE_FILESIZE_EXCEEDED)
        throw ErreurHTTP(trop);
    if (code != CURLE_OK)
        throw ErreurHTTP(QStringLiteral("Échec de « %1 » : %2").arg(adresse, detail));
    if (!estSucces(statut))
        throw erreurStatut(statut, adresse);
    return std::move(reception.corps);
}

void TClientHTTPCurl::deconnecter()
{
    if (m_curl) {
        bibliothequeCurl().easy_cleanup(static_cast<CURL *>(m_curl));
        m_curl = nullptr;
    }
}
