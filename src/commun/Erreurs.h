#pragma once
// Les exceptions du programme. Toutes portent un message français lisible par l'utilisateur.

#include <QString>
#include <stdexcept>

class ErreurLecteur : public std::runtime_error
{
public:
    explicit ErreurLecteur(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Un document qui ne se charge pas : fichier illisible, adresse injoignable, XML mal formé.
class ErreurChargementXML : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};

// Un document refusé à la lecture : mal formé (la raison du parseur, avec sa ligne et sa
// colonne), budget dépassé, encodage inconnu ou démenti par les octets. Son message, en
// français, dit pourquoi.
class ErreurDocumentRefuse : public ErreurChargementXML
{
public:
    using ErreurChargementXML::ErreurChargementXML;
};

// L'élément racine demandé à un document inactif.
class ErreurDocumentInactif : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};

// Un enfant demandé à une position hors de la liste.
class ErreurIndexXML : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};

// Un fichier qui ne s'écrit pas (page, copie locale, base).
class ErreurEcriture : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};

// Une connexion ou une requête HTTP qui échoue.
class ErreurHTTP : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};

// libcurl introuvable : aucun téléchargement n'est possible, quelle que soit la connexion.
class ErreurCurlAbsente : public ErreurHTTP
{
public:
    using ErreurHTTP::ErreurHTTP;
};

// Un téléchargement que l'utilisateur a arrêté (Échap, ou fermeture de la fenêtre) : la commande
// s'arrête sans message, comme devant un document non chargé, et rien n'est écrit.
class TelechargementAnnule : public ErreurLecteur
{
public:
    using ErreurLecteur::ErreurLecteur;
};
