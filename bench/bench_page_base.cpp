// Mesures de la page et de la base, côte à côte dans une même exécution :
//  - la page d'un flux de 5 000 items, face au chargement et à l'analyse de ce flux
//    (but : au plus le quart) : sa première écriture (chaque description lue par gumbo et
//    équilibrée), et sa réécriture (retour sur l'onglet : les descriptions gardées par les
//    informations) ; la première face à son plancher, gumbo seul sur les descriptions que la page
//    écrit, dans son propre processus (plancher_gumbo) ; et la première écriture de la page d'un
//    flux Atom html sous xml:base, dont la lecture a déjà lu chaque description pour ses adresses ;
//  - le chargement d'une base de 1 000 flux de 100 informations, face à une simple analyse
//    QDomDocument du même fichier (but : 1,5 fois au plus), et sa sauvegarde, dans le tas du
//    lecteur qui l'a chargée, face à toByteArray(2) et QSaveFile dans un processus neuf qui ne
//    tient que l'arbre du fichier écrit (plancher_sauvegarde ; but : 1,3 fois au plus) ;
//  - une recherche sur ces 100 000 informations dans les trois champs (but : moins de 50 ms).
// Chaque mesure est la médiane de plusieurs passages.

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/TexteEtroit.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Le temps processeur du fil courant, en millisecondes : la machine de mesure est partagée,
// et le temps écoulé compte aussi le temps pris par les autres processus.
double tempsProcesseur()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Duree
{
    double ecoulee = 0;   // temps écoulé (horloge murale), ms
    double processeur = 0; // temps processeur du fil, ms
};

// Une mesure d'un passage.
Duree mesurer(const std::function<void()> &travail)
{
    QElapsedTimer chrono;
    const double debut = tempsProcesseur();
    chrono.start();
    travail();
    return {double(chrono.nsecsElapsed()) / 1e6, tempsProcesseur() - debut};
}

Duree mediane(std::vector<Duree> mesures)
{
    std::vector<double> ecoulees, processeur;
    for (const Duree &d : mesures) {
        ecoulees.push_back(d.ecoulee);
        processeur.push_back(d.processeur);
    }
    std::sort(ecoulees.begin(), ecoulees.end());
    std::sort(processeur.begin(), processeur.end());
    return {ecoulees[ecoulees.size() / 2], processeur[processeur.size() / 2]};
}

// Les médianes de n passages ; preparer() n'est pas chronométré.
Duree mediane(int n, const std::function<void()> &travail, const std::function<void()> &preparer = {})
{
    std::vector<Duree> mesures;
    for (int i = 0; i < n; ++i) {
        if (preparer)
            preparer();
        mesures.push_back(mesurer(travail));
    }
    return mediane(mesures);
}

QString titreInfo(int f, int i) { return QStringLiteral("Information n°%1 du flux %2 — été").arg(i).arg(f); }
QString lienInfo(int f, int i) { return QStringLiteral("http://127.0.0.1/flux/%1/info/%2?x=1&y=2").arg(f).arg(i); }
QString descriptionInfo(int f, int i)
{
    return QStringLiteral("<p>Texte de l'information %1 du flux %2, avec des accents : é, à, ç, œ, € et 中文. "
                          "<a href=\"http://127.0.0.1/x?a=1&b=2\">Lire la suite</a> — "
                          "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor.</p>")
        .arg(i)
        .arg(f);
}
const QString datePub = QStringLiteral("Mon, 07 Dec 2026 08:00:00 +0100");

QByteArray fluxRss(int items)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>\n"
                                 "<title>Flux de mesure — 5 000 items</title><link>http://127.0.0.1/</link>"
                                 "<description>Un flux &lt;b&gt;généré&lt;/b&gt;</description><language>fr</language>"
                                 "<image><url>http://127.0.0.1/logo.png</url><title>Logo</title><link>http://127.0.0.1/</link></image>\n");
    for (int i = 0; i < items; ++i) {
        xml += QStringLiteral("<item><title>") + titreInfo(0, i).toHtmlEscaped() + QStringLiteral("</title><link>")
             + lienInfo(0, i).toHtmlEscaped() + QStringLiteral("</link><description>")
             + descriptionInfo(0, i).toHtmlEscaped() + QStringLiteral("</description><pubDate>") + datePub
             + QStringLiteral("</pubDate></item>\n");
    }
    xml += QStringLiteral("</channel></rss>\n");
    return xml.toUtf8();
}

void remplirBase(TdmRSS &module, int nombreFlux, int infosParFlux)
{
    for (int f = 0; f < nombreFlux; ++f) {
        auto flux = std::make_shared<TFlux>();
        for (int i = 0; i < infosParFlux; ++i) {
            auto info = std::make_shared<TInfo>();
            info->setDonnees(titreInfo(f, i), lienInfo(f, i), descriptionInfo(f, i), datePub);
            flux->infos.append(info);
        }
        auto image = std::make_unique<TImageFlux>();
        image->setDonnees(QStringLiteral("Logo %1").arg(f), QStringLiteral("http://127.0.0.1/%1/").arg(f),
                          QStringLiteral("http://127.0.0.1/%1/logo.png").arg(f));
        flux->setImage(std::move(image));
        flux->rubriquesAssociees << "Actualit\xE9s" << "Sport";
        flux->setDonnees(QStringLiteral("Flux %1 — été").arg(f), QStringLiteral("http://127.0.0.1/%1/").arg(f),
                         QStringLiteral("Description du flux %1").arg(f), QStringLiteral("© 2026"), datePub,
                         QStringLiteral("fr"), QStringLiteral("auteur@127.0.0.1"));
        flux->setUrlRss(QStringLiteral("http://127.0.0.1/%1/rss.xml").arg(f));
        module.getFluxBase().append(flux);
    }
    for (int r = 0; r < 20; ++r)
        module.getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Rubrique %1").arg(r)));
}

void ligne(const char *quoi, Duree d)
{
    std::printf("  %-52s %9.2f ms écoulés, %9.2f ms processeur\n", quoi, d.ecoulee, d.processeur);
}

// Le verdict porte sur les deux mesures : écoulée et processeur.
bool verdict(const char *quoi, Duree valeur, double but, const char *unite)
{
    const bool tenu = valeur.ecoulee <= but && valeur.processeur <= but;
    std::printf("  => %-46s %8.3f%s écoulé, %8.3f%s processeur (but : %.2f%s) %s\n", quoi, valeur.ecoulee, unite,
                valeur.processeur, unite, but, unite, tenu ? "TENU" : (valeur.processeur <= but ? "TENU EN PROCESSEUR SEULEMENT" : "MANQUÉ"));
    return tenu;
}

Duree rapport(Duree a, Duree b) { return {a.ecoulee / b.ecoulee, a.processeur / b.processeur}; }

// Le plancher de la sauvegarde dans un processus neuf : son temps écoulé (il compte seul dans son
// processus, le temps processeur est pris égal).
Duree plancherSauvegarde(const QString &base, const QString &sortie)
{
    QProcess plancher;
    plancher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    plancher.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("plancher_sauvegarde")),
                   {base, sortie});
    plancher.waitForFinished(120000);
    const QList<QByteArray> lignes = plancher.readAllStandardOutput().trimmed().split('\n');
    const double ms = lignes.value(1).split(' ').value(1).toDouble();
    return {ms, ms};
}

// Le plancher de la page dans un processus neuf : gumbo seul sur les descriptions des `nombre`
// premières informations du flux (son temps processeur, tel qu'il l'écrit).
Duree plancherGumbo(const QString &flux, qsizetype nombre)
{
    QProcess plancher;
    plancher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    plancher.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("plancher_gumbo")),
                   {flux, QStringLiteral("description"), QString::number(nombre)});
    plancher.waitForFinished(120000);
    const QList<QByteArray> lignes = plancher.readAllStandardOutput().trimmed().split('\n');
    const double ms = lignes.value(1).split(' ').value(1).toDouble();
    return {ms, ms};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dossier;
    Emplacement::definirDossierExecutable(dossier.path());
    {
        QFile modele(Emplacement::cheminModeleBase());
        modele.open(QIODevice::WriteOnly);
        modele.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE/>\n");
    }
    DialoguesMuets dialogues;
    bool tousTenus = true;

    // --- Page d'un flux de 5 000 items ---
    const QString cheminFlux = dossier.filePath(QStringLiteral("flux-5000.xml"));
    {
        QFile f(cheminFlux);
        f.open(QIODevice::WriteOnly);
        f.write(fluxRss(5000));
    }
    std::printf("Page d'un flux de 5 000 items (%lld octets)\n", static_cast<long long>(QFile(cheminFlux).size()));
    TdmRSS lecteur(dialogues);
    const Duree chargement = mediane(9, [&] {
        lecteur.chargerDocumentXML(cheminFlux);
        benchmark::DoNotOptimize(lecteur.analyserFlux(lecteur.XMLDoc));
    });
    // Première écriture : un flux lu à neuf à chaque tour, dont aucune description n'est encore
    // équilibrée.
    PFlux flux;
    std::unique_ptr<TdmRSS> ecrivain;
    const Duree page = mediane(
        9, [&] { ecrivain->genererPageFlux(*flux); },
        [&] {
            flux = lecteur.analyserFlux(lecteur.XMLDoc);
            ecrivain = std::make_unique<TdmRSS>(dialogues);
        });
    const Duree reecriture = mediane(
        9, [&] { ecrivain->genererPageFlux(*flux); }, [&] { ecrivain = std::make_unique<TdmRSS>(dialogues); });
    const Duree pageDocument = mediane(9, [&] { lecteur.genererPageDocument(); });
    // Les informations que la page écrit : une ligne de fermeture chacune.
    const qsizetype ecrites = ecrivain->getLignesPage().count(QByteArrayLiteral("   </td></tr>"));
    std::vector<Duree> planchers;
    // La description du canal, écrite en tête de page, puis celles des informations écrites.
    for (int tour = 0; tour < 9; ++tour)
        planchers.push_back(plancherGumbo(cheminFlux, ecrites + 1));
    const Duree plancherPage = mediane(planchers);
    ligne("chargerDocumentXML + analyserFlux", chargement);
    ligne("première écriture de la page (genererPageFlux)", page);
    ligne("réécriture de la page, descriptions gardées", reecriture);
    ligne("genererPageDocument (analyse du document + page)", pageDocument);
    std::printf("  %-52s %9.2f ms processeur (%lld descriptions)\n", "plancher : gumbo seul, processus à part",
                plancherPage.processeur, static_cast<long long>(ecrites));
    tousTenus &= verdict("page / chargement et analyse", rapport(page, chargement), 0.25, "");

    // Un flux dont la lecture a lu les descriptions (adresses à résoudre contre xml:base) : la page
    // écrit telles quelles celles qui n'ont rien à réparer, sans les relire.
    const QString cheminAtom = dossier.filePath(QStringLiteral("atom-5000.xml"));
    {
        QFile f(cheminAtom);
        f.open(QIODevice::WriteOnly);
        f.write(GenerateurFlux::atom(5000, false));
    }
    const Duree chargementAtom = mediane(9, [&] {
        lecteur.chargerDocumentXML(cheminAtom);
        benchmark::DoNotOptimize(lecteur.analyserFlux(lecteur.XMLDoc));
    });
    const Duree pageAtom = mediane(
        9, [&] { ecrivain->genererPageFlux(*flux); },
        [&] {
            flux = lecteur.analyserFlux(lecteur.XMLDoc);
            ecrivain = std::make_unique<TdmRSS>(dialogues);
        });
    ligne("Atom html sous xml:base : chargement et analyse", chargementAtom);
    ligne("Atom html sous xml:base : première écriture", pageAtom);
    std::printf("  => %-46s %8.3f écoulé, %8.3f processeur\n", "page Atom / chargement et analyse Atom",
                pageAtom.ecoulee / chargementAtom.ecoulee, pageAtom.processeur / chargementAtom.processeur);
    tousTenus &= verdict("réécriture / chargement et analyse", rapport(reecriture, chargement), 0.25, "");
    std::printf("  => %-46s %8.3f processeur\n", "première écriture / plancher gumbo", page.processeur / plancherPage.processeur);

    // --- Base de 1 000 flux de 100 informations ---
    std::printf("\nBase de 1 000 flux de 100 informations\n");
    {
        TdmRSS source(dialogues);
        remplirBase(source, 1000, 100);
        source.sauvegarderBase();
    }
    QByteArray octets;
    {
        QFile f(Emplacement::cheminBase());
        f.open(QIODevice::ReadOnly);
        octets = f.readAll();
    }
    std::printf("  fichier : %.1f Mo\n", double(octets.size()) / 1e6);
    // Les quatre mesures alternent à chaque tour, pour subir les mêmes conditions.
    std::vector<Duree> analyses, chargements, sauvegardes, serialisations;
    const QString cheminPlancher = dossier.filePath(QStringLiteral("plancher-sauvegarde.xml"));
    std::unique_ptr<TdmRSS> base;
    for (int tour = 0; tour < 5; ++tour) {
        {
            QDomDocument dom;
            analyses.push_back(mesurer([&] { dom.setContent(octets); }));
        }
        base = std::make_unique<TdmRSS>(dialogues);
        chargements.push_back(mesurer([&] { base->chargerBase(Emplacement::cheminBase()); }));
        sauvegardes.push_back(mesurer([&] { base->sauvegarderBase(); }));
        // Le travail que la sauvegarde a laissé au fil de fond se fait hors de la mesure.
        QCoreApplication::processEvents();
        serialisations.push_back(plancherSauvegarde(Emplacement::cheminBase(), cheminPlancher));
    }
    const Duree analyseNue = mediane(analyses);
    const Duree chargementBase = mediane(chargements);
    const Duree sauvegarde = mediane(sauvegardes);
    const Duree serialisation = mediane(serialisations);
    ligne("QDomDocument::setContent seul (octets en mémoire)", analyseNue);
    ligne("chargerBase (lecture du fichier comprise)", chargementBase);
    ligne("sauvegarderBase (modèle relu, fichier écrit)", sauvegarde);
    ligne("toByteArray(2) + QSaveFile, processus neuf", serialisation);
    tousTenus &= verdict("chargement / analyse nue", rapport(chargementBase, analyseNue), 1.5, "");
    tousTenus &= verdict("sauvegarde / plancher en processus neuf", rapport(sauvegarde, serialisation), 1.3, "");

    // --- Recherche dans 100 000 informations ---
    std::printf("\nRecherche dans les 100 000 informations, trois champs\n");
    qsizetype nombreInfos = 0;
    for (const PFlux &f : base->getFluxBase())
        nombreInfos += f->infos.size();
    const ChampsRecherche tous{true, true, true};
    auto rechercher = [&](const QString &texte) {
        int trouves = 0;
        const TexteRecherche prepare(texte);
        for (const PFlux &f : base->getFluxBase())
            trouves += base->fluxTrouve(prepare, *f, tous);
        return trouves;
    };
    struct Cas
    {
        const char *nom;
        QString texte;
    };
    const Cas cas[] = {
        {"texte absent (tout est parcouru)", QStringLiteral("introuvable é")},
        {"texte absent contenant « ? » (champs convertis)", QStringLiteral("introuvable ?")},
        {"texte présent dans le dernier flux seulement", QStringLiteral("flux 999, avec")},
    };
    for (const Cas &c : cas) {
        int trouves = 0;
        const Duree duree = mediane(15, [&] { trouves = rechercher(c.texte); });
        std::printf("  %-52s %9.2f ms écoulés, %9.2f ms processeur, %5.2f M informations/s (%d flux trouvés)\n",
                    c.nom, duree.ecoulee, duree.processeur, double(nombreInfos) / duree.ecoulee / 1e3, trouves);
        if (&c == &cas[0])
            tousTenus &= verdict("recherche complète", duree, 50, " ms");
    }

    std::printf("\n%s\n", tousTenus ? "Tous les buts sont tenus." : "Au moins un but est manqué.");
    return 0;
}
