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

    // Un téléchargement complet : connexion, GET, puis déconnexion dans tous les cas, pour que
    // le téléchargement suivant reparte d'un client déconnecté. ErreurHTTP en cas d'échec.
    QByteArray telecharger(const QString &adresse);
};
