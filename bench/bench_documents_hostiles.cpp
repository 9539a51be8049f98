// Les formes de documents hostiles de 1, 4 et 16 Mo, chacune sous chaque en-tête (déclaration,
// commentaire, déclaration allongée, encoding en double : FormesHostiles), jugées (lues ou
// refusées) par chargerDocumentXML, comparées à la lecture d'un flux ordinaire de même taille par
// le même chemin et à l'analyse nue (QDomDocument::setContent) de ce flux. Tours entrelacés,
// médianes du temps écoulé ; « croissance » : le temps rapporté à celui de la même forme à la
// taille précédente (4 pour une croissance linéaire d'un document lu ; un refus précoce reste
// constant) ; « pic Mo » : ce que la mémoire résidente du processus a gagné à son plus haut.
// Puis chaque forme de 1 Mo passée à « rss-outil analyser » et à « rss-outil opml-importer »
// (comme liste OPML), chacun dans son processus, en alternance avec le flux ordinaire de même
// taille : médianes du temps écoulé, leur rapport (but : 3 au plus) et le plus haut de la
// mémoire résidente du processus de l'outil (but : 300 Mo au plus).
// Usage : bench_documents_hostiles [tours]

#include "FormesHostiles.h"
#include "MemoireProcessus.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double mesurer(const std::function<void()> &travail)
{
    QElapsedTimer chrono;
    chrono.start();
    travail();
    return chrono.nsecsElapsed() / 1e6;
}

qint64 residenteKio() { return MemoireProcessus::champKio(0, "status", "VmRSS:"); }
qint64 picKio() { return MemoireProcessus::champKio(0, "status", "VmHWM:"); }
using MemoireProcessus::remettreLePic;

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

struct Lancement
{
    double ms = 0;
    double picMo = 0;
};

// Lance un programme, sorties jetées, et attend sa fin : son temps écoulé et son plus haut de
// mémoire résidente.
Lancement lancerIci(const std::vector<QByteArray> &ligne)
{
    std::vector<char *> argv;
    for (const QByteArray &a : ligne)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer chrono;
    chrono.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        std::abort();
    int etat = 0;
    rusage r{};
    wait4(pid, &etat, 0, &r);
    posix_spawn_file_actions_destroy(&actions);
    return {chrono.nsecsElapsed() / 1e6, r.ru_maxrss / 1024.0};
}

// Un processus qui lance les programmes à mesurer, créé au démarrage tant que la mesure est
// petite : le noyau compte à un programme lancé le plus haut de mémoire du processus qui le
// lance, et non celui de la mesure, qui tient les formes et leurs arbres.
class Lanceur
{
public:
    Lanceur()
    {
        if (pipe(m_demande) != 0 || pipe(m_reponse) != 0)
            std::abort();
        if (fork() == 0) {
            for (;;) {
                std::vector<QByteArray> ligne;
                qint32 n = 0;
                if (!lire(m_demande[0], &n, sizeof n))
                    _exit(0);
                for (qint32 i = 0; i < n; ++i) {
                    qint32 taille = 0;
                    lire(m_demande[0], &taille, sizeof taille);
                    QByteArray mot(taille, Qt::Uninitialized);
                    lire(m_demande[0], mot.data(), taille);
                    ligne.push_back(mot);
                }
                const Lancement l = lancerIci(ligne);
                if (write(m_reponse[1], &l, sizeof l) != sizeof l)
                    _exit(1);
            }
        }
    }
    ~Lanceur() { close(m_demande[1]); }

    Lancement lancer(const std::vector<QByteArray> &ligne)
    {
        QByteArray message;
        const qint32 n = qint32(ligne.size());
        message.append(reinterpret_cast<const char *>(&n), sizeof n);
        for (const QByteArray &mot : ligne) {
            const qint32 taille = qint32(mot.size());
            message.append(reinterpret_cast<const char *>(&taille), sizeof taille).append(mot);
        }
        Lancement l;
        if (write(m_demande[1], message.constData(), size_t(message.size())) != message.size()
            || !lire(m_reponse[0], &l, sizeof l))
            std::abort();
        return l;
    }

private:
    static bool lire(int fd, void *ou, std::size_t taille)
    {
        char *p = static_cast<char *>(ou);
        while (taille > 0) {
            const ssize_t n = read(fd, p, taille);
            if (n <= 0)
                return false;
            p += n;
            taille -= std::size_t(n);
        }
        return true;
    }

    int m_demande[2] = {-1, -1};
    int m_reponse[2] = {-1, -1};
};

// Chaque forme de 1 Mo par rss-outil, face au flux ordinaire de même taille.
void mesurerOutil(Lanceur &lanceur, const QTemporaryDir &dossier, int tours)
{
    const QByteArray outil = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/rss-outil")).toLocal8Bit();
    const QByteArray base = dossier.filePath(QStringLiteral("baseFlux.xml")).toLocal8Bit();
    const QByteArray ordinaire = ecrire(dossier, QStringLiteral("outil-ordinaire.xml"), FormesHostiles::fluxOrdinaire(1 << 20)).toLocal8Bit();
    std::printf("\nrss-outil, formes de 1 Mo : temps (ms) et rapport au flux ordinaire, plus haut de la mémoire (Mo)\n");
    std::printf("%-66s %10s %8s %8s %10s %8s %8s\n", "forme", "analyser", "rapport", "Mo", "opml", "rapport", "Mo");
    for (const FormesHostiles::Forme &forme : FormesHostiles::formes(1 << 20)) {
        const QByteArray chemin = ecrire(dossier, QStringLiteral("outil-hostile.xml"), forme.octets).toLocal8Bit();
        std::vector<double> a, aOrd, o, oOrd;
        double picA = 0, picO = 0;
        for (int tour = 0; tour < tours; ++tour) {
            const Lancement la = lanceur.lancer({outil, "analyser", chemin});
            a.push_back(la.ms);
            picA = std::max(picA, la.picMo);
            aOrd.push_back(lanceur.lancer({outil, "analyser", ordinaire}).ms);
            const Lancement lo = lanceur.lancer({outil, "opml-importer", chemin, base});
            o.push_back(lo.ms);
            picO = std::max(picO, lo.picMo);
            oOrd.push_back(lanceur.lancer({outil, "opml-importer", ordinaire, base}).ms);
        }
        std::printf("%-66s %10.1f %8.2f %8.0f %10.1f %8.2f %8.0f\n", forme.nom.constData(), mediane(a),
                    mediane(a) / mediane(aOrd), picA, mediane(o), mediane(o) / mediane(oOrd), picO);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    Lanceur lanceur;
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
    mesurerOutil(lanceur, dossier, tours);
    return 0;
}
