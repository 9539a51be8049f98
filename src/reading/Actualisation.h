#pragma once
// L'actualisation des sources, en fond : le fil qui la lance n'attend jamais.
//
// Chaque adresse demandée est téléchargée par la pile multiple de libcurl, sur un fil à elle :
// au plus `simultanes` téléchargements à la fois et `parHote` par hôte, chacun aux règles et aux
// bornes de tous les téléchargements du lecteur (RequeteCurl), conditionnel quand la demande porte
// l'ETag ou la date du dernier téléchargement réussi. Un corps reçu est lu sur un autre fil, par le
// chemin de tout document (décodage, construction avec ses budgets, lecture du flux) ; lu, il est
// écrit dans la copie locale de la source, entière puis renommée. Un 304 et un échec laissent la
// copie telle qu'elle était.
//
// Un résultat par adresse (sourceActualisee), dans l'ordre où elles finissent, puis terminee ;
// tous arrivent par la boucle des messages du fil de l'objet. Après arreter(), plus aucun résultat
// n'arrive, seulement terminee(true).

#include "reading/BornesTelechargement.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <mutex>
#include <thread>

struct DemandeActualisation
{
    QString adresse;
    // Où écrire la copie lue ; vide : elle n'est pas écrite.
    QString copieLocale;
    // Du dernier téléchargement réussi de l'adresse ; vides : requête ordinaire.
    QByteArray etag;
    QByteArray derniereModification;
};

struct ResultatActualisation
{
    enum class Issue { Lue, Inchangee, Echec };

    QString adresse;
    Issue issue = Issue::Echec;
    int statut = 0;       // le statut HTTP de la réponse, 0 sans réponse
    QString erreur;       // Echec : pourquoi (le message du téléchargement ou de la lecture)
    QStringList cles;     // Lue : les clés des informations du flux (TInfo::cle), dans son ordre
    QByteArray etag;      // Lue : les champs de la réponse, pour la prochaine requête conditionnelle
    QByteArray derniereModification;
};

class TActualisation : public QObject
{
    Q_OBJECT
public:
    struct Reglages
    {
        int simultanes = 6;
        int parHote = 2;
        BornesTelechargement bornes;
        // Les certificats d'autorité d'https ; vide : ceux du système.
        QString fichierAutorites;
    };

    explicit TActualisation(QObject *parent = nullptr);
    // Arrête l'actualisation en cours et attend ses fils : aucune copie n'est laissée à moitié.
    ~TActualisation() override;
    TActualisation(const TActualisation &) = delete;
    TActualisation &operator=(const TActualisation &) = delete;

    void setReglages(const Reglages &reglages) { m_reglages = reglages; }
    const Reglages &reglages() const { return m_reglages; }

    // Lance l'actualisation des adresses (une fois chacune) ; faux, sans rien faire, quand une
    // autre n'est pas encore terminée.
    bool lancer(const QList<DemandeActualisation> &demandes);
    // Abandonne ce qui reste ; terminee(true) suit.
    void arreter();
    // Vrai de lancer() à l'arrivée de terminee.
    bool enCours() const { return m_enCours; }

signals:
    void sourceActualisee(const ResultatActualisation &resultat);
    void terminee(bool arretee);

private:
    // Le fil des téléchargements.
    void executer(QList<DemandeActualisation> demandes);
    // Sur un fil de lecture : le corps reçu lu en flux, puis écrit dans la copie locale.
    void lireEnFond(const DemandeActualisation &demande, long statut, const QByteArray &corps,
                    const QByteArray &etag, const QByteArray &derniereModification);
    void publier(const ResultatActualisation &resultat);
    // Réveille le fil des téléchargements qui attend le réseau.
    void reveiller();

    Reglages m_reglages;
    bool m_enCours = false;
    std::thread m_fil;
    std::atomic<bool> m_arret{false};
    // Les lectures en attente ou en cours : tant qu'il y en a `simultanes`, aucun téléchargement ne
    // part (les corps en mémoire restent bornés).
    std::atomic<int> m_lectures{0};
    QThreadPool m_lecteurs;
    std::mutex m_mutexPile;
    void *m_pile = nullptr; // la pile multiple, tant que le fil des téléchargements la tient
};
