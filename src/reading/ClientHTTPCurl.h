#pragma once

#include "reading/ClientHTTP.h"
#include "reading/BornesTelechargement.h"

#include <QString>

// Le client HTTP/1.1 sur libcurl, bloquant : une requête GET aux règles de RequeteCurl, sans
// champ conditionnel.
//
// La connexion se fait avec le GET : connecter() prépare une poignée neuve, deconnecter() ferme
// tout, si bien qu'un échec ne laisse rien qui gênerait le téléchargement suivant.
//
// Comme le téléchargement bloque la fenêtre, chaque GET est borné (voir Bornes) : dépasser une
// borne est un échec du GET.
class TClientHTTPCurl : public TClientHTTP
{
public:
    using Bornes = BornesTelechargement;

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
