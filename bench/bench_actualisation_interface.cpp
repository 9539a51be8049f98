// « Actualiser les sources » mesuré : 200 sources réparties sur 50 hôtes (127.0.0.1 à 127.0.0.50,
// quatre chacun), chaque réponse après 200 ms. Les serveurs tournent dans un processus à part (ce
// même programme lancé avec --serveurs), pour que ni leurs fils ni leur mémoire ne comptent.
// Le plancher est celui que permet la concurrence : 200 × 0,2 s / 6 = 6,67 s (six téléchargements
// à la fois, deux par hôte ; deux par hôte n'y retranchent rien, quatre sources par hôte).
//  1. le moteur seul (TActualisation et l'état de lecture, sans fenêtre) : première actualisation
//     (200 réponses de flux de 20 informations), puis la seconde, à laquelle chaque source répond
//     304. Médianes de `tours` tours, chacun sur un état neuf. Buts : 1,2 fois le plancher au plus,
//     pour l'une et l'autre ;
//  2. la fenêtre pendant l'actualisation : F9 dans la vraie fenêtre (TmainForm, 200 sources dans la
//     liste, en 10 rubriques de favoris), 20 fois de suite ; avant chacune, les serveurs changent
//     leurs flux (une information de plus, un autre ETag) : chaque actualisation télécharge, lit et
//     range 200 flux. La réponse de la fenêtre est mesurée comme le gestionnaire de fenêtres la voit :
//     un _NET_WM_PING envoyé par une autre connexion X toutes les 10 ms, chacun attendu jusqu'à sa
//     réponse (Qt y répond sur le fil de la fenêtre). But : aucune réponse après plus de 50 ms.
//     Pour chaque actualisation sont donnés aussi le plus long intervalle entre deux battements
//     d'une minuterie de 5 ms de la fenêtre (le même gel vu du dedans), la mémoire résidente, et,
//     en médiane, le temps de processeur du fil de la fenêtre et le temps qu'il a passé à attendre
//     un processeur libre (la machine est partagée : un gel qui vient de là n'est pas du programme) ;
//  3. la mémoire résidente du processus après la 1re et après la 20e actualisation de la fenêtre :
//     5 Mio d'écart au plus ;
//  4. une 21e actualisation de la fenêtre sans changement (304) : durée face au plancher.
// À lancer sous xvfb-run :
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_actualisation_interface [tours]

#include "DialoguesScriptes.h"
#include "MesureFenetre.h"
#include "PingsX11.h"
#include "ServeurHTTPTest.h"

#include "base/EtatLecture.h"
#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "reading/Actualisation.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int hotes = 50;
constexpr int sourcesParHote = 4;
constexpr int sources = hotes * sourcesParHote;
constexpr int delaiMs = 200;
constexpr double plancherS = sources * (delaiMs / 1000.0) / 6;
constexpr int actualisationsFenetre = 20;

using MesureFenetre::mediane;

// --- Les serveurs (processus à part) ---

// Un flux de 20 informations, la plus récente numérotée `version`.
QByteArray fluxDe(int hote, int source, int version)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Hôte "
        + QByteArray::number(hote) + " source " + QByteArray::number(source) + "</title>";
    for (int i = version; i > version - 20; --i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Information " + n + "</title><link>http://exemple.org/" + n + "</link><guid>h"
            + QByteArray::number(hote) + "s" + QByteArray::number(source) + "-" + n
            + "</guid><description>Une description de quelques mots pour l'information " + n
            + ", comme en écrivent les journaux.</description><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate></item>";
    }
    return xml + "</channel></rss>\n";
}

// Lance 50 serveurs ; écrit « ADRESSE:PORT » par hôte, puis « pret ». Chaque ligne « changer » lue
// sur l'entrée donne à chaque source un flux de plus (et un autre ETag) ; la fin de l'entrée arrête.
int servir()
{
    std::vector<std::unique_ptr<ServeurHTTPTest>> serveurs;
    for (int h = 1; h <= hotes; ++h)
        serveurs.push_back(std::make_unique<ServeurHTTPTest>("127.0.0." + QByteArray::number(h)));
    int version = 100;
    const auto definir = [&] {
        for (int h = 0; h < hotes; ++h) {
            serveurs[h]->oublierRequetes();
            for (int s = 0; s < sourcesParHote; ++s) {
                ReponseHTTP reponse = ReponseHTTP::ok(fluxDe(h + 1, s, version));
                reponse.delaiMs = delaiMs;
                reponse.etag = "\"v" + QByteArray::number(version) + "\"";
                serveurs[h]->definir("/flux-" + QByteArray::number(s) + ".xml", reponse);
            }
        }
    };
    definir();
    for (const auto &serveur : serveurs)
        std::printf("%s\n", qPrintable(serveur->url(QString())));
    std::printf("pret\n");
    std::fflush(stdout);
    std::string ligne;
    while (std::getline(std::cin, ligne)) {
        if (ligne == "changer") {
            ++version;
            definir();
            std::printf("change\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

class Serveurs
{
public:
    Serveurs()
    {
        m_processus.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--serveurs")});
        m_processus.waitForStarted();
        for (;;) {
            const QString ligne = lireLigne();
            if (ligne.isEmpty() || ligne == u"pret")
                break;
            for (int s = 0; s < sourcesParHote; ++s)
                adresses << ligne + QStringLiteral("/flux-%1.xml").arg(s);
        }
    }
    ~Serveurs()
    {
        m_processus.closeWriteChannel();
        if (!m_processus.waitForFinished(10000))
            m_processus.kill();
    }
    void changer()
    {
        m_processus.write("changer\n");
        m_processus.waitForBytesWritten();
        lireLigne();
    }

    QStringList adresses;

private:
    QString lireLigne()
    {
        while (!m_processus.canReadLine())
            if (!m_processus.waitForReadyRead(30000))
                return QString();
        return QString::fromUtf8(m_processus.readLine()).trimmed();
    }
    QProcess m_processus;
};

// --- Les mesures ---

// Une actualisation du moteur seul ; rend sa durée (s).
double actualiserMoteur(TActualisation &moteur, TEtatLecture &etat, const QList<PFlux> &flux, int *echecs)
{
    QEventLoop boucle;
    const auto resultat = QObject::connect(&moteur, &TActualisation::sourceActualisee,
                                           [&](const ResultatActualisation &r) {
                                               etat.appliquer(r);
                                               *echecs += r.issue == ResultatActualisation::Issue::Echec ? 1 : 0;
                                           });
    const auto fin = QObject::connect(&moteur, &TActualisation::terminee, &boucle, &QEventLoop::quit);
    QElapsedTimer chrono;
    chrono.start();
    moteur.lancer(etat.demandes(flux));
    boucle.exec();
    const double duree = chrono.nsecsElapsed() / 1e9;
    QObject::disconnect(resultat);
    QObject::disconnect(fin);
    return duree;
}

// Le plus long intervalle entre deux battements d'une minuterie de 5 ms du fil de la fenêtre :
// le même gel vu de l'intérieur, sans le serveur X ni le fil qui envoie les pings.
class Veilleur : public QObject
{
public:
    Veilleur()
    {
        m_minuterie.setInterval(5);
        QObject::connect(&m_minuterie, &QTimer::timeout, this, [this] {
            m_pire = std::max(m_pire, m_chrono.nsecsElapsed() / 1e6);
            m_chrono.start();
        });
    }
    void demarrer()
    {
        m_pire = 0;
        m_chrono.start();
        m_minuterie.start();
    }
    double arreter()
    {
        m_minuterie.stop();
        return m_pire;
    }

private:
    QTimer m_minuterie;
    QElapsedTimer m_chrono;
    double m_pire = 0;
};

double actualiserFenetre(TmainForm &fenetre)
{
    QElapsedTimer chrono;
    chrono.start();
    fenetre.actualiserSources->trigger();
    MesureFenetre::attendreSignal(fenetre.actualisation, &TActualisation::terminee, [] { return true; }, 120000);
    return chrono.nsecsElapsed() / 1e9;
}

qint64 memoireKio() { return MesureFenetre::champKio(QCoreApplication::applicationPid(), "status", "VmRSS:"); }

// Le temps de processeur du fil de la fenêtre et son attente d'un processeur libre (ms), depuis son
// départ : /proc/thread-self/schedstat, lu sur ce fil.
struct TempsFil
{
    double processeurMs = 0;
    double attenteMs = 0;
};
TempsFil tempsDuFil()
{
    QFile fichier(QStringLiteral("/proc/thread-self/schedstat"));
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> champs = fichier.readAll().trimmed().split(' ');
    return {champs.value(0).toLongLong() / 1e6, champs.value(1).toLongLong() / 1e6};
}

const char *verdict(bool tenu) { return tenu ? "TENU" : "MANQUÉ"; }

// La charge de la machine (partagée) : /proc/loadavg.
QString charge()
{
    QFile fichier(QStringLiteral("/proc/loadavg"));
    return fichier.open(QIODevice::ReadOnly) ? QString::fromLatin1(fichier.readAll()).trimmed() : QString();
}

int mesurer(int tours)
{
    Serveurs serveurs;
    if (serveurs.adresses.size() != sources) {
        std::fprintf(stderr, "serveurs non démarrés (%d adresses)\n", int(serveurs.adresses.size()));
        return 1;
    }
    QTemporaryDir dossier;
    QDir(dossier.path()).mkdir(QStringLiteral("ressourcesHTML"));
    Emplacement::definirDossierExecutable(dossier.path());
    QList<PFlux> flux;
    for (int i = 0; i < sources; ++i) {
        auto f = std::make_shared<TFlux>();
        f->setDonnees(QStringLiteral("Source %1").arg(i), QString(), QString(), QString(), QString(), QString(), QString());
        f->setUrlRss(serveurs.adresses.at(i));
        f->rubriquesAssociees.append("Rubrique " + QByteArray::number(i % 10));
        flux.append(f);
    }
    std::printf("200 sources sur %d hôtes, réponses après %d ms ; plancher %.2f s. Charge au départ : %s\n", hotes,
                delaiMs, plancherS, qPrintable(charge()));

    // 1. Le moteur seul.
    QList<double> premieres, secondes;
    int echecs = 0;
    for (int t = 0; t < tours; ++t) {
        TActualisation moteur;
        TEtatLecture etat;
        premieres << actualiserMoteur(moteur, etat, flux, &echecs);
        secondes << actualiserMoteur(moteur, etat, flux, &echecs);
        std::printf("   tour %d : %.2f s puis %.2f s (304)\n", t + 1, premieres.last(), secondes.last());
        std::fflush(stdout);
    }
    const double p = mediane(premieres), s = mediane(secondes);
    std::printf("1. Moteur seul, médianes de %d tours : 1re actualisation %.2f s (%.2f × plancher, but <= 1,20) %s ; "
                "2e, en 304, %.2f s (%.2f × plancher) %s ; échecs : %d\n",
                tours, p, p / plancherS, verdict(p / plancherS <= 1.2), s, s / plancherS, verdict(s / plancherS <= 1.2),
                echecs);

    // 2 et 3. La fenêtre.
    DialoguesScriptes dialogues;
    TmainForm fenetre;
    TdmRSS module(dialogues);
    fenetre.setDmRSS(&module);
    module.getFluxBase() = flux;
    for (int r = 0; r < 10; ++r)
        module.getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Rubrique %1").arg(r)));
    fenetre.actualiserListeSources();
    fenetre.actualiserFavoris();
    fenetre.show();
    MesureFenetre::pause(2000);
    Pings pings(static_cast<xcb_window_t>(fenetre.winId()));
    if (!pings.pret()) {
        std::fprintf(stderr, "un gestionnaire de fenêtres tient déjà la racine : les pings ne reviendraient pas\n");
        return 1;
    }
    pings.demarrer();
    MesureFenetre::pause(3000);
    const QList<double> auRepos = pings.arreter();

    QList<double> durees, reponses, pires, gels, memoires, processeur, attenteProcesseur;
    qint64 memoireApresPremiere = 0;
    Veilleur veilleur;
    for (int a = 1; a <= actualisationsFenetre; ++a) {
        serveurs.changer();
        pings.demarrer();
        veilleur.demarrer();
        const TempsFil avant = tempsDuFil();
        durees << actualiserFenetre(fenetre);
        const TempsFil apres = tempsDuFil();
        processeur << apres.processeurMs - avant.processeurMs;
        attenteProcesseur << apres.attenteMs - avant.attenteMs;
        gels << veilleur.arreter();
        const QList<double> cetteFois = pings.arreter();
        reponses += cetteFois;
        pires << *std::max_element(cetteFois.cbegin(), cetteFois.cend());
        memoires << memoireKio() / 1024.0;
        if (a == 1)
            memoireApresPremiere = memoireKio();
    }
    QStringList detail;
    for (int a = 0; a < actualisationsFenetre; ++a)
        detail << QStringLiteral("%1/%2 (%3 Mio)").arg(pires[a], 0, 'f', 0).arg(gels[a], 0, 'f', 0).arg(memoires[a], 0, 'f', 1);
    const qint64 memoireApresDerniere = memoireKio();
    const double pire = *std::max_element(reponses.cbegin(), reponses.cend());
    const auto lentes = std::count_if(reponses.cbegin(), reponses.cend(), [](double d) { return d > 50; });
    std::printf("2. Fenêtre, %d actualisations de 200 flux changés : durée médiane %.2f s (%.2f × plancher) ; "
                "réponse au _NET_WM_PING : médiane %.1f ms, pire %.1f ms sur %d pings, %d au-delà de 50 ms "
                "(au repos : médiane %.1f ms, pire %.1f ms) %s\n",
                actualisationsFenetre, mediane(durees), mediane(durees) / plancherS, mediane(reponses), pire,
                int(reponses.size()), int(lentes), mediane(auRepos),
                *std::max_element(auRepos.cbegin(), auRepos.cend()), verdict(pire <= 50));
    std::printf("   pire ping / plus long battement d'une minuterie de 5 ms (ms), mémoire résidente après, par "
                "actualisation : %s\n",
                qPrintable(detail.join(u' ')));
    std::printf("   fil de la fenêtre pendant une actualisation (médianes) : %.0f ms de processeur, %.0f ms à attendre "
                "un processeur libre (machine partagée)\n",
                mediane(processeur), mediane(attenteProcesseur));
    const double ecartMio = (memoireApresDerniere - memoireApresPremiere) / 1024.0;
    std::printf("3. Mémoire résidente : %.1f Mio après la 1re, %.1f Mio après la %de : %+.1f Mio (but <= 5) %s\n",
                memoireApresPremiere / 1024.0, memoireApresDerniere / 1024.0, actualisationsFenetre, ecartMio,
                verdict(ecartMio <= 5));
    const double inchangee = actualiserFenetre(fenetre);
    std::printf("4. Fenêtre, actualisation sans changement (304) : %.2f s (%.2f × plancher) %s\n", inchangee,
                inchangee / plancherS, verdict(inchangee / plancherS <= 1.2));
    std::printf("Charge à la fin : %s\n", qPrintable(charge()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--serveurs") == 0) {
        QCoreApplication application(argc, argv);
        return servir();
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication application(argc, argv);
    return mesurer(argc > 1 ? std::max(1, std::atoi(argv[1])) : 3);
}
