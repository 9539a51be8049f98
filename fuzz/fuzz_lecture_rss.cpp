// Cible libFuzzer : un document quelconque chargé comme un flux, lu, mis en page, et son arbre XML
// parcouru.
// Un document refusé doit l'être par une exception du programme, jamais par un plantage.

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "reading/ArbreXML.h"

#include <QTemporaryDir>
#include <cstdint>

namespace {

struct Contexte
{
    Contexte()
    {
        Emplacement::definirDossierExecutable(dossier.path());
    }
    // En mémoire (tmpfs) : une écriture sur disque chargé peut à elle seule dépasser la seconde.
    QTemporaryDir dossier{QStringLiteral("/dev/shm/lecteur-rss-fuzz-XXXXXX")};
    DialoguesMuets dialogues;
    TdmRSS module{dialogues};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    static Contexte contexte;
    TdmRSS &module = contexte.module;
    try {
        module.XMLDoc.chargerOctets(QByteArray(reinterpret_cast<const char *>(donnees), static_cast<qsizetype>(taille)));
    } catch (const ErreurChargementXML &) {
        return 0;
    }
    qsizetype noeuds = 0;
    int niveau = 0;
    ArbreXML::parcourir(
        module.XMLDoc.elementDocument(), [&](const QDomNode &, const QString &, int) { ++noeuds, ++niveau; },
        [&] { --niveau; });
    if (niveau != 0)
        std::abort(); // chaque nœud entré doit être refermé
    try {
        module.genererPageDocument();
    } catch (const ErreurIndexXML &) {
        return 0; // racine sans enfant
    }
    return 0;
}
