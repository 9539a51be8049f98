// rss-outil : le cœur du lecteur en ligne de commande, pour les scripts, le diagnostic
// et les mesures.

#include "Commandes.h"

#include "commun/DossierDonnees.h"
#include "commun/Erreurs.h"

#include <QCoreApplication>
#include <cstdio>

std::map<QString, Commande> &commandes()
{
    static std::map<QString, Commande> table;
    return table;
}

void ecrireSortie(const QByteArray &octets)
{
    std::fwrite(octets.constData(), 1, static_cast<size_t>(octets.size()), stdout);
    std::fflush(stdout);
}

void ecrireErreur(const QString &texte)
{
    std::fprintf(stderr, "%s\n", texte.toUtf8().constData());
}

namespace {

void afficherAide(std::FILE *sortie)
{
    QString aide = QStringLiteral("Usage : rss-outil COMMANDE [ARGUMENTS...]\n\nCommandes :\n");
    for (const auto &[nom, commande] : commandes())
        aide += QStringLiteral("  %1\n      %2\n").arg(commande.usage, commande.resume);
    aide += QStringLiteral("  --help\n      Affiche cette aide.\n");
    std::fprintf(sortie, "%s", aide.toUtf8().constData());
}

} // namespace

int erreurArguments(const QString &message)
{
    ecrireErreur(QStringLiteral("rss-outil : ") + message);
    ecrireErreur(QStringLiteral("Essayez « rss-outil --help »."));
    return 64;
}

int lireValeurEtDossier(const QStringList &arguments, const QString &commande, const QString &attendu,
                        QString &valeur, QString &dossier)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--dossier") {
            if (i + 1 >= arguments.size() || !dossier.isEmpty())
                return erreurArguments(QStringLiteral("« --dossier » attend un seul DOSSIER."));
            dossier = arguments.at(++i);
        } else if (valeur.isEmpty() && !argument.startsWith(u"--")) {
            valeur = argument;
        } else {
            return erreurArguments(QStringLiteral("argument inattendu « %1 » pour « %2 ».").arg(argument, commande));
        }
    }
    if (valeur.isEmpty())
        return erreurArguments(QStringLiteral("« %1 » attend %2.").arg(commande, attendu));
    return 0;
}

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    // Le même dossier de données que le lecteur : à côté de l'exécutable, ou celui de
    // l'utilisateur quand le programme est installé.
    try {
        DossierDonnees::appliquerAuDemarrage();
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("rss-outil : ") + e.message());
        return 2;
    }
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return erreurArguments(QStringLiteral("aucune commande."));
    const QString nom = arguments.takeFirst();
    if (nom == u"--help" || nom == u"-h" || nom == u"aide") {
        afficherAide(stdout);
        return 0;
    }
    const auto trouvee = commandes().find(nom);
    if (trouvee == commandes().end())
        return erreurArguments(QStringLiteral("commande inconnue « %1 ».").arg(nom));
    return trouvee->second.executer(arguments);
}
