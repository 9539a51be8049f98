#include "commun/EcritureFichier.h"

#include "commun/Erreurs.h"

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
