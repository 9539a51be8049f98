// Chargement et lecture d'un flux (chargerDocumentXML + analyserFlux) comparés à une analyse
// nue par QDomDocument::setContent des mêmes octets, sur des flux RSS et Atom générés : médianes
// du temps processeur de tours alternés, et leur rapport.
// Usage : bench_lecture_rss [tours]

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// Le temps processeur du fil courant, en millisecondes, que prend le travail : la machine de
// mesure est partagée, et le temps écoulé compterait aussi celui des autres processus.
double millisecondes(const std::function<void()> &travail)
{
    const auto maintenant = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    const double debut = maintenant();
    travail();
    return maintenant() - debut;
}

double mediane(std::vector<double> temps)
{
    std::sort(temps.begin(), temps.end());
    const std::size_t n = temps.size();
    return n % 2 ? temps[n / 2] : (temps[n / 2 - 1] + temps[n / 2]) / 2;
}

// Les médianes, en millisecondes, de deux travaux chronométrés en tours alternés.
std::pair<double, double> medianesAlternees(int tours, const std::function<void()> &a, const std::function<void()> &b)
{
    std::vector<double> ta, tb;
    for (int i = 0; i < tours; ++i) {
        ta.push_back(millisecondes(a));
        tb.push_back(millisecondes(b));
    }
    return {mediane(ta), mediane(tb)};
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
        {"Atom, 5 000 html", GenerateurFlux::atom(5000, false)},
        {"Atom, 5 000 xhtml", GenerateurFlux::atom(5000, true)},
        {"Atom, 50 000 html", GenerateurFlux::atom(50000, false)},
    };
    std::printf("%-24s %10s %14s %14s %7s\n", "flux", "octets", "lecteur (ms)", "setContent (ms)", "ratio");
    for (const Cas &c : cas) {
        const QString chemin = dossier.filePath(QStringLiteral("flux.xml"));
        QFile fichier(chemin);
        if (!fichier.open(QIODevice::WriteOnly) || fichier.write(c.octets) != c.octets.size())
            return 1;
        fichier.close();
        const int n = c.octets.size() > 10'000'000 ? std::max(1, repetitions / 2) : repetitions;
        const auto [lecteur, nu] = medianesAlternees(
            n,
            [&] {
                if (!module.chargerDocumentXML(chemin))
                    std::abort();
                PFlux flux = module.analyserFlux(module.XMLDoc);
                benchmark::DoNotOptimize(flux);
                // L'arbre est libéré dans le même tour, comme celui de l'analyse nue : sinon le
                // tour suivant paierait la libération d'un arbre bâti avant celui de l'autre mesure.
                module.XMLDoc.setActive(false);
            },
            [&] {
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
    std::vector<double> tempsRefus;
    for (int i = 0; i < repetitions; ++i) {
        tempsRefus.push_back(millisecondes([&] {
            if (module.chargerDocumentXML(cheminBombe))
                std::abort();
        }));
    }
    const double refus = mediane(tempsRefus);
    std::printf("\nDocument hostile de %lld octets (entités) : refusé en %.2f ms\n",
                static_cast<long long>(bombe.size()), refus);
    return 0;
}
