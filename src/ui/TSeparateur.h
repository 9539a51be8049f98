#pragma once
// Un séparateur : une barre mince qu'on tire à la souris pour changer la taille du contrôle
// voisin (sa largeur ou sa hauteur), pendant que le contrôle qui remplit prend ce qui reste.
// Contrairement à un QSplitter, il est un contrôle à part entière que l'on peut cacher seul.

#include <QPointer>
#include <QWidget>

class TSeparateur : public QWidget
{
    Q_OBJECT
public:
    // Qt::Horizontal : barre verticale qui change une largeur ; Qt::Vertical : barre horizontale
    // qui change une hauteur. « cibleAvant » : la cible est à gauche (ou au-dessus) de la barre.
    TSeparateur(Qt::Orientation sens, int epaisseur, QWidget *parent = nullptr);
    // La cible prend une taille fixe, jamais moins que son minimum ; le remplissage garde le sien.
    void setCible(QWidget *cible, int minimumCible, QWidget *remplissage, bool cibleAvant);

    // Donne à la cible la taille demandée, bornée par son minimum et par celui du remplissage.
    void deplacerDe(int delta);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int taille(const QWidget *w) const;
    int reserve() const;
    void noterDepart();
    void fixerTaille(QWidget *w, int taille) const;
    int position(const QMouseEvent *event) const;

    Qt::Orientation m_sens;
    QPointer<QWidget> m_cible;
    QPointer<QWidget> m_remplissage;
    int m_minimumCible = 0;
    bool m_cibleAvant = true;
    bool m_tire = false;
    int m_depart = 0;
    int m_tailleDepart = 0;
    int m_reserveDepart = 0;
};
