// Les documents hostiles ouverts dans la fenêtre (Ouvrir un fichier) : chaque forme de 1 Mo
// (FormesHostiles) et les plus grands documents que les budgets acceptent, un processus neuf par
// document. Pour chacun : lu ou refusé, le temps de la commande rapporté à celui d'un flux
// ordinaire de même taille ouvert par le même processus, et le pic de mémoire résidente du
// processus de la fenêtre (VmHWM) rapporté à sa mémoire avant l'ouverture. Buts : 3 fois le flux
// ordinaire au plus, 300 Mo au plus pour les formes de 1 Mo, 1,5 Gio pour les plus grands.
// À lancer sous xvfb-run :
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_hostiles_interface

#include "FormesHostiles.h"
#include "MesureFenetre.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class DialoguesMesure : public IDialogues
{
public:
    QString fichier;
    QString derniere;
    Reponse afficher(TypeBoite, const QString &texte, BoutonsBoite, const QString &) override
    {
        derniere = texte;
        return Reponse::Ok;
    }
    QString saisir(const QString &, const QString &) override { return {}; }
    std::optional<QString> choisirFichier(const QString &, const QString &, const QString &) override { return fichier; }
    void bip(int, int) override {}
};

struct Document
{
    QByteArray nom;
    QByteArray octets;
};

// Les plus grands documents acceptés : le plus de nœuds, le plus d'éléments à attributs, le plus de texte.
QList<Document> documents()
{
    QList<Document> liste;
    for (const FormesHostiles::Forme &f : FormesHostiles::formes(1 << 20))
        liste.append({f.nom, f.octets});
    liste.append({"le plus de nœuds", "<rss>" + QByteArray("<a/>").repeated(1'499'990) + "</rss>"});
    liste.append({"le plus d'attributs", "<rss>" + QByteArray("<a b=\"\"/>").repeated(149'990) + "</rss>"});
    liste.append({"le plus de texte", "<rss><t>" + QByteArray(67'000'000, 'x') + "</t></rss>"});
    return liste;
}

double ouvrir(TmainForm &fenetre, DialoguesMesure &dialogues, const QString &chemin)
{
    dialogues.fichier = chemin;
    dialogues.derniere.clear();
    QElapsedTimer chrono;
    chrono.start();
    fenetre.ouvrirRSS->trigger();
    const double ms = chrono.nsecsElapsed() / 1e6;
    MesureFenetre::attendreChargement(fenetre.pageHTML);
    return ms;
}

// Dans un processus neuf : ouvre un flux ordinaire de la taille du document, le ferme, puis le document.
int mesurerUn(int indice)
{
    const Document document = documents().at(indice);
    QTemporaryDir dossier;
    Emplacement::definirDossierExecutable(dossier.path());
    QDir(dossier.path()).mkpath(QStringLiteral("rss"));
    QDir(dossier.path()).mkpath(QStringLiteral("ressourcesHTML"));
    const auto ecrire = [&](const QString &nom, const QByteArray &octets) {
        QFile f(dossier.filePath(nom));
        f.open(QIODevice::WriteOnly);
        f.write(octets);
        return f.fileName();
    };
    const QString ordinaire = ecrire(QStringLiteral("ordinaire.xml"), FormesHostiles::fluxOrdinaire(document.octets.size()));
    const QString hostile = ecrire(QStringLiteral("hostile.xml"), document.octets);

    DialoguesMesure dialogues;
    TmainForm fenetre;
    TdmRSS module(dialogues);
    fenetre.setDmRSS(&module);
    fenetre.show();
    MesureFenetre::pause(1000);
    const double tempsOrdinaire = ouvrir(fenetre, dialogues, ordinaire);
    fenetre.fermerOngletExecute();
    MesureFenetre::attendreChargement(fenetre.pageHTML);
    MesureFenetre::pause(500);
    const qint64 pid = QCoreApplication::applicationPid();
    const qint64 avant = MesureFenetre::champKio(pid, "status", "VmHWM:");
    const double temps = ouvrir(fenetre, dialogues, hostile);
    MesureFenetre::pause(1500); // l'arbre XML se bâtit en fond
    const qint64 pic = MesureFenetre::champKio(pid, "status", "VmHWM:");
    const QString refus = dialogues.derniere.section(u'\n', 2);
    std::printf("%-38s %9lld %6s %10.1f %10.1f %7.2f %9.0f %9.0f  %s\n", document.nom.constData(),
                static_cast<long long>(document.octets.size()), dialogues.derniere.isEmpty() ? "oui" : "non", temps,
                tempsOrdinaire, temps / tempsOrdinaire, avant / 1024.0, pic / 1024.0, qPrintable(refus));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 2 && QByteArray(argv[1]) == "--un") {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        TApplication application(argc, argv);
        return mesurerUn(atoi(argv[2]));
    }
    QCoreApplication application(argc, argv);
    std::printf("%-38s %9s %6s %10s %10s %7s %9s %9s  %s\n", "document", "octets", "lu", "ouvert (ms)", "flux (ms)",
                "rapport", "avant Mio", "pic Mio", "refus");
    std::fflush(stdout);
    const int nombre = int(documents().size());
    for (int i = 0; i < nombre; ++i) {
        QProcess processus;
        processus.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        processus.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--un"), QString::number(i)});
        processus.waitForFinished(-1);
    }
    return 0;
}
