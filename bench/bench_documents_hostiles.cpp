// Les formes de documents hostiles de 1, 4 et 16 Mo jugées (lues ou refusées) par
// chargerDocumentXML, comparées à la lecture d'un flux ordinaire de même taille par le même
// chemin et à l'analyse nue (QDomDocument::setContent) de ce flux. Tours entrelacés, médianes du
// temps écoulé ; « croissance » : le temps rapporté à celui de la même forme à la taille
// précédente (4 pour une croissance linéaire d'un document lu ; un refus précoce reste constant).
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

    std::printf("%-38s %9s %10s %12s %12s %8s %8s %10s %6s\n", "forme", "octets", "jugé (ms)", "flux (ms)",
                "setContent", "jugé/flux", "flux/nu", "croissance", "lu");
    QHash<QByteArray, double> precedent;
    for (const qsizetype taille : {qsizetype(1) << 20, qsizetype(4) << 20, qsizetype(16) << 20}) {
        const QByteArray ordinaire = FormesHostiles::fluxOrdinaire(taille);
        const QString cheminOrdinaire = ecrire(dossier, QStringLiteral("ordinaire.xml"), ordinaire);
        for (const FormesHostiles::Forme &forme : FormesHostiles::formes(taille)) {
            const QString chemin = ecrire(dossier, QStringLiteral("hostile.xml"), forme.octets);
            std::vector<double> juge, flux, nu;
            bool lu = false;
            for (int tour = 0; tour < tours; ++tour) {
                juge.push_back(mesurer([&] {
                    lu = module.chargerDocumentXML(chemin);
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
            std::printf("%-38s %9lld %10.2f %12.2f %12.2f %8.2f %8.2f %10.2f %6s\n", forme.nom,
                        static_cast<long long>(forme.octets.size()), j, mediane(flux), mediane(nu), j / mediane(flux),
                        mediane(flux) / mediane(nu), avant > 0 ? j / avant : 0.0, lu ? "oui" : "non");
        }
        std::printf("\n");
    }
    return 0;
}
