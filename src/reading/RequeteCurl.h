#pragma once
// Une requête GET sur une poignée de libcurl, selon les règles de tous les téléchargements du
// lecteur : HTTP/1.1, en-têtes Accept « text/html, */* » et User-Agent « Mozilla/3.0 (compatible;
// Indy Library) » (et rien d'autre que Host, sauf les deux champs d'une requête conditionnelle
// quand on les donne), jamais de proxy (quoi que dise l'environnement), jamais d'authentification
// (les identifiants d'une adresse sont ignorés), aucune redirection suivie, certificat vérifié en
// https, connexion fermée après la réponse. Tout statut hors 2xx est un échec, sauf le 304 d'une
// requête conditionnelle. Chaque requête est bornée (BornesTelechargement).
//
// Qui fait le transfert (une pile multiple de libcurl) ne fait que ça : la requête prépare la
// poignée, reçoit ce qui arrive, puis dit ce qu'a donné le transfert (conclure).

#include "reading/BibliothequeCurl.h"
#include "reading/BornesTelechargement.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Les champs d'une requête conditionnelle (If-None-Match, If-Modified-Since) : l'ETag et le
// Last-Modified du dernier téléchargement réussi de l'adresse. Vides : une requête ordinaire.
struct ConditionsRequete
{
    QByteArray etag;
    QByteArray derniereModification;
    bool vides() const { return etag.isEmpty() && derniereModification.isEmpty(); }
};

struct ReponseObtenue
{
    long statut = 0;
    QByteArray corps;
    // Les champs ETag et Last-Modified de la réponse, tels quels ; vides sans eux.
    QByteArray etag;
    QByteArray derniereModification;
    // Un 304 à une requête conditionnelle : rien n'a changé depuis, le corps est vide.
    bool inchangee() const { return statut == 304; }
};

class RequeteCurl
{
public:
    // Prépare la poignée (remise à neuf d'abord). ErreurHTTP pour une adresse invalide.
    RequeteCurl(CURL *curl, const QString &adresse, const BornesTelechargement &bornes,
                const QString &fichierAutorites, const ConditionsRequete &conditions = {});
    // Remet la poignée à neuf : elle ne garde aucun pointeur vers cette requête.
    ~RequeteCurl();
    RequeteCurl(const RequeteCurl &) = delete;
    RequeteCurl &operator=(const RequeteCurl &) = delete;

    // Le transfert est abandonné parce que l'utilisateur l'a demandé : conclure lèvera
    // TelechargementAnnule.
    void annuler();

    // Ce qu'a donné le transfert, d'après le code que libcurl en rend : la réponse, ou ErreurHTTP
    // (connexion, statut refusé, borne dépassée), ou TelechargementAnnule.
    ReponseObtenue conclure(CURLcode code);

private:
    struct Reception;
    CURL *m_curl;
    QString m_adresse;
    BornesTelechargement m_bornes;
    bool m_conditionnelle;
    std::unique_ptr<Reception> m_reception;
    std::unique_ptr<CURLU, void (*)(CURLU *)> m_url;
    std::unique_ptr<curl_slist, void (*)(curl_slist *)> m_entetes;
    QByteArray m_autorites;
};
