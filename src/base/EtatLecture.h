#pragma once
// L'état de lecture : pour chaque adresse de source, ce que l'utilisateur en a déjà vu et ce que
// la dernière actualisation en a rapporté. Il vit dans etatLecture.json, à côté de la base, que
// rien de ceci ne touche. Le fichier est écrit entier d'un coup ; illisible au démarrage, il est
// gardé à côté sous un nom daté et la lecture repart de zéro.
//
// Une information est reconnue par sa clé (TInfo::cle). Pour chaque source :
//  - vues : les clés déjà vues dans un téléchargement ou une page, celles de la dernière copie
//    lue d'abord, puis au plus 1 000 autres, des plus récentes aux plus anciennes ;
//  - nouvelles : les clés de la dernière copie lue que l'utilisateur n'a pas encore vues en page
//    (une clé y entre quand elle n'était pas dans vues) ; leur nombre est celui que la fenêtre
//    montre. Ouvrir la source, ou tout marquer comme lu, le remet à zéro ;
//  - l'ETag et le Last-Modified du dernier téléchargement lu, que la prochaine actualisation
//    renvoie (If-None-Match, If-Modified-Since) ;
//  - le moment, le résultat (« lu », « inchange », « echec »), le statut HTTP et le message
//    d'échec de la dernière actualisation.

#include "model/TFlux.h"
#include "reading/Actualisation.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

class TEtatLecture
{
public:
    // Au-delà des clés de la dernière copie, les clés vues gardées par source.
    static constexpr int autresClesGardees = 1000;

    struct Source
    {
        QStringList vues;
        QStringList nouvelles;
        QByteArray etag;
        QByteArray derniereModification;
        QDateTime actualisation; // vide : jamais actualisée
        QString resultat;        // « lu », « inchange », « echec », vide : jamais actualisée
        int statut = 0;
        QString erreur;
    };

    // Ce qu'est une information d'une source au moment où sa page s'écrit.
    class Nouveautes
    {
    public:
        bool estNouvelle(const QString &cle) const { return !m_vues.contains(cle) || m_nouvelles.contains(cle); }

    private:
        friend class TEtatLecture;
        QSet<QString> m_vues;
        QSet<QString> m_nouvelles;
    };

    // Ce que charger a trouvé.
    struct Chargement
    {
        // Le fichier était illisible : gardé sous ce nom, l'état repart de zéro.
        QString copieIllisible;
        QString raison;
    };

    // Lit le fichier ; absent, l'état est vide. Illisible (ou pas un état de lecture), il est
    // renommé à côté de lui sous un nom daté et l'état est vide : rien ne bloque le démarrage.
    Chargement charger(const QString &chemin);
    // Écrit tout l'état, d'un seul coup (ErreurEcriture).
    void ecrire(const QString &chemin) const;

    // Une demande par adresse distincte des flux, dans leur ordre : copie locale de l'adresse et
    // champs conditionnels de son dernier téléchargement lu.
    QList<DemandeActualisation> demandes(const QList<PFlux> &flux) const;
    // Range le résultat d'une actualisation ; rend le nombre de clés jamais vues jusque-là.
    int appliquer(const ResultatActualisation &resultat, const QDateTime &moment = QDateTime::currentDateTimeUtc());

    // À prendre avant d'écrire la page d'une source qu'on ouvre ; puis marquerLues.
    Nouveautes nouveautes(const QString &adresse) const;
    // L'utilisateur a vu ces informations (la page de la source ouverte) : elles deviennent les
    // clés de la dernière copie et la source n'a plus de nouvelles.
    void marquerLues(const QString &adresse, const QStringList &cles);
    void toutMarquerLu();

    int nombreNouvelles(const QString &adresse) const;
    // Le message de la dernière actualisation de l'adresse quand elle a échoué ; vide sinon.
    QString echec(const QString &adresse) const;
    const Source *source(const QString &adresse) const;
    // Oublie les adresses qui ne sont plus celles d'aucun de ces flux.
    void garderSeulement(const QList<PFlux> &flux);

    bool actualisationAutomatique() const { return m_actualisationAutomatique; }
    void setActualisationAutomatique(bool oui) { m_actualisationAutomatique = oui; }

private:
    QHash<QString, Source> m_sources;
    bool m_actualisationAutomatique = false;
};
