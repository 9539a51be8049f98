#include "reading/Actualisation.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"
#include "reading/Acquisition.h"
#include "reading/AnalyseRSS.h"
#include "reading/BibliothequeCurl.h"
#include "reading/RequeteCurl.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <list>
#include <memory>

namespace {

// Un téléchargement en cours, avec sa poignée et sa requête.
struct Transfert
{
    DemandeActualisation demande;
    QString hote;
    CURL *curl = nullptr;
    std::unique_ptr<RequeteCurl> requete;
};

ResultatActualisation echec(const QString &adresse, const QString &message, int statut = 0)
{
    ResultatActualisation resultat;
    resultat.adresse = adresse;
    resultat.issue = ResultatActualisation::Issue::Echec;
    resultat.statut = statut;
    resultat.erreur = message;
    return resultat;
}

} // namespace

TActualisation::TActualisation(QObject *parent)
    : QObject(parent)
{
    // Les lectures laissent un cœur à la fenêtre.
    m_lecteurs.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

TActualisation::~TActualisation()
{
    arreter();
    if (m_fil.joinable())
        m_fil.join();
}

bool TActualisation::lancer(const QList<DemandeActualisation> &demandes)
{
    if (m_enCours)
        return false;
    if (m_fil.joinable())
        m_fil.join();
    // Une adresse n'est demandée qu'une fois, dans l'ordre de sa première demande.
    QList<DemandeActualisation> uniques;
    QSet<QString> vues;
    for (const DemandeActualisation &demande : demandes) {
        if (!vues.contains(demande.adresse)) {
            vues.insert(demande.adresse);
            uniques.append(demande);
        }
    }
    m_arret = false;
    m_enCours = true;
    m_fil = std::thread(&TActualisation::executer, this, std::move(uniques));
    return true;
}

void TActualisation::arreter()
{
    m_arret = true;
    reveiller();
}

void TActualisation::reveiller()
{
    const std::lock_guard verrou(m_mutexPile);
    if (m_pile)
        bibliothequeCurl().multi_wakeup(static_cast<CURLM *>(m_pile));
}

void TActualisation::publier(const ResultatActualisation &resultat)
{
    QMetaObject::invokeMethod(
        this,
        [this, resultat] {
            // Un résultat déjà en route quand l'arrêt a été demandé n'est plus attendu.
            if (!m_arret)
                emit sourceActualisee(resultat);
        },
        Qt::QueuedConnection);
}

void TActualisation::executer(QList<DemandeActualisation> demandes)
{
    const auto finir = [this] {
        m_lecteurs.waitForDone();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_fil.joinable())
                    m_fil.join();
                m_enCours = false;
                emit terminee(m_arret);
            },
            Qt::QueuedConnection);
    };
    const BibliothequeCurl *lib = nullptr;
    try {
        lib = &bibliothequeCurl();
    } catch (const ErreurLecteur &erreur) {
        // Sans libcurl, chaque source échoue avec le message qui dit quoi installer.
        for (const DemandeActualisation &demande : std::as_const(demandes))
            publier(echec(demande.adresse, erreur.message()));
        finir();
        return;
    }

    CURLM *pile = lib->multi_init();
    {
        const std::lock_guard verrou(m_mutexPile);
        m_pile = pile;
    }
    std::list<Transfert> enCours;
    std::list<DemandeActualisation> enAttente(demandes.cbegin(), demandes.cend());
    QHash<QString, int> parHote;

    // Démarre autant de téléchargements que les limites en laissent partir, dans l'ordre des
    // demandes, en sautant celles dont l'hôte en a déjà assez.
    const auto demarrer = [&] {
        for (auto it = enAttente.begin(); it != enAttente.end();) {
            if (static_cast<int>(enCours.size()) >= m_reglages.simultanes || m_lectures >= m_reglages.simultanes)
                return;
            const QString hote = QUrl(it->adresse).host().toLower();
            if (parHote.value(hote) >= m_reglages.parHote) {
                ++it;
                continue;
            }
            Transfert transfert;
            transfert.demande = *it;
            transfert.hote = hote;
            it = enAttente.erase(it);
            transfert.curl = lib->easy_init();
            try {
                if (!transfert.curl)
                    throw ErreurHTTP(QStringLiteral("Impossible de préparer la connexion HTTP."));
                transfert.requete = std::make_unique<RequeteCurl>(
                    transfert.curl, transfert.demande.adresse, m_reglages.bornes, m_reglages.fichierAutorites,
                    ConditionsRequete{transfert.demande.etag, transfert.demande.derniereModification});
                if (lib->multi_add_handle(pile, transfert.curl) != CURLM_OK)
                    throw ErreurHTTP(QStringLiteral("Impossible de préparer la connexion HTTP."));
            } catch (const ErreurLecteur &erreur) {
                transfert.requete.reset();
                if (transfert.curl)
                    lib->easy_cleanup(transfert.curl);
                publier(echec(transfert.demande.adresse, erreur.message()));
                continue;
            }
            ++parHote[hote];
            enCours.push_back(std::move(transfert));
        }
    };

    // Un téléchargement fini : sa réponse part à la lecture, ou son résultat tout de suite.
    const auto conclure = [&](CURL *curl, CURLcode code) {
        auto transfert = std::find_if(enCours.begin(), enCours.end(), [curl](const Transfert &t) { return t.curl == curl; });
        if (transfert == enCours.end())
            return;
        lib->multi_remove_handle(pile, curl);
        const DemandeActualisation demande = transfert->demande;
        try {
            ReponseObtenue reponse = transfert->requete->conclure(code);
            if (reponse.inchangee()) {
                ResultatActualisation resultat;
                resultat.adresse = demande.adresse;
                resultat.issue = ResultatActualisation::Issue::Inchangee;
                resultat.statut = static_cast<int>(reponse.statut);
                publier(resultat);
            } else {
                ++m_lectures;
                m_lecteurs.start([this, demande, reponse = std::move(reponse)] {
                    lireEnFond(demande, reponse.statut, reponse.corps, reponse.etag, reponse.derniereModification);
                    --m_lectures;
                    reveiller();
                });
            }
        } catch (const ErreurLecteur &erreur) {
            long statut = 0;
            lib->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &statut);
            publier(echec(demande.adresse, erreur.message(), static_cast<int>(statut)));
        }
        --parHote[transfert->hote];
        transfert->requete.reset();
        lib->easy_cleanup(curl);
        enCours.erase(transfert);
    };

    while (!m_arret) {
        demarrer();
        if (enCours.empty() && enAttente.empty())
            break;
        int actifs = 0;
        if (lib->multi_perform(pile, &actifs) != CURLM_OK)
            break;
        int restants = 0;
        bool placeLiberee = false;
        while (const CURLMsg *message = lib->multi_info_read(pile, &restants)) {
            if (message->msg == CURLMSG_DONE) {
                conclure(message->easy_handle, message->data.result);
                placeLiberee = true;
            }
        }
        if (m_arret)
            break;
        // Une place libérée : les demandes suivantes partent sans attendre le réseau.
        if (placeLiberee)
            continue;
        // Réveillée par le réseau, par une lecture finie (une place se libère) ou par l'arrêt.
        lib->multi_poll(pile, nullptr, 0, 1000, nullptr);
    }

    // Arrêt : ce qui reste est abandonné sans résultat. Une pile en panne, elle, fait échouer
    // chaque source qui reste.
    const QString panne = QStringLiteral("La pile de téléchargements de libcurl a échoué.");
    for (const DemandeActualisation &demande : enAttente)
        publier(echec(demande.adresse, panne));
    for (Transfert &transfert : enCours) {
        publier(echec(transfert.demande.adresse, panne));
        lib->multi_remove_handle(pile, transfert.curl);
        transfert.requete.reset();
        lib->easy_cleanup(transfert.curl);
    }
    enCours.clear();
    {
        const std::lock_guard verrou(m_mutexPile);
        m_pile = nullptr;
    }
    lib->multi_cleanup(pile);
    finir();
}

void TActualisation::lireEnFond(const DemandeActualisation &demande, long statut, const QByteArray &corps,
                                const QByteArray &etag, const QByteArray &derniereModification)
{
    if (m_arret)
        return;
    ResultatActualisation resultat;
    resultat.adresse = demande.adresse;
    resultat.statut = static_cast<int>(statut);
    try {
        // Le chemin de tout document : décodé une fois, bâti avec ses budgets, lu en flux.
        TDocumentXML document;
        document.setNomFichier(demande.adresse);
        document.chargerOctets(corps);
        const PFlux flux = TdmRSS::analyserFlux(document, demande.adresse);
        resultat.cles.reserve(flux->infos.size());
        for (const PInfo &info : std::as_const(flux->infos))
            resultat.cles.append(info->cle());
        if (!demande.copieLocale.isEmpty())
            ecrireCopieLocale(demande.copieLocale, corps);
        resultat.issue = ResultatActualisation::Issue::Lue;
        resultat.etag = etag;
        resultat.derniereModification = derniereModification;
    } catch (const ErreurEcriture &erreur) {
        resultat.cles.clear();
        resultat.erreur = erreur.message();
    } catch (const ErreurLecteur &erreur) {
        resultat.cles.clear();
        resultat.erreur = messageEchecChargement() + u'\n' + erreur.message();
    } catch (const std::exception &) {
        resultat.cles.clear();
        resultat.erreur = messageEchecChargement();
    }
    publier(resultat);
}
