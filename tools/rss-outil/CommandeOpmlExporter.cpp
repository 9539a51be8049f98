// rss-outil opml-exporter BASE : les abonnements d'un fichier de base en liste OPML 2.0.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/ExportOpml.h"
#include "base/TdmRSS.h"

namespace {

int opmlExporter(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return erreurArguments(QStringLiteral("« opml-exporter » attend un seul fichier de BASE."));
    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!chargerBaseOuSignaler(module, arguments.first()))
        return 1;
    int valeursRemplacees = 0;
    ecrireSortie(ecrireListeOpml(module.getFluxBase(), module.getRubriquesBase(), &valeursRemplacees));
    if (valeursRemplacees > 0)
        ecrireErreur(QStringLiteral("Valeurs changées : %1 (caractères que XML refuse remplacés par U+FFFD)")
                         .arg(valeursRemplacees));
    return 0;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("opml-exporter"),
    {QStringLiteral("opml-exporter BASE"),
     QStringLiteral("Écrit les flux du fichier de base BASE, rangés par rubrique, en liste OPML 2.0 (UTF-8).\n"
                    "      Un caractère que XML refuse devient U+FFFD ; le nombre de valeurs changées va à la sortie d'erreur."),
     opmlExporter});

} // namespace
