#pragma once
// La résolution d'une référence d'adresse contre une adresse de base, selon la RFC 3986
// (section 5.2 : décomposition, fusion des chemins, retrait des segments « . » et « .. »,
// recomposition). Le calcul se fait sur le texte tel qu'écrit, en un temps linéaire : ni la
// casse, ni l'encodage-pourcent, ni les noms d'hôte ne sont retouchés.

#include <QString>
#include <QStringView>
#include <optional>

QString resoudreAdresse(const QString &base, const QString &reference);

// Vrai pour une adresse http:// ou https:// (casse ignorée).
bool estAdresseHttp(QStringView adresse);

// Vrai quand l'adresse commence par un schéma (« http: », « mailto: »...) : elle est absolue.
bool estAdresseAbsolue(QStringView adresse);

// Le texte sans les blancs XML (espace, tabulation, retours) qui l'entourent.
QStringView sansBlancsXml(QStringView texte);

// Une adresse écrite dans un document : sans les blancs XML qui l'entourent, puis résolue contre
// la base quand il y en a une et qu'elle est relative ; sinon telle qu'écrite (vide si vide).
QString adresseDuDocument(QStringView ecrite, const std::optional<QString> &base);
