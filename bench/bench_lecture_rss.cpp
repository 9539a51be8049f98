// Chargement et lecture d'un flux (chargerDocumentXML + analyserFlux) comparés à une analyse
// nue par QDomDocument::setContent des mêmes octets, sur des flux RSS et Atom générés : médianes
// du temps processeur de tours alternés, et leur rapport (but : 1,0 au plus) ; « arbre seul » : le
// chargement sans la lecture du flux (chargerDocumentXML, l'arbre libéré), et son rapport à
// l'analyse nue. Puis, si xmllint
// est là (paquet libxml2-utils), le rapport au temps processeur de « xmllint --noout » sur le même
// fichier, dans son processus (son lancement compris) ; sans lui, ce rapport est sauté. Pour un
// flux dont la lecture confie ses descriptions à gumbo (Atom html sous xml:base : adresses à
// résoudre), le plancher : setContent puis gumbo seul sur les mêmes descriptions, dans son propre
// processus (plancher_gumbo), et le rapport de la lecture à ce plancher.
// Usage : bench_lecture_rss [tours]

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
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

// Le temps processeur (utilisateur et système) d'un processus lancé et attendu, en millisecondes.
double millisecondesProcessus(const QString &programme, const QStringList &arguments)
{
    const auto enfants = [] {
        rusage r{};
        getrusage(RUSAGE_CHILDREN, &r);
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
    };
    const double avant = enfants();
    QProcess processus;
    processus.setStandardOutputFile(QProcess::nullDevice());
    processus.start(programme, arguments);
    if (!processus.waitForFinished(-1) || processus.exitCode() != 0)
        std::abort();
    return enfants() - avant;
}

// Le temps d'un plancher lancé dans son processus : la somme des temps qu'il écrit, une mesure par
// ligne « nom millisecondes » (son lancement n'y est pas).
double plancher(const QString &programme, const QStringList &arguments)
{
    QProcess processus;
    processus.start(programme, arguments);
    if (!processus.waitForFinished(-1) || processus.exitCode() != 0)
        std::abort();
    double total = 0;
    for (const QByteArray &ligne : processus.readAllStandardOutput().trimmed().split('\n'))
        total += ligne.split(' ').value(1).toDouble();
    return total;
}

// Les médianes, en millisecondes, de travaux chronométrés en tours alternés (a, b, c, a, b, c...).
std::vector<double> medianesAlternees(int tours, const std::vector<std::function<double()>> &travaux)
{
    std::vector<std::vector<double>> temps(travaux.size());
    for (int i = 0; i < tours; ++i) {
        for (std::size_t t = 0; t < travaux.size(); ++t)
            temps[t].push_back(travaux[t]());
    }
    std::vector<double> medianes;
    for (const auto &serie : temps)
        medianes.push_back(mediane(serie));
    return medianes;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dossier;
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);

    // elementHtml : l'élément dont la lecture confie le texte à gumbo, s'il y en a un.
    struct Cas { const char *nom; QByteArray octets; const char *elementHtml = nullptr; };
    const Cas cas[] = {
        {"RSS 2.0, 50 items", GenerateurFlux::rss2(50)},
        {"RSS 2.0, 5 000 items", GenerateurFlux::rss2(5000)},
        {"RSS 2.0, 50 000 items", GenerateurFlux::rss2(50000)},
        {"RSS 1.0, 5 000 items", GenerateurFlux::rss1(5000)},
        {"RSS 2.0 CDATA, 5 000", GenerateurFlux::rss2Cdata(5000)},
        {"Atom, 5 000 html", GenerateurFlux::atom(5000, false), "summary"},
        {"Atom, 5 000 xhtml", GenerateurFlux::atom(5000, true)},
        {"Atom, 50 000 html", GenerateurFlux::atom(50000, false), "summary"},
    };
    const QString plancherGumbo = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("plancher_gumbo"));
    std::vector<std::pair<const char *, double>> planchers;
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    std::printf("%-24s %10s %14s %14s %7s %11s %7s %13s %9s\n", "flux", "octets", "lecteur (ms)", "setContent (ms)",
                "ratio", "arbre seul", "ratio", "xmllint (ms)", "/xmllint");
    for (const Cas &c : cas) {
        const QString chemin = dossier.filePath(QStringLiteral("flux.xml"));
        QFile fichier(chemin);
        if (!fichier.open(QIODevice::WriteOnly) || fichier.write(c.octets) != c.octets.size())
            return 1;
        fichier.close();
        const int n = c.octets.size() > 10'000'000 ? std::max(1, repetitions / 2) : repetitions;
        std::vector<std::function<double()>> travaux{
            [&] {
                return millisecondes([&] {
                    if (!module.chargerDocumentXML(chemin))
                        std::abort();
                    PFlux flux = module.analyserFlux(module.XMLDoc);
                    benchmark::DoNotOptimize(flux);
                    // L'arbre est libéré dans le même tour, comme celui de l'analyse nue : sinon le
                    // tour suivant paierait la libération d'un arbre bâti avant celui de l'autre mesure.
                    module.XMLDoc.setActive(false);
                });
            },
            [&] {
                return millisecondes([&] {
                    QDomDocument document;
                    if (!document.setContent(c.octets, false))
                        std::abort();
                    benchmark::DoNotOptimize(document);
                });
            },
            [&] {
                return millisecondes([&] {
                    if (!module.chargerDocumentXML(chemin))
                        std::abort();
                    module.XMLDoc.setActive(false);
                });
            }};
        if (!xmllint.isEmpty())
            travaux.push_back([&] { return millisecondesProcessus(xmllint, {QStringLiteral("--noout"), chemin}); });
        if (c.elementHtml)
            travaux.push_back([&] { return plancher(plancherGumbo, {chemin, QString::fromLatin1(c.elementHtml)}); });
        const std::vector<double> m = medianesAlternees(n, travaux);
        if (c.elementHtml)
            planchers.emplace_back(c.nom, m[0] / m.back());
        if (xmllint.isEmpty())
            std::printf("%-24s %10lld %14.2f %14.2f %7.2f %11.2f %7.2f %13s %9s\n", c.nom,
                        static_cast<long long>(c.octets.size()), m[0], m[1], m[0] / m[1], m[2], m[2] / m[1], "absent", "-");
        else
            std::printf("%-24s %10lld %14.2f %14.2f %7.2f %11.2f %7.2f %13.2f %9.2f\n", c.nom,
                        static_cast<long long>(c.octets.size()), m[0], m[1], m[0] / m[1], m[2], m[2] / m[1], m[3],
                        m[0] / m[3]);
        std::fflush(stdout);
    }

    if (!planchers.empty())
        std::printf("\nLecture / plancher (setContent puis gumbo seul sur les mêmes descriptions, processus à part)\n");
    for (const auto &[nom, rapport] : planchers)
        std::printf("%-24s %7.2f\n", nom, rapport);

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
