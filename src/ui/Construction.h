#pragma once
// Petits outils de construction de la fenêtre : nommer un contrôle comme son membre, poser des
// boîtes de disposition sans marge ni espacement.

#include <QBoxLayout>
#include <QWidget>

// Donne au contrôle le nom de son membre : « NOMMER(arbreFavoris) » nomme l'objet « arbreFavoris ».
#define NOMMER(membre) (membre)->setObjectName(QStringLiteral(#membre))

namespace Construction {

inline QVBoxLayout *colonne(QWidget *w)
{
    auto disposition = new QVBoxLayout(w);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->setSpacing(0);
    return disposition;
}

inline QHBoxLayout *rangee(QWidget *w)
{
    auto disposition = new QHBoxLayout(w);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->setSpacing(0);
    return disposition;
}

} // namespace Construction
