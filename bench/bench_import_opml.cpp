// Import d'une liste OPML de 5 000 flux rangés dans 100 dossiers, comme rss-outil opml-importer
// le fait : lecture de la liste, fusion dans la base, sauvegarde de la base depuis le modèle
// (but : moins d'une seconde). Deux cas : une base vide, et une base qui tient déjà ces 5 000
// flux, relue depuis son fichier (chaque adresse est retrouvée). Médianes de plusieurs
// répétitions ; le temps processeur compte seul sur une machine partagée.
// Usage : bench_import_opml [options de Google Benchmark]

#include "base/ImportOpml.h"
#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int nombreFlux = 5000;
constexpr int nombreDossiers = 100;

QByteArray listeGeneree()
{
    QByteArray d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\"><head><title>Mesure</title></head><body>\n";
    for (int r = 0; r < nombreDossiers; ++r) {
        d += "<outline text=\"Rubrique " + QByteArray::number(r) + " \xc3\xa9t\xc3\xa9\">\n";
        for (int i = r; i < nombreFlux; i += nombreDossiers) {
            const QByteArray n = QByteArray::number(i);
            d += "  <outline type=\"rss\" text=\"Flux n\xc2\xb0" + n + "\" title=\"Flux n\xc2\xb0" + n
                + "\" xmlUrl=\"http://127.0.0.1/flux/" + n + ".xml\" htmlUrl=\"http://127.0.0.1/site/" + n + "/\"/>\n";
        }
        d += "</outline>\n";
    }
    return d + "</body></opml>\n";
}

struct Banc
{
    QTemporaryDir dossier;
    QString liste = dossier.filePath(QStringLiteral("liste.opml"));
    QString modele = dossier.filePath(QStringLiteral("modele.xml"));
    QString base = dossier.filePath(QStringLiteral("baseFlux.xml"));

    Banc()
    {
        for (const auto &[chemin, contenu] : {std::pair{liste, listeGeneree()},
                                              std::pair{modele, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE/>\n")}}) {
            QFile f(chemin);
            if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size())
                std::abort();
        }
    }

    // Un import complet dans le module, comme la commande le fait.
    BilanImportOpml importer(TdmRSS &module)
    {
        const BilanImportOpml bilan = importerAbonnements(lireListeOpml(liste), module.getFluxBase(), module.getRubriquesBase());
        module.sauvegarderBase(modele, base);
        return bilan;
    }
};

void importDansUneBaseVide(benchmark::State &etat)
{
    Banc banc;
    DialoguesMuets dialogues;
    for (auto _ : etat) {
        TdmRSS module(dialogues);
        const BilanImportOpml bilan = banc.importer(module);
        if (bilan.fluxAjoutes != nombreFlux || bilan.rubriquesCreees != nombreDossiers)
            std::abort();
    }
}

// La base écrite par un premier import est relue à chaque tour, comme la commande le fait.
void importDejaFait(benchmark::State &etat)
{
    Banc banc;
    DialoguesMuets dialogues;
    {
        TdmRSS premier(dialogues);
        banc.importer(premier);
    }
    for (auto _ : etat) {
        TdmRSS module(dialogues);
        module.chargerBase(banc.base);
        if (banc.importer(module).dejaPresents != nombreFlux)
            std::abort();
    }
}

BENCHMARK(importDansUneBaseVide)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(importDejaFait)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
