#pragma once
// Ce que la fenêtre fait pendant un téléchargement, qui bloque le fil de l'interface.
//
// Aucune entrée n'atteint la fenêtre : pendant l'attente, un bloqueur modal pour toute
// l'application est montré (une fenêtre sans cadre d'un pixel, posée sur la barre de progression,
// qui prend le clavier). Tant qu'une fenêtre modale est montrée, Qt ne remet aux autres fenêtres
// aucun événement d'entrée venu du système de fenêtres : souris, clavier (donc raccourcis et
// mnémoniques), molette, toucher, tablette, glisser-déposer, survol, fermeture. Le refus se fait
// à l'arrivée de l'événement, avant qu'il devienne un événement de widget : il vaut pour tout genre
// d'entrée, y compris ceux que personne n'a pensé à nommer. Ce qui est refusé est perdu, pas
// rejoué après l'attente.
//
// Pendant l'attente :
//  - la fenêtre entière se repeint et suit les redimensionnements, vue de page comprise (le
//    moteur de la vue et les minuteries tournent ; aucune prise n'est lue) ; aucune commande ne
//    s'exécute, d'où que vienne l'appel (la fenêtre refuse les commandes pendant l'attente) ;
//  - le curseur d'attente est montré, exactement le temps de l'attente ;
//  - la barre de progression dit « Échap : annuler » : Échap arrête le téléchargement ;
//  - la case de fermeture de la fenêtre (que Qt refuse pendant la modalité) arrête le
//    téléchargement, puis la fenêtre se ferme comme à l'ordinaire, questions comprises.

#include "reading/ClientHTTP.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QProgressBar;
class QWidget;
class TGuetteurFermeture;

class TAttenteTelechargement : public QObject, public IAttenteTelechargement
{
public:
    // La fenêtre que l'attente bloque, et sa barre de progression.
    TAttenteTelechargement(QWidget *fenetre, QProgressBar *barre);
    ~TAttenteTelechargement() override;

    void commencer() override;
    bool patienter() override;
    void finir() override;

    // Vrai entre commencer() et finir().
    bool enCours() const { return m_profondeur > 0; }

    // Arrête le téléchargement en cours (Échap).
    void annuler();
    // Arrête le téléchargement en cours ; une fois la commande finie, la fenêtre se ferme comme
    // par sa case de fermeture.
    void annulerPuisFermer();

    // Le bloqueur modal (tests).
    QWidget *bloqueur() const { return m_bloqueur; }

private:
    void repeindre();
    // Rend la fenêtre, la barre et le curseur tels qu'avant l'attente.
    void relacher();

    QWidget *m_fenetre;
    QPointer<QProgressBar> m_barre;
    QPointer<QWidget> m_bloqueur;
    std::unique_ptr<TGuetteurFermeture> m_guetteur;
    int m_profondeur = 0;
    bool m_arret = false;
    bool m_fermerEnsuite = false;
    // Ce que l'attente change, rendu à la fin.
    bool m_fenetreActive = false;
    bool m_barreCachee = false;
    bool m_texteVisible = false;
    QString m_format;
};
