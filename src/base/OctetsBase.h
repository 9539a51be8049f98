#pragma once
// Le document de la base en octets, exactement ceux de QDomDocument::toByteArray(2), écrits
// directement en UTF-8 : sans le texte UTF-16 du document entier que toByteArray fait d'abord,
// puis convertit. Le chemin direct ne connaît que ce que la sauvegarde construit : une
// déclaration XML (codage UTF-8 ou non dit), des éléments sans attribut ni espace de noms dont
// les enfants sont soit des éléments, soit un seul texte. Tout autre document (un modèle qui
// porterait un commentaire, des attributs...) est confié à toByteArray.

#include <QByteArray>
#include <QDomDocument>
#include <optional>

QByteArray octetsDuDocument(const QDomDocument &document);

// Le chemin direct seul : rien quand le document lui est étranger.
std::optional<QByteArray> octetsDirectsDuDocument(const QDomDocument &document);
