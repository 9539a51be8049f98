#pragma once

#include "reading/ClientHTTP.h"

// Le client HTTP/1.1 sur libcurl, bloquant : GET d'une adresse, sans proxy, sans
// authentification, sans suivre les redirections ; tout statut hors 2xx est un échec.
class TClientHTTPCurl : public TClientHTTP
{
public:
    TClientHTTPCurl();
    ~TClientHTTPCurl() override;

    void connecter() override;
    QByteArray obtenir(const QString &adresse) override;
    void deconnecter() override;

private:
    void *m_curl = nullptr;
};
