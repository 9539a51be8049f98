#pragma once
// Une page ou un fragment HTML lus par gumbo comme un navigateur les lit, indépendamment du
// programme : le texte qu'on y voit, et la forme d'une page de flux.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace LecturePage {

// Le texte visible d'un fragment : ses textes bout à bout (ni script, ni style, ni title, ni
// contenu de cadre), chaque suite de blancs réduite à un espace, sans blanc aux bords.
QString texteVisible(const QString &html);

// Le texte visible de chaque cellule de la table des informations d'une page de flux (Windows-1252),
// quand la page a la forme attendue : le pied « RSS - lang : » en dernier élément du corps, et juste
// avant lui la table des informations, dont chaque ligne a une seule cellule. Rien sinon.
std::optional<QStringList> cellulesDesInformations(const QByteArray &page);

} // namespace LecturePage
