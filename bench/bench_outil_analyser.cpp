// « rss-outil analyser » sur un flux de 6 Mo, face à son plancher : un exécutable qui lit le même
// fichier et l'analyse avec QDomDocument, sans rien d'autre (plancher_analyse). Chacun dans son
// processus, en alternance (outil, plancher, outil, plancher...) ; médianes du temps écoulé et du
// temps processeur (utilisateur + système) des processus, et leur rapport. But : 1,5 au plus.
//   build/bench/bench_outil_analyser [tours]

#include "GenerateurFlux.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double processeurEnfantsMs()
{
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
}

struct Duree
{
    double ecoulee = 0;
    double processeur = 0;
};

// Un lancement, sortie standard jetée ; code de sortie 0 exigé.
bool lancer(const QString &programme, const QStringList &arguments, Duree &duree)
{
    QProcess processus;
    processus.setStandardOutputFile(QProcess::nullDevice());
    const double avant = processeurEnfantsMs();
    QElapsedTimer chrono;
    chrono.start();
    processus.start(programme, arguments);
    if (!processus.waitForFinished(120000) || processus.exitStatus() != QProcess::NormalExit
        || processus.exitCode() != 0)
        return false;
    duree = {chrono.nsecsElapsed() / 1e6, processeurEnfantsMs() - avant};
    return true;
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    const QDir ici(QCoreApplication::applicationDirPath());
    const QString outil = ici.filePath(QStringLiteral("../bin/rss-outil"));
    const QString plancher = ici.filePath(QStringLiteral("plancher_analyse"));

    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("flux-6Mo.xml"));
    const int nombre = int(6'000'000 / GenerateurFlux::itemRss(0, false).size());
    const QByteArray octets = GenerateurFlux::rss2(nombre);
    {
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
            return 1;
    }
    std::printf("rss-outil analyser, flux RSS 2.0 de %d informations (%.1f Mo), %d tours alternés\n", nombre,
                octets.size() / 1e6, tours);

    std::vector<double> outilE, outilP, plancherE, plancherP;
    for (int tour = 0; tour < tours; ++tour) {
        Duree d;
        if (!lancer(outil, {QStringLiteral("analyser"), chemin}, d)) {
            std::printf("ERREUR : rss-outil analyser a échoué\n");
            return 1;
        }
        outilE.push_back(d.ecoulee);
        outilP.push_back(d.processeur);
        if (!lancer(plancher, {chemin}, d)) {
            std::printf("ERREUR : le plancher a échoué\n");
            return 1;
        }
        plancherE.push_back(d.ecoulee);
        plancherP.push_back(d.processeur);
    }
    const double oe = mediane(outilE), op = mediane(outilP), pe = mediane(plancherE), pp = mediane(plancherP);
    std::printf("  %-36s %9.1f ms écoulés, %9.1f ms processeur\n", "rss-outil analyser", oe, op);
    std::printf("  %-36s %9.1f ms écoulés, %9.1f ms processeur\n", "plancher (lecture + QDomDocument)", pe, pp);
    const bool tenu = oe / pe <= 1.5 && op / pp <= 1.5;
    std::printf("  => rapport %.2f écoulé, %.2f processeur (but : 1,50) %s\n", oe / pe, op / pp,
                tenu ? "TENU" : "MANQUÉ");
    return tenu ? 0 : 1;
}
