#pragma once
// Une boîte peinte : une surface de dessin sans bordure, peinte à chaque fois en entier par l'une
// des routines de Peinture.h, avec sa légende. Elle sert de bouton (signal clicked sur un relâché
// du bouton gauche au-dessus d'elle), de titre de panneau ou de fond.

#include <QFont>
#include <QWidget>

class TBoitePeinte : public QWidget
{
    Q_OBJECT
public:
    enum class Dessin {
        Bouton,        // dessinerBouton
        Titre,         // dessinerTitre
        FondCommandes, // degradeFondCommandes, sans légende
    };

    TBoitePeinte(Dessin dessin, const QString &legende, QWidget *parent = nullptr);

    Dessin dessin() const { return m_dessin; }

    QString legende() const { return m_legende; }
    void setLegende(const QString &legende);

    // L'indice (« hint ») : la bulle d'aide de la boîte. Une boîte « légende depuis l'indice »
    // peint son indice en guise de légende (le titre du flux courant).
    QString indice() const { return toolTip(); }
    void setIndice(const QString &indice);
    void setLegendeDepuisIndice(bool oui);
    // Ce que la boîte écrit : sa légende, ou son indice.
    QString legendePeinte() const;

    // Aspect enfoncé : dessiné dès qu'un bouton de la souris est pressé sur la boîte, effacé au
    // relâché, après la commande quand le relâché fait un clic.
    void setAspectEnfonce(bool oui) { m_aspectEnfonce = oui; }
    bool aspectEnfonce() const { return m_aspectEnfonce; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Dessine tout de suite l'aspect demandé, hors du cycle normal de peinture.
    void redessinerMaintenant(bool enfonce);

    Dessin m_dessin;
    QString m_legende;
    bool m_legendeDepuisIndice = false;
    bool m_aspectEnfonce = false;
    // Posé par un appui, consommé par la peinture suivante : toute autre peinture montre l'aspect normal.
    bool m_peindreEnfonce = false;
    // Police et couleur du canevas telles que le dernier dessin les a laissées (l'aspect enfoncé
    // garde leur graisse et leur couleur).
    QFont m_policeCanevas;
    QColor m_couleurCanevas = Qt::black;
    bool m_canevasInitialise = false;
};
