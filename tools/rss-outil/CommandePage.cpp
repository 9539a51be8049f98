// rss-outil page SOURCE --dossier DIR [--sauvegardees BASE URLRSS] : la page d'un flux.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

namespace {

int page(const QStringList &arguments)
{
    QString source, dossier, base, urlrss;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--dossier" && i + 1 < arguments.size()) {
            dossier = arguments.at(++i);
        } else if (argument == u"--sauvegardees" && i + 2 < arguments.size()) {
            base = arguments.at(++i);
            urlrss = arguments.at(++i);
        } else if (!argument.startsWith(u"--") && source.isEmpty()) {
            source = argument;
        } else {
            return erreurArguments(QStringLiteral("argument inattendu « %1 » pour « page ».").arg(argument));
        }
    }
    if (source.isEmpty() || dossier.isEmpty())
        return erreurArguments(QStringLiteral("« page » attend une SOURCE et --dossier DIR."));

    Emplacement::definirDossierExecutable(dossier);
    DialoguesConsole dialogues;
    TdmRSS module(dialogues);

    PFlux fluxSauvegarde;
    if (!base.isEmpty()) {
        if (!chargerBaseOuSignaler(module, base))
            return 3;
        fluxSauvegarde = module.chercherFluxParUrl(urlrss);
        if (!fluxSauvegarde) {
            ecrireErreur(QStringLiteral("La base « %1 » n'a aucun flux d'adresse « %2 ».").arg(base, urlrss));
            return 3;
        }
    }

    if (!module.chargerDocumentXML(source))
        return 1;
    QString chemin;
    try {
        chemin = module.genererPageDocument();
        if (fluxSauvegarde)
            chemin = module.genererPageInfosSauvegardees(*fluxSauvegarde);
    } catch (const ErreurEcriture &e) {
        ecrireErreur(e.message());
        return 4;
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("Le document ne peut pas être lu comme un flux : ") + e.message());
        return 2;
    }
    ecrireSortie(chemin.toUtf8() + '\n');
    return 0;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("page"),
    {QStringLiteral("page SOURCE --dossier DIR [--sauvegardees BASE URLRSS]"),
     QStringLiteral("Écrit la page du flux SOURCE dans DIR/rss-temps.html (DIR tient lieu du dossier de\n"
                    "      l'exécutable) ; avec --sauvegardees, y ajoute les informations sauvegardées du\n"
                    "      premier flux de la base BASE dont l'adresse est URLRSS. Écrit le chemin de la page.\n"
                    "      Sortie 1 : SOURCE illisible ; 2 : pas un flux ; 3 : base illisible ou flux absent ;\n"
                    "      4 : page impossible à écrire."),
     page});

} // namespace
