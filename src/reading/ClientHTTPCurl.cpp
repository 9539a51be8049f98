#include "reading/ClientHTTPCurl.h"

#include "commun/Erreurs.h"

#include <curl/curl.h>

namespace {

size_t recevoir(char *donnees, size_t taille, size_t nombre, void *destination)
{
    static_cast<QByteArray *>(destination)->append(donnees, static_cast<qsizetype>(taille * nombre));
    return taille * nombre;
}

struct InitialisationCurl
{
    InitialisationCurl() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

} // namespace

TClientHTTPCurl::TClientHTTPCurl()
{
    static InitialisationCurl initialisation;
}

TClientHTTPCurl::~TClientHTTPCurl()
{
    deconnecter();
}

void TClientHTTPCurl::connecter()
{
    deconnecter();
    m_curl = curl_easy_init();
    if (!m_curl)
        throw ErreurHTTP(QStringLiteral("Impossible de préparer la connexion HTTP."));
}

QByteArray TClientHTTPCurl::obtenir(const QString &adresse)
{
    if (!m_curl)
        connecter();
    CURL *curl = static_cast<CURL *>(m_curl);
    QByteArray corps;
    const QByteArray url = adresse.toUtf8();
    curl_slist *entetes = nullptr;
    entetes = curl_slist_append(entetes, "Accept: text/html, */*");
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, entetes);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, recevoir);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &corps);
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(entetes);
    if (code != CURLE_OK)
        throw ErreurHTTP(QString::fromUtf8(curl_easy_strerror(code)));
    long statut = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &statut);
    if (statut < 200 || statut > 299)
        throw ErreurHTTP(QStringLiteral("Réponse HTTP %1.").arg(statut));
    return corps;
}

void TClientHTTPCurl::deconnecter()
{
    if (m_curl) {
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
        m_curl = nullptr;
    }
}
