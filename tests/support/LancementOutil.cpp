#include "LancementOutil.h"

#include <QProcess>

ResultatOutil lancerOutil(const QStringList &arguments)
{
    QProcess processus;
    processus.start(QStringLiteral(DOSSIER_BIN "/rss-outil"), arguments);
    ResultatOutil resultat;
    if (!processus.waitForFinished(60000) || processus.exitStatus() != QProcess::NormalExit) {
        processus.kill();
        processus.waitForFinished();
        return resultat;
    }
    resultat.code = processus.exitCode();
    resultat.sortie = processus.readAllStandardOutput();
    resultat.erreur = processus.readAllStandardError();
    return resultat;
}
