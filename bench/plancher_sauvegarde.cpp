// Les planchers de la lecture et de la sauvegarde de la base, dans un processus neuf qui ne lie
// que Qt (Core, Xml) : le fichier de base lu et analysé en QDomDocument, puis ses octets par
// toByteArray(2) et leur écriture par QSaveFile. Répond « analysee <ms> » puis « ecrite <ms> ».
//   plancher_sauvegarde BASE SORTIE

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 3)
        return 2;
    QElapsedTimer chrono;
    chrono.start();
    QFile fichier(QString::fromLocal8Bit(argv[1]));
    QDomDocument document;
    if (!fichier.open(QIODevice::ReadOnly) || !document.setContent(fichier.readAll()))
        return 1;
    std::printf("analysee %.2f\n", chrono.nsecsElapsed() / 1e6);
    chrono.start();
    QSaveFile sortie(QString::fromLocal8Bit(argv[2]));
    const QByteArray octets = document.toByteArray(2);
    if (!sortie.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || sortie.write(octets) != octets.size()
        || !sortie.commit())
        return 1;
    std::printf("ecrite %.2f\n", chrono.nsecsElapsed() / 1e6);
    return 0;
}
