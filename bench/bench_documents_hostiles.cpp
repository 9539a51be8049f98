// Les formes de documents hostiles de 1, 4 et 16 Mo, chacune sous chaque en-tête (déclaration,
// commentaire, déclaration allongée, encoding en double : FormesHostiles), jugées (lues ou
// refusées) par chargerDocumentXML, comparées à la lecture d'un flux ordinaire de même taille par
// le même chemin et à l'analyse nue (QDomDocument::setContent) de ce flux. Tours entrelacés,
// médianes du temps écoulé ; « croissance » : le temps rapporté à celui de la même forme à la
// taille précédente (4 pour une croissance linéaire d'un document lu ; un refus précoce reste
// constant) ; « pic Mo » : ce que la mémoire résidente du processus a gagné à son plus haut.
// Usage : bench_documents_hostiles [tours]

#include "FormesHostiles.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double mesurer(const std::function<void()> &travail)
{
    QElapsedTimer chrono;
    chrono.start();
    travail();
    return chrono.nsecsElapsed() / 1e6;
}

// Mémoire résidente du processus, et son plus haut depuis remettreLePic, en kio.
qint64 champStatus(const QByteArray &champ)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &ligne : f.readAll().split('\n'))
        if (ligne.startsWith(champ))
            return ligne.mid(champ.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}
qint64 residenteKio() { return champStatus("VmRSS:"); }
qint64 picKio() { return champStatus("VmHWM:"); }
void remettreLePic()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double mediane(std::vector<double> valeurs)
{
    std::sort(valeurs.begin(), valeurs.end());
    return valeurs[valeurs.size() / 2];
}

QString ecrire(const QTemporaryDir &dossier, const QString &nom, const QByteArray &octets)
{
    const QString chemin = dossier.filePath(nom);
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly) || fichier.write(octets) != octets.size())
        std::abort();
    return chemin;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dossier;
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);

    std::printf("%-66s %9s %10s %10s %10s %9s %8s %10s %4s %7s\n", "forme", "octets", "jugé (ms)", "flux (ms)",
                "setContent", "jugé/flux", "flux/nu", "croissance", "lu", "pic Mo");
    QHash<QByteArray, double> precedent;
    for (const qsizetype taille : {qsizetype(1) << 20, qsizetype(4) << 20, qsizetype(16) << 20}) {
        const QByteArray ordinaire = FormesHostiles::fluxOrdinaire(taille);
        const QString cheminOrdinaire = ecrire(dossier, QStringLiteral("ordinaire.xml"), ordinaire);
        for (const FormesHostiles::Forme &forme : FormesHostiles::formes(taille)) {
            const QString chemin = ecrire(dossier, QStringLiteral("hostile.xml"), forme.octets);
            std::vector<double> juge, flux, nu;
            bool lu = false;
            double picMo = 0;
            for (int tour = 0; tour < tours; ++tour) {
                juge.push_back(mesurer([&] {
                    const qint64 avant = residenteKio();
                    remettreLePic();
                    lu = module.chargerDocumentXML(chemin);
                    picMo = std::max(picMo, (picKio() - avant) / 1024.0);
                    module.XMLDoc.setActive(false);
                }));
                flux.push_back(mesurer([&] {
                    if (!module.chargerDocumentXML(cheminOrdinaire))
                        std::abort();
                    module.XMLDoc.setActive(false);
                }));
                nu.push_back(mesurer([&] {
                    QDomDocument document;
                    if (!document.setContent(ordinaire, false))
                        std::abort();
                    benchmark::DoNotOptimize(document);
                }));
            }
            const double j = mediane(juge);
            const double avant = precedent.value(forme.nom, 0.0);
            precedent.insert(forme.nom, j);
            std::printf("%-66s %9lld %10.2f %10.2f %10.2f %9.2f %8.2f %10.2f %4s %7.0f\n", forme.nom.constData(),
                        static_cast<long long>(forme.octets.size()), j, mediane(flux), mediane(nu), j / mediane(flux),
                        mediane(flux) / mediane(nu), avant > 0 ? j / avant : 0.0, lu ? "oui" : "non", picMo);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    return 0;
}
