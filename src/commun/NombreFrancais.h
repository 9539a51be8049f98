#pragma once
// Un nombre écrit à la française, les milliers séparés par une espace (« 16 777 216 »), pour les
// messages.

#include <QLocale>
#include <QString>

inline QString nombreFrancais(qint64 n) { return QLocale(QLocale::French).toString(n); }

// Le même pour une page en Windows-1252, qui n'a pas l'espace fine insécable de la locale
// (U+202F, qui y deviendrait « ? ») : une espace insécable la remplace.
inline QString nombreFrancaisEtroit(qint64 n) { return nombreFrancais(n).replace(QChar(0x202F), QChar(0xA0)); }
