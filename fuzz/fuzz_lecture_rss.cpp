// Cible libFuzzer : un document quelconque chargé comme un flux, lu, mis en page.
// Un document refusé doit l'être par une exception du programme, jamais par un plantage.

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>

namespace {

class DialoguesMuets : public IDialogues
{
public:
    Reponse afficher(TypeBoite, const QString &, BoutonsBoite, const QString &) override { return Reponse::Non; }
    QString saisir(const QString &, const QString &) override { return {}; }
    std::optional<QString> choisirFichier(const QString &, const QString &, const QString &) override { return {}; }
    void bip(int, int) override {}
};

struct Contexte
{
    Contexte()
    {
        Emplacement::definirDossierExecutable(dossier.path());
    }
    QTemporaryDir dossier;
    DialoguesMuets dialogues;
    TdmRSS module{dialogues};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    static Contexte contexte;
    TDocumentXML document;
    try {
        document.chargerOctets(QByteArray(reinterpret_cast<const char *>(donnees), static_cast<qsizetype>(taille)));
    } catch (const ErreurChargementXML &) {
        return 0;
    }
    PFlux flux;
    try {
        flux = contexte.module.analyserFlux(document);
    } catch (const ErreurIndexXML &) {
        return 0; // racine sans enfant
    }
    contexte.module.genererPageFlux(*flux);
    return 0;
}
