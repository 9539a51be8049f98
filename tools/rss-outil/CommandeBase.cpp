// rss-outil base FICHIER [--reecrire DIR] : le contenu d'un fichier de base, ou sa réécriture.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"
#include "FluxJson.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

namespace {

// Les clés de chaque objet dans l'ordre croissant, celui de QJsonObject.
QByteArray baseEnJson(TdmRSS &module)
{
    QByteArray sortie;
    EcritureJson json(sortie);
    json.ouvrirObjet();
    json.cle("flux");
    json.ouvrirTableau();
    for (const PFlux &f : module.getFluxBase())
        ecrireFluxJson(json, *f);
    json.fermerTableau();
    json.cle("rubriques");
    json.ouvrirTableau();
    for (const PRubrique &r : module.getRubriquesBase()) {
        json.ouvrirObjet();
        json.membre("couleur", depuisEtroit(r->getCouleur()));
        json.membre("icone", r->getIcone());
        json.membre("nom", r->getNom());
        json.fermerObjet();
    }
    json.fermerTableau();
    json.fermerObjet();
    return sortie;
}

int base(const QStringList &arguments)
{
    QString fichier, dossier;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--reecrire" && i + 1 < arguments.size())
            dossier = arguments.at(++i);
        else if (!argument.startsWith(u"--") && fichier.isEmpty())
            fichier = argument;
        else
            return erreurArguments(QStringLiteral("argument inattendu « %1 » pour « base ».").arg(argument));
    }
    if (fichier.isEmpty())
        return erreurArguments(QStringLiteral("« base » attend un FICHIER de base."));

    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!chargerBaseOuSignaler(module, fichier))
        return 1;
    if (dossier.isEmpty()) {
        ecrireSortie(baseEnJson(module));
        return 0;
    }

    // Le modèle est celui du dossier de données de rss-outil ; DIR tient lieu du dossier de
    // l'exécutable pour le fichier écrit.
    const QString modele = Emplacement::cheminModeleBase();
    Emplacement::definirDossierExecutable(dossier);
    try {
        const QString chemin = module.sauvegarderBase(modele, Emplacement::cheminBase());
        ecrireSortie(chemin.toUtf8() + '\n');
        return 0;
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("La base ne peut pas être écrite : ") + e.message());
        return 2;
    }
}

const EnregistrementCommande enregistrement(
    QStringLiteral("base"),
    {QStringLiteral("base FICHIER [--reecrire DIR]"),
     QStringLiteral("Lit le fichier de base et écrit ses flux et ses rubriques en JSON ; avec --reecrire,\n"
                    "      le sauvegarde à la place dans DIR/baseFlux.xml depuis le modèle du dossier de\n"
                    "      données de rss-outil et écrit le chemin. Sortie 1 : base illisible ; 2 : écriture impossible."),
     base});

} // namespace
