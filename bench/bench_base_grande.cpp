// Jusqu'où la base peut grandir : une base écrite par le programme (sauvegarderBase), de N
// informations sauvegardées aux descriptions d'un kilo-octet, réparties en flux de 1 000, puis
// relue par chargerBase dans un processus neuf. Pour chaque N : la taille du fichier, le temps de
// la lecture, le plus haut de la mémoire résidente pendant la lecture (VmHWM), et la mémoire qui
// reste une fois l'arbre lu détruit (les listes seules), après que la mémoire libérée a été rendue
// au système (malloc_trim).
// Usage : bench_base_grande [N...]        (par défaut 100000 300000)

#include "MemoireProcessus.h"

#include "base/TdmRSS.h"
#include "commun/DialoguesMuets.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <cstdio>
#include <malloc.h>

namespace {

qint64 champKio(const QByteArray &champ) { return MemoireProcessus::champKio(0, "status", champ); }

// Écrit la base de N informations avec le programme lui-même.
int ecrire(int informations, const QString &dossier)
{
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);
    const QString modele = dossier + QStringLiteral("/modele.xml");
    QFile f(modele);
    if (!f.open(QIODevice::WriteOnly) || f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE/>\n") <= 0)
        return 1;
    f.close();
    const QString description =
        QStringLiteral("<p>Le conseil municipal a adopté mardi soir le budget, après trois heures de débats animés "
                       "entre la majorité et l'opposition. Le texte prévoit une hausse modérée des investissements, "
                       "notamment pour les écoles et la voirie.</p>")
            .repeated(4)
            .left(1000);
    for (int i = 0; i < informations; ++i) {
        if (i % 1000 == 0) {
            auto flux = std::make_shared<TFlux>();
            flux->setDonnees(QStringLiteral("Flux %1").arg(i / 1000), QStringLiteral("http://127.0.0.1/"),
                             QStringLiteral("Un flux"), QString(), QString(), QStringLiteral("fr"), QString());
            flux->setUrlRss(QStringLiteral("http://127.0.0.1/flux/%1.xml").arg(i / 1000));
            module.getFluxBase().append(flux);
        }
        auto info = std::make_shared<TInfo>();
        info->setDonnees(QStringLiteral("Article n°%1 : l'été à Noël").arg(i),
                         QStringLiteral("http://127.0.0.1/articles/%1").arg(i), description,
                         QStringLiteral("Mon, 07 Dec 2026 08:00:00 +0100"));
        module.getFluxBase().last()->infos.append(info);
    }
    module.sauvegarderBase(modele, dossier + QStringLiteral("/baseFlux.xml"));
    return 0;
}

// Relit la base et écrit la ligne de mesure.
int lire(int informations, const QString &chemin)
{
    DialoguesMuets dialogues;
    TdmRSS module(dialogues);
    const qint64 avant = champKio("VmRSS:");
    QElapsedTimer chrono;
    chrono.start();
    module.chargerBase(chemin);
    const double ms = chrono.nsecsElapsed() / 1e6;
    QThreadPool::globalInstance()->waitForDone(); // l'arbre lu est détruit sur un fil de fond
    malloc_trim(0);
    qint64 lues = 0;
    for (const PFlux &flux : module.getFluxBase())
        lues += flux->infos.size();
    if (lues != informations)
        return 1;
    std::printf("%12d %12.1f %10.0f %12.0f %14.0f\n", informations, QFileInfo(chemin).size() / 1048576.0, ms,
                (champKio("VmHWM:") - avant) / 1024.0, (champKio("VmRSS:") - avant) / 1024.0);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--ecrire")
        return ecrire(atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && QByteArray(argv[1]) == "--lire")
        return lire(atoi(argv[2]), QString::fromLocal8Bit(argv[3]));

    QList<int> tailles;
    for (int i = 1; i < argc; ++i)
        tailles.append(atoi(argv[i]));
    if (tailles.isEmpty())
        tailles = {100000, 300000};
    std::printf("%12s %12s %10s %12s %14s\n", "informations", "fichier Mio", "lue (ms)", "pic Mio", "après Mio");
    std::fflush(stdout);
    for (const int n : tailles) {
        QTemporaryDir dossier;
        const auto lancer = [&](const char *mode, const QString &chemin) {
            QProcess processus;
            processus.setProcessChannelMode(QProcess::ForwardedChannels);
            processus.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode), QString::number(n), chemin});
            processus.waitForFinished(-1);
            return processus.exitCode() == 0;
        };
        if (!lancer("--ecrire", dossier.path()) || !lancer("--lire", dossier.filePath(QStringLiteral("baseFlux.xml"))))
            std::printf("%12d : base non écrite ou non relue\n", n);
    }
    return 0;
}
