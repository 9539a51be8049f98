#pragma once
// Une barre d'outils dont le fond est un dégradé bleu, peint avec la hauteur et la largeur de son
// rectangle avant que ses boutons se dessinent : degradeBleu pour la barre d'outils,
// degradeBleuInverse pour la barre de menu.

#include <QToolBar>

class TBarrePeinte : public QToolBar
{
    Q_OBJECT
public:
    enum class Fond { Bleu, BleuInverse };

    TBarrePeinte(Fond fond, const QString &titre, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Fond m_fond;
};
