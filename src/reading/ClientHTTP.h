#pragma once
// Le client HTTP du module de données : se connecter, obtenir le corps d'une adresse,
// se déconnecter. Chaque échec lève ErreurHTTP.

#include <QByteArray>
#include <QString>

// Ce que l'interface fait pendant qu'un téléchargement bloque le fil de l'interface. Le cœur ne
// connaît pas la fenêtre : c'est elle qui s'installe ici (TClientHTTP::installerAttente).
//  - commencer : juste avant la connexion (curseur d'attente, barre de progression peinte) ;
//  - patienter : souvent pendant l'attente (toutes les 5 ms environ) ; ne fait que
//    repeindre, sans lancer aucune commande ; rend faux quand l'utilisateur demande d'arrêter le
//    téléchargement, qui est alors abandonné (TelechargementAnnule) ;
//  - finir : après la dernière réponse, qu'elle soit un succès ou un échec.
// Aucune des trois ne lève d'exception.
class IAttenteTelechargement
{
public:
    virtual ~IAttenteTelechargement() = default;
    virtual void commencer() = 0;
    virtual bool patienter() = 0;
    virtual void finir() = 0;
};

class TClientHTTP
{
public:
    virtual ~TClientHTTP() = default;
    virtual void connecter() = 0;
    virtual QByteArray obtenir(const QString &adresse) = 0;
    virtual void deconnecter() = 0;

    // Un téléchargement complet : connexion, GET, puis déconnexion dans tous les cas, pour que
    // le téléchargement suivant reparte d'un client déconnecté. ErreurHTTP en cas d'échec,
    // TelechargementAnnule quand l'attente a demandé l'arrêt.
    // L'attente installée l'encadre (commencer, puis finir même en cas d'échec).
    QByteArray telecharger(const QString &adresse);

    // L'attente du programme (une seule, celle de la fenêtre) ; nulle : rien n'est fait.
    static void installerAttente(IAttenteTelechargement *attente);
    static IAttenteTelechargement *attente();

protected:
    // À appeler souvent pendant qu'un GET attend le réseau : passe la main à l'attente installée.
    // Faux : l'utilisateur demande l'arrêt, le GET s'abandonne.
    static bool patienter();
};
