#pragma once

#include "reading/ClientHTTP.h"

#include <chrono>

// Le client HTTP/1.1 sur libcurl, bloquant. Une requête GET n'envoie que Host, Accept
// « text/html, */* » et User-Agent « Mozilla/3.0 (compatible; Indy Library) » ; jamais de proxy
// (quoi que dise l'environnement), jamais d'authentification (les identifiants d'une adresse sont
// ignorés), aucune redirection suivie. Tout statut hors 2xx est un échec. En https, le certificat
// est vérifié avec ceux du système.
//
// La connexion se fait avec le GET : connecter() prépare une poignée neuve, deconnecter() ferme
// tout, si bien qu'un échec ne laisse rien qui gênerait le téléchargement suivant.
//
// Comme le téléchargement bloque la fenêtre, chaque GET est borné (voir Bornes) : dépasser une
// borne est un échec du GET.
class TClientHTTPCurl : public TClientHTTP
{
public:
    struct Bornes
    {
        std::chrono::milliseconds connexion{30'000};    // établir la connexion (TLS compris)
        std::chrono::milliseconds silence{60'000};      // aucun octet reçu pendant ce temps
        std::chrono::milliseconds duree{300'000};       // toute la requête, même au goutte-à-goutte
        qint64 tailleMaximale = 64LL * 1024 * 1024;     // octets du corps
    };

    TClientHTTPCurl();
    ~TClientHTTPCurl() override;
    TClientHTTPCurl(const TClientHTTPCurl &) = delete;
    TClientHTTPCurl &operator=(const TClientHTTPCurl &) = delete;

    void connecter() override;
    QByteArray obtenir(const QString &adresse) override;
    void deconnecter() override;

    const Bornes &bornes() const { return m_bornes; }
    void setBornes(const Bornes &bornes) { m_bornes = bornes; }

    // Les certificats d'autorité qui valident un serveur https ; vide (par défaut) : ceux du système.
    void setFichierAutorites(const QString &chemin) { m_fichierAutorites = chemin; }

private:
    void *m_curl = nullptr;
    Bornes m_bornes;
    QString m_fichierAutorites;
};
