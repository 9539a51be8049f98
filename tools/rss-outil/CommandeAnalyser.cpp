// rss-outil analyser SOURCE : le flux d'un document RSS en JSON.

#include "Commandes.h"
#include "DialoguesConsole.h"
#include "FluxJson.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"

namespace {

int analyser(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return erreurArguments(QStringLiteral("« analyser » attend une seule SOURCE (chemin ou adresse)."));
    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!module.chargerDocumentXML(arguments.first()))
        return 1;
    try {
        const PFlux flux = module.analyserFlux(module.XMLDoc);
        QByteArray sortie;
        EcritureJson json(sortie);
        ecrireFluxJson(json, *flux);
        ecrireSortie(sortie);
        return 0;
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("Le document ne peut pas être lu comme un flux : ") + e.message());
        return 2;
    }
}

const EnregistrementCommande enregistrement(
    QStringLiteral("analyser"),
    {QStringLiteral("analyser SOURCE"),
     QStringLiteral("Lit SOURCE (chemin ou adresse http(s)) et écrit son flux en JSON."), analyser});

} // namespace
