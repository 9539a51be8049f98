// La fenêtre du lecteur mesurée côte à côte avec une fenêtre Qt nue qui tient une QWebEngineView :
//  1. démarrage : du lancement du processus à la fenêtre montrée (exposée), et mémoire résidente
//     5 s après le lancement ; chaque variante dans son propre processus, plusieurs fois ;
//  2. ouverture d'un flux local de 5 000 informations jusqu'à la page chargée, contre le plancher
//     « analyser le fichier + charger sa page dans une vue nue » ;
//  3. mémoire résidente après 1 000 bascules entre deux onglets de ce flux, contre celle d'après
//     les 10 premières.
// À lancer sous xvfb-run, depuis le dossier de construction ou ailleurs :
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a build/bench/bench_fenetre_interface [lancements] [bascules]
// Modes internes (processus enfants) : --nue, --lecteur.

#include "GenerateurFlux.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "ui/Demarrage.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace {

constexpr int attenteMemoireMs = 5000;

// --- Mémoire résidente ---

qint64 vmRssKio(qint64 pid)
{
    QFile statut(QStringLiteral("/proc/%1/status").arg(pid));
    if (!statut.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Le processus et tous ses descendants (les processus du moteur web compris).
qint64 vmRssArbreKio(qint64 racine)
{
    QMultiHash<qint64, qint64> enfants;
    for (const QString &nom : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool nombre = false;
        const qint64 pid = nom.toLongLong(&nombre);
        if (!nombre)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray texte = stat.readAll();
        const QList<QByteArray> champs = texte.mid(texte.lastIndexOf(')') + 2).split(' ');
        if (champs.size() > 1)
            enfants.insert(champs.at(1).toLongLong(), pid);
    }
    qint64 total = 0;
    QList<qint64> aVoir{racine};
    while (!aVoir.isEmpty()) {
        const qint64 pid = aVoir.takeLast();
        total += vmRssKio(pid);
        aVoir += enfants.values(pid);
    }
    return total;
}

// --- Processus enfants ---

// Écrit « montree » sur la sortie dès que la fenêtre de ce titre est exposée, puis, 5 s après le
// lancement, la mémoire résidente du processus et de ses descendants, et quitte.
class Guetteur : public QObject
{
public:
    explicit Guetteur(const QString &titre) : m_titre(titre) {}

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        if (!m_vue && evenement->type() == QEvent::Expose) {
            auto fenetre = qobject_cast<QWindow *>(objet);
            if (fenetre && fenetre->isExposed() && fenetre->title() == m_titre) {
                m_vue = true;
                std::printf("montree\n");
                std::fflush(stdout);
            }
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    QString m_titre;
    bool m_vue = false;
};

void programmerFin(qint64 depuisLancementMs)
{
    QTimer::singleShot(std::max<qint64>(0, attenteMemoireMs - depuisLancementMs), qApp, [] {
        std::printf("memoire %lld %lld\n", static_cast<long long>(vmRssKio(QCoreApplication::applicationPid())),
                    static_cast<long long>(vmRssArbreKio(QCoreApplication::applicationPid())));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

// Un processus enfant : l'application, son guetteur, la fin programmée, puis le corps.
template<typename Application>
int lancerEnfant(int argc, char *argv[], const QString &titre, const std::function<int(Application &)> &corps)
{
    QElapsedTimer depuis;
    depuis.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    Application application(argc, argv);
    Guetteur guetteur(titre);
    application.installEventFilter(&guetteur);
    programmerFin(depuis.elapsed());
    return corps(application);
}

int enfantNu(int argc, char *argv[])
{
    return lancerEnfant<QApplication>(argc, argv, QStringLiteral("Fenêtre nue"), [](QApplication &application) {
        QMainWindow fenetre;
        fenetre.setWindowTitle(QStringLiteral("Fenêtre nue"));
        fenetre.setCentralWidget(new QWebEngineView(&fenetre));
        fenetre.resize(780, 622);
        fenetre.show();
        return application.exec();
    });
}

int enfantLecteur(int argc, char *argv[])
{
    // Exactement le programme lecteur-rss, avec un guetteur.
    return lancerEnfant<TApplication>(argc, argv, QStringLiteral("Brindlewave - Lecteur RSS"), executerLecteurRSS);
}

struct Lancement
{
    double montreeMs = -1;
    qint64 memoireKio = 0;
    qint64 memoireArbreKio = 0;
};

Lancement lancer(const QString &programme, const QStringList &arguments)
{
    Lancement resultat;
    QProcess processus;
    QElapsedTimer chrono;
    chrono.start();
    processus.start(programme, arguments);
    QByteArray lu;
    while (processus.waitForReadyRead(30000)) {
        lu += processus.readAllStandardOutput();
        if (resultat.montreeMs < 0 && lu.contains("montree\n"))
            resultat.montreeMs = chrono.nsecsElapsed() / 1e6;
        if (lu.contains("memoire "))
            break;
    }
    processus.waitForFinished(30000);
    lu += processus.readAllStandardOutput();
    const int i = lu.indexOf("memoire ");
    if (i >= 0) {
        const QList<QByteArray> champs = lu.mid(i).split('\n').first().split(' ');
        resultat.memoireKio = champs.value(1).toLongLong();
        resultat.memoireArbreKio = champs.value(2).toLongLong();
    }
    return resultat;
}

// La mémoire du vrai programme lecteur-rss, 5 s après son lancement ; il est arrêté ensuite.
Lancement memoireDuProgramme(const QString &programme)
{
    Lancement resultat;
    QProcess processus;
    processus.start(programme, {});
    if (!processus.waitForStarted(10000))
        return resultat;
    processus.waitForFinished(attenteMemoireMs);
    resultat.memoireKio = vmRssKio(processus.processId());
    resultat.memoireArbreKio = vmRssArbreKio(processus.processId());
    processus.terminate();
    if (!processus.waitForFinished(10000))
        processus.kill();
    return resultat;
}

template<typename T>
T mediane(QList<T> valeurs)
{
    std::sort(valeurs.begin(), valeurs.end());
    return valeurs.isEmpty() ? T() : valeurs.at(valeurs.size() / 2);
}

// --- Mesures dans le même processus ---

class DialoguesMesure : public IDialogues
{
public:
    QString fichier;
    int boites = 0;
    Reponse afficher(TypeBoite, const QString &texte, BoutonsBoite, const QString &) override
    {
        ++boites;
        std::fprintf(stderr, "boîte inattendue : %s\n", qPrintable(texte));
        return Reponse::Non;
    }
    QString saisir(const QString &, const QString &) override { return {}; }
    std::optional<QString> choisirFichier(const QString &, const QString &, const QString &) override { return fichier; }
    void bip(int, int) override {}
};

bool attendreChargement(QWebEngineView *vue, int &finis, int delaiMs = 60000)
{
    QElapsedTimer chrono;
    chrono.start();
    while (chrono.elapsed() < delaiMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (finis > 0 && !vue->page()->isLoading())
            return true;
    }
    return false;
}

qint64 rssPropreKio() { return vmRssKio(QCoreApplication::applicationPid()); }

int coordinateur(int argc, char *argv[])
{
    const int lancements = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int bascules = argc > 2 ? std::max(10, atoi(argv[2])) : 1000;
    const QString moi = QCoreApplication::applicationFilePath();

    // 1. Démarrage, chaque variante dans ses processus.
    QList<double> tempsNue, tempsLecteur;
    QList<qint64> memNue, memLecteur, arbreNue, arbreLecteur;
    for (int i = 0; i < lancements; ++i) {
        const Lancement nue = lancer(moi, {QStringLiteral("--nue")});
        const Lancement lecteur = lancer(moi, {QStringLiteral("--lecteur")});
        tempsNue << nue.montreeMs;
        tempsLecteur << lecteur.montreeMs;
        memNue << nue.memoireKio;
        memLecteur << lecteur.memoireKio;
        arbreNue << nue.memoireArbreKio;
        arbreLecteur << lecteur.memoireArbreKio;
    }
    const double tNue = mediane(tempsNue), tLecteur = mediane(tempsLecteur);
    std::printf("1. Démarrage (médiane de %d lancements, processus séparés)\n", lancements);
    std::printf("   fenêtre montrée : lecteur %.0f ms, fenêtre nue %.0f ms, rapport %.2f (but <= 1,10)\n", tLecteur, tNue,
                tLecteur / tNue);
    std::printf("   mémoire résidente à 5 s : lecteur %.1f Mio, fenêtre nue %.1f Mio, écart %.1f Mio (but <= 30)\n",
                mediane(memLecteur) / 1024.0, mediane(memNue) / 1024.0,
                (mediane(memLecteur) - mediane(memNue)) / 1024.0);
    std::printf("   avec les processus du moteur web : lecteur %.1f Mio, fenêtre nue %.1f Mio\n",
                mediane(arbreLecteur) / 1024.0, mediane(arbreNue) / 1024.0);
    const QString programme = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/lecteur-rss"));
    if (QFile::exists(programme)) {
        const Lancement vrai = memoireDuProgramme(programme);
        std::printf("   bin/lecteur-rss lui-même à 5 s : %.1f Mio (%.1f Mio avec le moteur web)\n",
                    vrai.memoireKio / 1024.0, vrai.memoireArbreKio / 1024.0);
    }
    std::fflush(stdout);

    // 2. Ouverture d'un flux local de 5 000 informations.
    QTemporaryDir dossier;
    Emplacement::definirDossierExecutable(dossier.path());
    QDir(dossier.path()).mkpath(QStringLiteral("rss"));
    QDir(dossier.path()).mkpath(QStringLiteral("ressourcesHTML"));
    const QString cheminFlux = Emplacement::dossierRss() + QStringLiteral("flux-5000.xml");
    {
        QFile f(cheminFlux);
        const QByteArray octets = GenerateurFlux::rss2(5000);
        if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
            return 1;
    }

    DialoguesMesure dialogues;
    dialogues.fichier = cheminFlux;
    TmainForm fenetre;
    TdmRSS module(dialogues);
    fenetre.setDmRSS(&module);
    fenetre.show();
    QWebEngineView nue;
    nue.resize(fenetre.pageHTML->size());
    nue.show();
    int finisLecteur = 0, finisNue = 0;
    QObject::connect(fenetre.pageHTML, &QWebEngineView::loadFinished, [&finisLecteur] { ++finisLecteur; });
    QObject::connect(&nue, &QWebEngineView::loadFinished, [&finisNue] { ++finisNue; });
    QElapsedTimer attente;
    attente.start();
    while (attente.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    QList<double> ouvertures, planchers, partiesSynchrones;
    for (int i = 0; i < 5; ++i) {
        // Le lecteur : la commande « Ouvrir un RSS » jusqu'à la page chargée.
        QElapsedTimer chrono;
        chrono.start();
        finisLecteur = 0;
        fenetre.ouvrirRSS->trigger();
        const double synchrone = chrono.nsecsElapsed() / 1e6;
        if (!attendreChargement(fenetre.pageHTML, finisLecteur))
            return 2;
        ouvertures << chrono.nsecsElapsed() / 1e6;
        partiesSynchrones << synchrone;
        fenetre.fermerOngletExecute();
        finisLecteur = 0;
        attendreChargement(fenetre.pageHTML, finisLecteur);

        // Le plancher : analyser le fichier, puis charger la page qu'il donne dans une vue nue.
        const QString page = Emplacement::cheminPage();
        chrono.restart();
        {
            QFile f(cheminFlux);
            if (!f.open(QIODevice::ReadOnly))
                return 1;
            QDomDocument document;
            if (!document.setContent(f.readAll(), false))
                return 1;
            benchmark::DoNotOptimize(document);
        }
        finisNue = 0;
        nue.load(QUrl::fromLocalFile(page));
        if (!attendreChargement(&nue, finisNue))
            return 2;
        planchers << chrono.nsecsElapsed() / 1e6;
        nue.load(QUrl(QStringLiteral("about:blank")));
        finisNue = 0;
        attendreChargement(&nue, finisNue);
    }
    const double ouverture = mediane(ouvertures), plancher = mediane(planchers);
    std::printf("2. Ouverture d'un flux local de 5 000 informations jusqu'à la page chargée (médiane de 5)\n");
    std::printf("   lecteur %.0f ms (dont %.0f ms dans la commande), plancher (analyse + page dans une vue nue) %.0f ms,"
                " rapport %.2f (but <= 1,30)\n",
                ouverture, mediane(partiesSynchrones), plancher, ouverture / plancher);
    std::fflush(stdout);

    // 3. Mémoire après des bascules entre deux onglets de ce flux.
    fenetre.ouvrirRSS->trigger();
    fenetre.ouvrirRSS->trigger();
    int finis = 0;
    QObject::connect(fenetre.pageHTML, &QWebEngineView::loadFinished, [&finis] { ++finis; });
    qint64 apres10 = 0;
    QElapsedTimer chrono;
    chrono.start();
    for (int i = 1; i <= bascules; ++i) {
        finis = 0;
        fenetre.ongletsPages->setCurrentIndex(i % 2);
        // La page d'un flux de 5 000 informations met plus de deux secondes à se dessiner : elle
        // n'est attendue jusqu'au bout qu'une bascule sur cent, les autres s'interrompent l'une
        // l'autre comme sous les clics d'un utilisateur pressé.
        if (i % 100 == 0 || i == 10)
            attendreChargement(fenetre.pageHTML, finis);
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (i == 10)
            apres10 = rssPropreKio();
    }
    const qint64 apresTout = rssPropreKio();
    std::printf("3. Mémoire résidente du processus après %d bascules entre deux onglets (%.0f ms par bascule)\n",
                bascules, chrono.elapsed() / double(bascules));
    std::printf("   après 10 : %.1f Mio, après %d : %.1f Mio, écart %.1f Mio (but < 10)\n", apres10 / 1024.0, bascules,
                apresTout / 1024.0, (apresTout - apres10) / 1024.0);
    if (dialogues.boites > 0)
        return 3;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--nue") == 0)
        return enfantNu(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--lecteur") == 0)
        return enfantLecteur(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication application(argc, argv);
    return coordinateur(argc, argv);
}
