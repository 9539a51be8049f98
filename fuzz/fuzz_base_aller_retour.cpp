// Cible libFuzzer : un fichier de base quelconque chargé, enregistré puis rechargé.
// L'oracle : la base rechargée est égale, valeur par valeur, à la base chargée.

#include "DescriptionBase.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Contexte
{
    Contexte()
    {
        Emplacement::definirDossierExecutable(dossier.path());
        QFile modele(Emplacement::cheminModeleBase());
        if (!modele.open(QIODevice::WriteOnly)
            || modele.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE/>\n") <= 0)
            std::abort();
    }
    // En mémoire (tmpfs) : une écriture sur disque chargé peut à elle seule dépasser la seconde.
    QTemporaryDir dossier{QStringLiteral("/dev/shm/lecteur-rss-fuzz-XXXXXX")};
    DialoguesMuets dialogues;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    static Contexte contexte;
    const QString entree = contexte.dossier.filePath(QStringLiteral("entree.xml"));
    {
        QFile fichier(entree);
        if (!fichier.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || fichier.write(reinterpret_cast<const char *>(donnees), static_cast<qint64>(taille)) != static_cast<qint64>(taille))
            std::abort();
    }
    TdmRSS premier(contexte.dialogues);
    try {
        premier.chargerBase(entree);
    } catch (const ErreurLecteur &) {
        return 0; // fichier refusé : rien à comparer
    }
    premier.sauvegarderBase();
    TdmRSS second(contexte.dialogues);
    second.chargerBase(Emplacement::cheminBase());
    const QStringList avant = decrireBase(premier.getFluxBase(), premier.getRubriquesBase());
    const QStringList apres = decrireBase(second.getFluxBase(), second.getRubriquesBase());
    if (avant != apres) {
        std::fprintf(stderr, "La base rechargée diffère :\n%s\n---\n%s\n", qPrintable(avant.join(u'\n')),
                     qPrintable(apres.join(u'\n')));
        std::abort();
    }
    return 0;
}
