#pragma once
// La mémoire d'un processus lue dans /proc, pour les mesures : rien que QtCore.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace MemoireProcessus {

// Un champ en kio de /proc/<pid>/<fichier> (« VmRSS: », « Pss: »...), 0 s'il manque ; pid 0 : ce
// processus-ci.
inline qint64 champKio(qint64 pid, const char *fichier, const QByteArray &champ)
{
    QFile f(pid ? QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(fichier))
                : QStringLiteral("/proc/self/%1").arg(QLatin1String(fichier)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &ligne : f.readAll().split('\n'))
        if (ligne.startsWith(champ))
            return ligne.mid(champ.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Remet à la mémoire résidente du moment le plus haut (VmHWM) de ce processus.
inline void remettreLePic()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace MemoireProcessus
