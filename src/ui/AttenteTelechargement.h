#pragma once
// Ce que la fenêtre fait pendant un téléchargement, qui bloque le fil de l'interface :
//  - au début, le curseur d'attente et une peinture de ce qui attend de l'être (la barre de
//    progression que la commande vient de montrer, quel que soit l'endroit d'où elle est partie) ;
//  - pendant, seulement repeindre : exposition, redimensionnement, mises en page et peintures.
//    Les entrées de l'utilisateur (souris, clavier, molette, toucher, glisser-déposer, bulles,
//    demande de fermeture de la fenêtre) sont jetées, pas mises de côté ; aucune minuterie ne
//    bat, aucune prise n'est lue, et le moteur de la vue de page attend la fin. Aucune commande,
//    aucun gestionnaire ne s'exécute donc avant la fin du téléchargement ;
//  - à la fin, les entrées arrivées entre-temps sont jetées à leur tour, puis le curseur revient.
// Les minuteries et le moteur de la vue reprennent ensuite là où ils en étaient.

#include "reading/ClientHTTP.h"

#include <QObject>

class TAttenteTelechargement : public QObject, public IAttenteTelechargement
{
public:
    explicit TAttenteTelechargement(QObject *parent = nullptr);
    ~TAttenteTelechargement() override;

    void commencer() override;
    void patienter() override;
    void finir() override;

    // Vrai entre commencer() et finir().
    bool enCours() const { return m_profondeur > 0; }
    // Les entrées jetées depuis la création (tests).
    int entreesJetees() const { return m_jetees; }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void repeindre();
    // Rend le curseur et retire le filtre des entrées.
    void relacher();

    int m_profondeur = 0;
    int m_jetees = 0;
};
