#pragma once
// Le client HTTP du module de données : se connecter, obtenir le corps d'une adresse,
// se déconnecter. Chaque échec lève ErreurHTTP.

#include <QByteArray>
#include <QString>

class TClientHTTP
{
public:
    virtual ~TClientHTTP() = default;
    virtual void connecter() = 0;
    virtual QByteArray obtenir(const QString &adresse) = 0;
    virtual void deconnecter() = 0;
};
