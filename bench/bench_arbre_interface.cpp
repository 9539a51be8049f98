// Construction de l'arbre XML dans un QTreeWidget (construireArbreXML) comparée, dans la même
// exécution, à une construction nue de la même forme : les mêmes nœuds, libellés et icônes,
// préparés d'avance, créés détachés puis ajoutés d'un coup.
// Usage : QT_QPA_PLATFORM=offscreen bench_arbre_interface [répétitions]

#include "GenerateurFlux.h"

#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"
#include "ui/ArbreXMLVue.h"
#include "ui/ListeImages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace {

// Un flux RSS 2.0 dont chaque information a sept éléments renseignés (15 nœuds par information).
QByteArray fluxRiche(int nombre)
{
    QByteArray d = GenerateurFlux::rss2(0);
    d.chop(int(sizeof("</channel>\n</rss>\n")) - 1);
    for (int i = 0; i < nombre; ++i) {
        QByteArray item = GenerateurFlux::itemRss(i, false);
        const QByteArray n = QByteArray::number(i);
        item.insert(item.lastIndexOf("</item>"), "  <guid>http://127.0.0.1/articles/" + n + "</guid>\n  <category>Cat\xc3\xa9gorie "
                                                    + QByteArray::number(i % 17) + "</category>\n  <author>r\xc3\xa9" "daction@127.0.0.1</author>\n");
        d += item;
    }
    d += "</channel>\n</rss>\n";
    return d;
}

// La forme de l'arbre, à plat : profondeur, libellé affiché et icône de chaque nœud.
struct Forme
{
    QList<int> profondeurs;
    QStringList libelles;
    QList<QIcon> icones;
};

Forme formeDe(const QDomNode &racine)
{
    Forme forme;
    int profondeur = 0;
    ArbreXML::parcourir(
        racine,
        [&](const QDomNode &, const QString &libelle, int image) {
            forme.profondeurs.append(profondeur++);
            forme.libelles.append(libelle);
            forme.icones.append(ListeImages::icone(image));
        },
        [&] { --profondeur; });
    return forme;
}

// La construction nue : rien d'autre que les QTreeWidgetItem de la forme.
void construireNu(QTreeWidget &vue, const Forme &forme)
{
    QList<QTreeWidgetItem *> premierNiveau;
    QList<QTreeWidgetItem *> chemin;
    for (qsizetype i = 0; i < forme.libelles.size(); ++i) {
        auto *element = new QTreeWidgetItem(QStringList(forme.libelles[i]));
        if (!forme.icones[i].isNull())
            element->setIcon(0, forme.icones[i]);
        chemin.resize(forme.profondeurs[i]);
        if (chemin.isEmpty())
            premierNiveau.append(element);
        else
            chemin.last()->addChild(element);
        chemin.append(element);
    }
    vue.addTopLevelItems(premierNiveau);
}

int compterNoeuds(QTreeWidget &vue)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(&vue); *it; ++it)
        ++n;
    return n;
}

// Le temps d'une construction, en millisecondes, dans la vue vidée au préalable (hors mesure).
double mesurer(QTreeWidget &vue, const std::function<void()> &construire)
{
    viderArbreXML(&vue);
    QApplication::processEvents();
    QElapsedTimer chrono;
    chrono.start();
    construire();
    return chrono.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTreeWidget vue;
    preparerVueArbreXML(&vue);
    vue.resize(225, 400);
    vue.show();
    ListeImages::icone(0); // la liste d'images est construite une fois, hors mesure

    struct Cas { const char *nom; QByteArray octets; };
    const Cas cas[] = {
        {"RSS 2.0, 5 000 items", fluxRiche(5000)},
        {"RSS 2.0, 50 000 items", fluxRiche(50000)},
        {"RSS 1.0, 5 000 items", GenerateurFlux::rss1(5000)},
    };
    std::printf("%-22s %9s %19s %13s %7s %11s %11s\n", "flux", "noeuds", "construireArbreXML", "nu (ms)", "ratio",
                "vider (ms)", "clear (ms)");
    for (const Cas &c : cas) {
        TDocumentXML document;
        document.chargerOctets(c.octets);
        const QDomElement racine = document.elementDocument();
        const Forme forme = formeDe(racine);
        const int n = c.octets.size() > 10'000'000 ? std::max(1, repetitions / 2) : repetitions;

        // Les deux constructions alternent, pour que l'une ne profite pas d'un état que l'autre
        // aurait laissé (mémoire, caches).
        double notre = 1e300;
        double nu = 1e300;
        for (int essai = 0; essai < n; ++essai) {
            notre = std::min(notre, mesurer(vue, [&] { construireArbreXML(&vue, nullptr, racine); }));
            if (compterNoeuds(vue) != forme.libelles.size())
                return 1;
            nu = std::min(nu, mesurer(vue, [&] { construireNu(vue, forme); }));
        }
        // Le vidage de la vue : viderArbreXML (sans récursion) contre QTreeWidget::clear().
        QElapsedTimer chrono;
        chrono.start();
        viderArbreXML(&vue);
        const double vider = chrono.nsecsElapsed() / 1e6;
        construireArbreXML(&vue, nullptr, racine);
        chrono.restart();
        vue.clear();
        const double clear = chrono.nsecsElapsed() / 1e6;
        benchmark::DoNotOptimize(vider);
        std::printf("%-22s %9lld %19.2f %13.2f %7.2f %11.2f %11.2f\n", c.nom,
                    static_cast<long long>(forme.libelles.size()), notre, nu, notre / nu, vider, clear);
    }
    std::printf("Objectif : ratio <= 1.20 (construction détachée, puis ajout d'un coup).\n");
    return 0;
}
