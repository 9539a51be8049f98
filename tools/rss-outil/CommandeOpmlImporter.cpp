// rss-outil opml-importer LISTE BASE : ajoute à un fichier de base les abonnements d'une liste OPML.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/ImportOpml.h"
#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QFileInfo>

namespace {

int opmlImporter(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return erreurArguments(QStringLiteral("« opml-importer » attend une LISTE OPML et un fichier de BASE."));
    const QString &liste = arguments.at(0);
    const QString &base = arguments.at(1);

    ListeOpml abonnements;
    try {
        abonnements = lireListeOpml(liste);
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("La liste « %1 » n'est pas une liste OPML lisible : %2").arg(liste, e.message()));
        return 1;
    }

    // Une base absente part de zéro : la sauvegarde l'écrit depuis le modèle.
    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (QFileInfo::exists(base) && !chargerBaseOuSignaler(module, base))
        return 1;
    const BilanImportOpml bilan = importerAbonnements(abonnements, module.getFluxBase(), module.getRubriquesBase());
    try {
        module.sauvegarderBase(Emplacement::cheminModeleBase(), base);
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("La base ne peut pas être écrite : ") + e.message());
        return 2;
    }
    ecrireSortie(QStringLiteral("Flux ajoutés : %1 ; déjà présents : %2 ; rubriques créées : %3 ; ignorés : %4\n")
                     .arg(bilan.fluxAjoutes)
                     .arg(bilan.dejaPresents)
                     .arg(bilan.rubriquesCreees)
                     .arg(bilan.ignores)
                     .toUtf8());
    return 0;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("opml-importer"),
    {QStringLiteral("opml-importer LISTE BASE"),
     QStringLiteral("Ajoute au fichier de base BASE (créé depuis le modèle du dossier de données de\n"
                    "      rss-outil s'il n'existe pas) les flux et les dossiers de la liste OPML LISTE, sans rien télécharger.\n"
                    "      Des dossiers imbriqués donnent la rubrique « Tech / News » ; un outline dont l'adresse n'est pas\n"
                    "      http ou https est ignoré et compté.\n"
                    "      Sortie 1 : liste ou base illisible (BASE intacte) ; 2 : écriture impossible."),
     opmlImporter});

} // namespace
