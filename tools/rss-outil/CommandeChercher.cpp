// rss-outil chercher BASE TEXTE [--titre] [--lien] [--description] : les flux trouvés.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/TdmRSS.h"

namespace {

int chercher(const QStringList &arguments)
{
    QStringList positionnels;
    ChampsRecherche champs;
    for (const QString &argument : arguments) {
        if (argument == u"--titre")
            champs.titre = true;
        else if (argument == u"--lien")
            champs.lien = true;
        else if (argument == u"--description")
            champs.description = true;
        else if (argument.startsWith(u"--"))
            return erreurArguments(QStringLiteral("option inconnue « %1 » pour « chercher ».").arg(argument));
        else
            positionnels.append(argument);
    }
    if (positionnels.size() != 2)
        return erreurArguments(QStringLiteral("« chercher » attend une BASE et un TEXTE."));

    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!chargerBaseOuSignaler(module, positionnels.at(0)))
        return 1;
    // Le texte cherché n'est converti qu'une fois pour toute la base.
    const TexteRecherche texte(positionnels.at(1));
    QByteArray sortie;
    for (const PFlux &flux : module.getFluxBase()) {
        if (module.fluxTrouve(texte, *flux, champs))
            sortie += flux->getTitre().toUtf8() + '\n';
    }
    ecrireSortie(sortie);
    return 0;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("chercher"),
    {QStringLiteral("chercher BASE TEXTE [--titre] [--lien] [--description]"),
     QStringLiteral("Écrit, un par ligne et dans l'ordre de la base, le titre des flux dont une information\n"
                    "      sauvegardée contient TEXTE dans l'un des champs choisis. Sortie 1 : base illisible."),
     chercher});

} // namespace
