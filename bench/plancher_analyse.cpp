// Le plancher de « rss-outil analyser » : lire le fichier et l'analyser avec QDomDocument, rien
// d'autre. Un exécutable à part qui ne lie que Qt (Core, Xml).
//   plancher_analyse FICHIER

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2)
        return 2;
    QFile fichier(QString::fromLocal8Bit(argv[1]));
    if (!fichier.open(QIODevice::ReadOnly))
        return 1;
    QDomDocument document;
    return document.setContent(fichier.readAll()) ? 0 : 1;
}
