// rss-outil telecharger ADRESSE [--dossier DOSSIER] : une source dans sa copie locale.

#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

namespace {

int telecharger(const QStringList &arguments)
{
    QString adresse;
    QString dossier;
    if (const int code = lireValeurEtDossier(arguments, QStringLiteral("telecharger"), QStringLiteral("une ADRESSE"),
                                             adresse, dossier))
        return code;
    if (!dossier.isEmpty())
        Emplacement::definirDossierExecutable(dossier);

    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    try {
        const QString copie = module.telechargerFlux(adresse);
        ecrireSortie(copie.toUtf8() + '\n');
    } catch (const ErreurLecteur &e) {
        ecrireErreur(e.message());
        return 2;
    }
    // La boîte d'échec est déjà sur la sortie d'erreur ; la copie (CR LF seul) est écrite.
    return dialogues.boitesAffichees() == 0 ? 0 : 1;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("telecharger"),
    {QStringLiteral("telecharger ADRESSE [--dossier DOSSIER]"),
     QStringLiteral("Télécharge ADRESSE dans sa copie locale de DOSSIER/ressourcesHTML/ (DOSSIER tient lieu\n"
                    "      du dossier de l'exécutable ; ressourcesHTML/ doit exister) et écrit le chemin de la copie.\n"
                    "      Sortie 1 si le téléchargement échoue (la copie ne contient alors que CR LF),\n"
                    "      2 si la copie ne peut pas être écrite."),
     telecharger});

} // namespace
