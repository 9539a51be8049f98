#include "reading/RequeteCurl.h"

#include "commun/Erreurs.h"

#include <QFile>
#include <cctype>

namespace {

using Horloge = std::chrono::steady_clock;

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

void libererUrl(CURLU *url) { bibliothequeCurl().url_cleanup(url); }
void libererEntetes(curl_slist *liste) { bibliothequeCurl().slist_free_all(liste); }

// L'adresse telle que libcurl l'enverra : caractères interdits encodés dans le chemin et dans la
// requête, identifiants retirés (le client ne s'authentifie jamais).
CURLU *preparerUrl(const QString &adresse)
{
    std::unique_ptr<CURLU, void (*)(CURLU *)> url(bibliothequeCurl().url(), libererUrl);
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
    return url.release();
}

// La valeur d'un champ d'en-tête « Nom: valeur », si la ligne est ce champ (nom sans casse).
bool lireChamp(const QByteArray &ligne, const char *nom, QByteArray &valeur)
{
    const qsizetype deuxPoints = ligne.indexOf(':');
    if (deuxPoints < 0 || ligne.left(deuxPoints).trimmed().compare(nom, Qt::CaseInsensitive) != 0)
        return false;
    valeur = ligne.mid(deuxPoints + 1).trimmed();
    return true;
}

} // namespace

// Ce qui arrive pendant un GET, partagé avec les fonctions de rappel de libcurl.
struct RequeteCurl::Reception
{
    enum class Abandon { Aucun, Statut, TropGros, Silence, Annule };

    CURL *curl = nullptr;
    QByteArray corps;
    QByteArray etag;
    QByteArray derniereModification;
    qint64 tailleMaximale = 0;
    std::chrono::milliseconds silence{0};
    Horloge::time_point dernierOctet = Horloge::now();
    Abandon abandon = Abandon::Aucun;
    long statut = 0;
    char erreur[CURL_ERROR_SIZE] = {};

    static size_t recevoirEntete(char *octets, size_t taille, size_t nombre, void *donnees)
    {
        auto *reception = static_cast<Reception *>(donnees);
        const size_t recu = taille * nombre;
        reception->dernierOctet = Horloge::now();
        const QByteArray ligne(octets, static_cast<qsizetype>(recu));
        // Une nouvelle ligne d'état (après un « 100 Continue ») ouvre une autre réponse.
        if (ligne.startsWith("HTTP/")) {
            reception->etag.clear();
            reception->derniereModification.clear();
        } else if (!lireChamp(ligne, "ETag", reception->etag)) {
            lireChamp(ligne, "Last-Modified", reception->derniereModification);
        }
        return recu;
    }

    static size_t recevoirCorps(char *octets, size_t taille, size_t nombre, void *donnees)
    {
        auto *reception = static_cast<Reception *>(donnees);
        const size_t recu = taille * nombre;
        reception->dernierOctet = Horloge::now();
        // Le corps d'une réponse refusée (erreur, redirection) ne sert à rien : on coupe tout de suite.
        reception->statut = statutReponse(reception->curl);
        if (!estSucces(reception->statut)) {
            reception->abandon = Abandon::Statut;
            return 0;
        }
        if (reception->corps.size() + static_cast<qint64>(recu) > reception->tailleMaximale) {
            reception->abandon = Abandon::TropGros;
            return 0;
        }
        reception->corps.append(octets, static_cast<qsizetype>(recu));
        return recu;
    }

    // Appelée par libcurl au moins une fois par seconde, même quand rien n'arrive.
    static int surveiller(void *donnees, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto *reception = static_cast<Reception *>(donnees);
        if (Horloge::now() - reception->dernierOctet > reception->silence) {
            reception->abandon = Abandon::Silence;
            return 1;
        }
        return 0;
    }
};

RequeteCurl::RequeteCurl(CURL *curl, const QString &adresse, const BornesTelechargement &bornes,
                         const QString &fichierAutorites, const ConditionsRequete &conditions)
    : m_curl(curl), m_adresse(adresse), m_bornes(bornes), m_conditionnelle(!conditions.vides()),
      m_reception(std::make_unique<Reception>()), m_url(nullptr, libererUrl), m_entetes(nullptr, libererEntetes),
      m_autorites(QFile::encodeName(fichierAutorites))
{
    const BibliothequeCurl &lib = bibliothequeCurl();
    lib.easy_reset(curl);
    m_url.reset(preparerUrl(adresse));

    // Accept remplace celui que libcurl mettrait de lui-même ; rien d'autre n'est ajouté, hors
    // les champs d'une requête conditionnelle.
    QList<QByteArray> lignes = {QByteArrayLiteral("Accept: text/html, */*"),
                                QByteArrayLiteral("User-Agent: Mozilla/3.0 (compatible; Indy Library)")};
    if (!conditions.etag.isEmpty())
        lignes.append("If-None-Match: " + conditions.etag);
    if (!conditions.derniereModification.isEmpty())
        lignes.append("If-Modified-Since: " + conditions.derniereModification);
    for (const QByteArray &ligne : std::as_const(lignes)) {
        curl_slist *liste = lib.slist_append(m_entetes.get(), ligne.constData());
        if (!liste)
            throw ErreurHTTP(QStringLiteral("Mémoire insuffisante pour la requête."));
        m_entetes.release();
        m_entetes.reset(liste);
    }

    Reception *reception = m_reception.get();
    reception->curl = curl;
    reception->tailleMaximale = bornes.tailleMaximale;
    reception->silence = bornes.silence;

    lib.easy_setopt(curl, CURLOPT_CURLU, m_url.get());
    lib.easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    lib.easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    lib.easy_setopt(curl, CURLOPT_HTTPHEADER, m_entetes.get());
    lib.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    lib.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    // Ni proxy (même si http_proxy ou all_proxy sont définis), ni authentification, ni .netrc.
    lib.easy_setopt(curl, CURLOPT_PROXY, "");
    lib.easy_setopt(curl, CURLOPT_NOPROXY, "*");
    lib.easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    lib.easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    lib.easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_autorites.isEmpty())
        lib.easy_setopt(curl, CURLOPT_CAINFO, m_autorites.constData());
    lib.easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib.easy_setopt(curl, CURLOPT_ERRORBUFFER, reception->erreur);
    // Bornes.
    lib.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(bornes.connexion.count()));
    lib.easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(bornes.duree.count()));
    lib.easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bornes.tailleMaximale));
    lib.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    lib.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Reception::surveiller);
    lib.easy_setopt(curl, CURLOPT_XFERINFODATA, reception);
    lib.easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Reception::recevoirEntete);
    lib.easy_setopt(curl, CURLOPT_HEADERDATA, reception);
    lib.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Reception::recevoirCorps);
    lib.easy_setopt(curl, CURLOPT_WRITEDATA, reception);
    reception->dernierOctet = Horloge::now();
}

RequeteCurl::~RequeteCurl()
{
    bibliothequeCurl().easy_reset(m_curl);
}

void RequeteCurl::annuler()
{
    m_reception->abandon = Reception::Abandon::Annule;
}

ReponseObtenue RequeteCurl::conclure(CURLcode code)
{
    const BibliothequeCurl &lib = bibliothequeCurl();
    Reception &reception = *m_reception;
    const long statut = statutReponse(m_curl);
    const QString detail =
        reception.erreur[0] ? QString::fromUtf8(reception.erreur) : QString::fromUtf8(lib.easy_strerror(code));

    const QString trop = QStringLiteral("Le corps de « %1 » dépasse %2 octets.")
                             .arg(m_adresse, QString::number(m_bornes.tailleMaximale));
    switch (reception.abandon) {
    case Reception::Abandon::Statut:
        throw erreurStatut(reception.statut, m_adresse);
    case Reception::Abandon::TropGros:
        throw ErreurHTTP(trop);
    case Reception::Abandon::Annule:
        throw TelechargementAnnule(QStringLiteral("Téléchargement de « %1 » annulé.").arg(m_adresse));
    case Reception::Abandon::Silence:
        throw ErreurHTTP(QStringLiteral("Aucun octet reçu de « %1 » depuis %2 ms.")
                             .arg(m_adresse, QString::number(m_bornes.silence.count())));
    case Reception::Abandon::Aucun:
        break;
    }
    if (code == CURLE_FILESIZE_EXCEEDED)
        throw ErreurHTTP(trop);
    if (code != CURLE_OK)
        throw ErreurHTTP(QStringLiteral("Échec de « %1 » : %2").arg(m_adresse, detail));
    const bool inchangee = statut == 304 && m_conditionnelle;
    if (!estSucces(statut) && !inchangee)
        throw erreurStatut(statut, m_adresse);
    ReponseObtenue reponse;
    reponse.statut = statut;
    if (!inchangee)
        reponse.corps = std::move(reception.corps);
    reponse.etag = reception.etag;
    reponse.derniereModification = reception.derniereModification;
    return reponse;
}
