#include "reading/ClientHTTPCurl.h"

#include "commun/Erreurs.h"
#include "reading/BibliothequeCurl.h"
#include "reading/RequeteCurl.h"

#include <QScopeGuard>
#include <memory>

namespace {

using Horloge = std::chrono::steady_clock;

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
    CURL *curl = static_cast<CURL *>(m_curl);
    RequeteCurl requete(curl, adresse, m_bornes, m_fichierAutorites);
    const CURLcode code = transferer(curl, [&requete] {
        if (patienter())
            return true;
        requete.annuler();
        return false;
    });
    return requete.conclure(code).corps;
}

void TClientHTTPCurl::deconnecter()
{
    if (m_curl) {
        bibliothequeCurl().easy_cleanup(static_cast<CURL *>(m_curl));
        m_curl = nullptr;
    }
}
