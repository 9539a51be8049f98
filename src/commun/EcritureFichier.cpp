#include "commun/EcritureFichier.h"

#include "commun/Erreurs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

void ecrireFichierEntier(const QString &chemin, const QByteArray &contenu)
{
    QSaveFile fichier(chemin);
    // Sans tampon : une écriture partielle (disque plein, taille de fichier limitée) se voit au
    // retour de write(). Avec le tampon de QFileDevice, elle passerait inaperçue et commit()
    // installerait un fichier tronqué.
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ErreurEcriture(QStringLiteral("Impossible d'écrire « %1 » : %2").arg(chemin, fichier.errorString()));
    errno = 0;
    const qint64 ecrits = fichier.write(contenu);
    if (ecrits != contenu.size()) {
        const QString cause = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : fichier.errorString();
        fichier.cancelWriting();
        throw ErreurEcriture(QStringLiteral("Impossible d'écrire « %1 » : %2").arg(chemin, cause));
    }
    if (!fichier.commit())
        throw ErreurEcriture(QStringLiteral("Impossible d'écrire « %1 » : %2").arg(chemin, fichier.errorString()));
}

int supprimerRestesEcriture(const QString &chemin)
{
    // QSaveFile écrit d'abord dans « nom.XXXXXX », où Qt tire six lettres ASCII au hasard.
    const QFileInfo fichier(chemin);
    const QRegularExpression reste(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(fichier.fileName()) + QStringLiteral("\\.[A-Za-z]{6}")));
    const QDir dossier = fichier.absoluteDir();
    int effaces = 0;
    for (const QString &nom : dossier.entryList(QDir::Files)) {
        if (reste.match(nom).hasMatch() && QFile::remove(dossier.filePath(nom)))
            ++effaces;
    }
    return effaces;
}

QString nomCopieIllisible(const QString &chemin, const QDateTime &moment)
{
    return chemin + QStringLiteral(".illisible-") + moment.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

QString cheminLibreCopieIllisible(const QString &chemin, const QDateTime &moment)
{
    const QString copie = nomCopieIllisible(chemin, moment);
    QString libre = copie;
    for (int n = 2; QFileInfo::exists(libre); ++n)
        libre = copie + QLatin1Char('-') + QString::number(n);
    return libre;
}
