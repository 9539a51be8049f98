// Chargement et lecture d'un flux (chargerDocumentXML + analyserFlux) comparés à une analyse
// nue par QDomDocument::setContent des mêmes octets, sur des flux générés.
// Usage : bench_lecture_rss [répétitions]

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace {

// Le meilleur temps, en millisecondes, de plusieurs exécutions.
double meilleurTemps(int repetitions, const std::function<void()> &travail)
{
    double meilleur = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        travail();
        meilleur = std::min(meilleur, chrono.nsecsElapsed() / 1e6);
    }
    return meilleur;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dossier;
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);

    struct Cas { const char *nom; QByteArray octets; };
    const Cas cas[] = {
        {"RSS 2.0, 50 items", GenerateurFlux::rss2(50)},
        {"RSS 2.0, 5 000 items", GenerateurFlux::rss2(5000)},
        {"RSS 2.0, 50 000 items", GenerateurFlux::rss2(50000)},
        {"RSS 1.0, 5 000 items", GenerateurFlux::rss1(5000)},
        {"RSS 2.0 CDATA, 5 000", GenerateurFlux::rss2Cdata(5000)},
    };
    std::printf("%-24s %10s %14s %14s %7s\n", "flux", "octets", "lecteur (ms)", "setContent (ms)", "ratio");
    for (const Cas &c : cas) {
        const QString chemin = dossier.filePath(QStringLiteral("flux.xml"));
        QFile fichier(chemin);
        if (!fichier.open(QIODevice::WriteOnly) || fichier.write(c.octets) != c.octets.size())
            return 1;
        fichier.close();
        const int n = c.octets.size() > 10'000'000 ? std::max(1, repetitions / 2) : repetitions;
        const double lecteur = meilleurTemps(n, [&] {
            if (!module.chargerDocumentXML(chemin))
                std::abort();
            PFlux flux = module.analyserFlux(module.XMLDoc);
            benchmark::DoNotOptimize(flux);
        });
        const double nu = meilleurTemps(n, [&] {
            QDomDocument document;
            if (!document.setContent(c.octets, false))
                std::abort();
            benchmark::DoNotOptimize(document);
        });
        std::printf("%-24s %10lld %14.2f %14.2f %7.2f\n", c.nom, static_cast<long long>(c.octets.size()), lecteur,
                    nu, lecteur / nu);
    }

    // Un document hostile de 600 Ko : une entité de 4 000 caractères référencée 200 000 fois.
    QByteArray bombe = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [<!ENTITY e \"";
    bombe += QByteArray(4000, 'x');
    bombe += "\">]>\n<rss><channel><title>";
    bombe += QByteArray("&e;").repeated(200000);
    bombe += "</title></channel></rss>";
    const QString cheminBombe = dossier.filePath(QStringLiteral("bombe.xml"));
    QFile fichierBombe(cheminBombe);
    if (!fichierBombe.open(QIODevice::WriteOnly) || fichierBombe.write(bombe) != bombe.size())
        return 1;
    fichierBombe.close();
    const double refus = meilleurTemps(repetitions, [&] {
        if (module.chargerDocumentXML(cheminBombe))
            std::abort();
    });
    std::printf("\nDocument hostile de %lld octets (entités) : refusé en %.2f ms\n",
                static_cast<long long>(bombe.size()), refus);
    return 0;
}
