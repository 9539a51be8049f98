#pragma once
// La résolution d'une référence d'adresse contre une adresse de base, selon la RFC 3986
// (section 5.2 : décomposition, fusion des chemins, retrait des segments « . » et « .. »,
// recomposition). Le calcul se fait sur le texte tel qu'écrit, en un temps linéaire : ni la
// casse, ni l'encodage-pourcent, ni les noms d'hôte ne sont retouchés.

#include <QString>

QString resoudreAdresse(const QString &base, const QString &reference);
