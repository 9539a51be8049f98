// Documents hostiles de 0,25, 1 et 4 Mo jugés (chargés ou refusés par chargerDocumentXML)
// comparés à l'analyse nue (QDomDocument::setContent) d'un flux ordinaire de même taille.
// Tours entrelacés, médianes ; « garde » est la vérification seule, « Qt » l'analyse nue du même
// document hostile quand la garde l'accepte (ce que coûte le document lui-même, garde ôtée ; sans
// garde, un document refusé pour sa profondeur coûterait des minutes).
// Usage : bench_garde_document [tours]

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"
#include "commun/Erreurs.h"
#include "reading/GardeDocument.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
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

// Répète un motif entre un début et une fin jusqu'à la taille voulue.
QByteArray remplir(const QByteArray &debut, const QByteArray &motif, const QByteArray &fin, qsizetype taille)
{
    const qsizetype n = std::max<qsizetype>(1, (taille - debut.size() - fin.size()) / motif.size());
    return debut + motif.repeated(n) + fin;
}

QByteArray fluxOrdinaire(qsizetype taille)
{
    int items = 1;
    while (GenerateurFlux::rss2(items).size() < taille)
        items *= 2;
    int bas = items / 2;
    while (bas + 1 < items) {
        const int milieu = (bas + items) / 2;
        (GenerateurFlux::rss2(milieu).size() < taille ? bas : items) = milieu;
    }
    return GenerateurFlux::rss2(items);
}

struct Forme
{
    const char *nom;
    std::function<QByteArray(qsizetype)> fabriquer;
};

const QByteArray dtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [<!ENTITY e \"abc\">]>\n";

const Forme formes[] = {
    {"& en CDATA, DOCTYPE", [](qsizetype t) {
         return remplir(dtd + "<rss><channel><title>t</title><description><![CDATA[", "&", "]]></description></channel></rss>", t);
     }},
    {"<!x> répétés", [](qsizetype t) { return remplir("", "<!x>", "", t); }},
    {"DOCTYPE [ jamais fermé", [](qsizetype t) { return remplir("<!DOCTYPE rss [", "<!-- x -->\"'", "", t); }},
    {"&e; nombreux", [](qsizetype t) { return remplir(dtd + "<rss><channel><title>", "&e;", "</title></channel></rss>", t); }},
    {"&e; en attributs", [](qsizetype t) {
         return remplir(dtd + "<rss><channel>", "<x a=\"&e;&e;&e;\" b='&e;'/>", "</channel></rss>", t);
     }},
    {"& sans point-virgule", [](qsizetype t) {
         return remplir(dtd + "<rss><channel><title>", "&" + QByteArray(200, 'n') + " ", "</title></channel></rss>", t);
     }},
    {"guillemets ouverts", [](qsizetype t) { return remplir("<rss><channel><x a=\"", "<'>", "", t); }},
    {"4 000 niveaux", [](qsizetype t) {
         const QByteArray ouvre = QByteArray("<a>").repeated(4000);
         const QByteArray ferme = QByteArray("</a>").repeated(4000);
         return remplir("<rss><channel>" + ouvre, "texte ", ferme + "</channel></rss>", t);
     }},
    {"niveaux sans fin", [](qsizetype t) { return remplir("<rss>", "<a>", "", t); }},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dossier;
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);

    std::printf("%-24s %9s %10s %10s %10s %12s %7s %7s %6s\n", "forme", "octets", "jugé (ms)", "garde (ms)",
                "Qt (ms)", "flux nu (ms)", "jugé/nu", "garde/nu", "chargé");
    for (const qsizetype taille : {qsizetype(256 * 1024), qsizetype(1024 * 1024), qsizetype(4 * 1024 * 1024)}) {
        const QByteArray ordinaire = fluxOrdinaire(taille);
        for (const Forme &forme : formes) {
            const QByteArray octets = forme.fabriquer(taille);
            const QString chemin = dossier.filePath(QStringLiteral("hostile.xml"));
            QFile fichier(chemin);
            if (!fichier.open(QIODevice::WriteOnly) || fichier.write(octets) != octets.size())
                return 1;
            fichier.close();
            std::vector<double> juge, garde, qt, nu;
            bool charge = false;
            for (int tour = 0; tour < tours; ++tour) {
                juge.push_back(mesurer([&] { charge = module.chargerDocumentXML(chemin); }));
                garde.push_back(mesurer([&] {
                    try {
                        GardeDocument::verifier(octets);
                    } catch (const ErreurChargementXML &) {
                    }
                }));
                if (charge)
                    qt.push_back(mesurer([&] {
                        QDomDocument document;
                        benchmark::DoNotOptimize(document.setContent(octets, false));
                    }));
                nu.push_back(mesurer([&] {
                    QDomDocument document;
                    if (!document.setContent(ordinaire, false))
                        std::abort();
                    benchmark::DoNotOptimize(document);
                }));
            }
            std::printf("%-24s %9lld %10.2f %10.2f %10.2f %12.2f %7.2f %7.2f %6s\n", forme.nom,
                        static_cast<long long>(octets.size()), mediane(juge), mediane(garde), qt.empty() ? 0.0 : mediane(qt), mediane(nu),
                        mediane(juge) / mediane(nu), mediane(garde) / mediane(nu), charge ? "oui" : "non");
        }
        std::printf("\n");
    }
    return 0;
}
