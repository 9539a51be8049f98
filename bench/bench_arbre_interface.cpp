// L'arbre XML de la fenêtre, lu à la demande : le temps de montrer un document, de déplier son
// canal et de peindre la vue, et la mémoire que cela ajoute, face à un plancher qui peint les
// mêmes lignes du canal tenues d'avance par un QStandardItemModel (mêmes libellés, mêmes icônes).
// Usage : QT_QPA_PLATFORM=offscreen bench_arbre_interface [répétitions]

#include "GenerateurFlux.h"
#include "MesureFenetre.h"

#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"
#include "ui/ArbreXMLVue.h"
#include "ui/ListeImages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTreeView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

qint64 residenteKio()
{
    return MesureFenetre::champKio(QCoreApplication::applicationPid(), "status", "VmRSS:");
}

// Déplie le premier nœud et peint la vue, de force : ce que voit l'utilisateur qui ouvre le canal.
// -1 si le canal n'est pas déplié avec ses `lignes` lignes au moins.
double deplierEtPeindre(QTreeView &vue, int lignes)
{
    const QModelIndex canal = vue.model()->index(0, 0);
    QElapsedTimer chrono;
    chrono.start();
    vue.expand(canal);
    // grab() peint même sans écran exposé (plateforme offscreen) : la vue place alors ses lignes.
    benchmark::DoNotOptimize(vue.viewport()->grab());
    const double ms = chrono.nsecsElapsed() / 1e6;
    return vue.isExpanded(canal) && vue.model()->rowCount(canal) >= lignes ? ms : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTreeView vue;
    preparerVueArbreXML(&vue);
    vue.resize(225, 400);
    vue.show();
    QTreeView plancher;
    plancher.setHeaderHidden(true);
    plancher.setUniformRowHeights(true);
    plancher.resize(225, 400);
    plancher.show();
    ListeImages::icone(0); // la liste d'images est construite une fois, hors mesure

    std::printf("%-24s %11s %15s %15s %7s %14s\n", "flux", "montrer", "déplier+peindre", "plancher (ms)", "ratio",
                "mémoire (Mio)");
    for (const int nombre : {5000, 100000}) {
        TDocumentXML document;
        document.chargerOctets(GenerateurFlux::rss2(nombre));
        const QDomElement racine = document.elementDocument();
        const QDomNode canal = racine.firstChild();

        // Le plancher : les lignes du canal, tenues d'avance.
        QStandardItemModel lignes;
        auto *racinePlancher = new QStandardItem(QStringLiteral("channel"));
        for (QDomNode n = canal.firstChild(); !n.isNull(); n = n.nextSibling()) {
            const QString libelle = ArbreXML::libelleAffiche(ArbreXML::texteDuNoeud(n));
            racinePlancher->appendRow(new QStandardItem(ListeImages::icone(ArbreXML::indexImage(libelle)), libelle));
        }
        lignes.appendRow(racinePlancher);
        plancher.setModel(&lignes);

        QList<double> montrer, notre, nu;
        qint64 memoire = 0;
        for (int essai = 0; essai < repetitions; ++essai) {
            construireArbreXML(&vue, QDomNode());
            const qint64 avant = residenteKio();
            QElapsedTimer chrono;
            chrono.start();
            construireArbreXML(&vue, racine);
            montrer << chrono.nsecsElapsed() / 1e6;
            notre << deplierEtPeindre(vue, nombre);
            memoire = std::max(memoire, residenteKio() - avant);
            plancher.collapseAll();
            nu << deplierEtPeindre(plancher, nombre);
            if (notre.last() < 0 || nu.last() < 0) {
                std::fprintf(stderr, "Le canal de %d informations ne s'est pas déplié.\n", nombre);
                return 1;
            }
        }
        plancher.setModel(nullptr);
        const double m = MesureFenetre::mediane(notre);
        const double p = MesureFenetre::mediane(nu);
        std::printf("RSS 2.0, %6d items   %9.2f ms %12.2f ms %15.2f %7.2f %14.1f\n", nombre,
                    MesureFenetre::mediane(montrer), m, p, m / p, memoire / 1024.0);
    }
    std::printf("Médianes ; la mémoire : la résidente ajoutée au pire par l'arbre montré et déplié.\n");
    return 0;
}
