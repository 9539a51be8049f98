#pragma once
// Un nombre écrit à la française, les milliers séparés par une espace (« 16 777 216 »), pour les
// messages.

#include <QLocale>
#include <QString>

inline QString nombreFrancais(qint64 n) { return QLocale(QLocale::French).toString(n); }
