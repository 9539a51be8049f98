#pragma once
// Le codage des valeurs dans le fichier de base. Le XML seul ne rend pas toutes les valeurs :
// XML 1.0 n'admet ni les caractères de contrôle (sauf tabulation et fins de ligne), ni U+FFFE,
// ni U+FFFF, ni une moitié de paire de substitution isolée, et le lecteur DOM jette un texte
// fait uniquement de blancs (espaces, U+00A0, U+3000...). Ces caractères-là sont écrits sous la
// forme U+FDD0 suivi de quatre chiffres hexadécimaux (le code UTF-16). U+FDD0 est un
// non-caractère réservé à l'usage interne : on ne le trouve pas dans un texte échangé ; s'il
// apparaît dans une valeur, il est lui-même écrit ainsi. Toute autre valeur s'écrit telle quelle.

#include <QString>

namespace CodageBase {

constexpr char16_t marque = 0xFDD0;

// La forme écrite d'une valeur (avant l'échappement XML, que le document fait).
QString encoder(const QString &valeur);
// La valeur d'une forme écrite. Une marque qui n'est pas suivie de quatre chiffres
// hexadécimaux reste telle quelle.
QString decoder(const QString &texte);

// Un titre ou un copyright qui est du texte (et non du HTML) est suivi dans la base d'un
// élément « titreEnTexte » ou « copyrightEnTexte » qui porte cette valeur ; sans lui, le champ est
// du HTML, comme dans toute base écrite avant. Les lecteurs plus anciens sautent cet élément.
inline QString valeurEnTexte() { return QStringLiteral("oui"); }

} // namespace CodageBase
