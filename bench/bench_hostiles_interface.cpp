// Les documents hostiles ouverts dans la fenêtre (Ouvrir un fichier) : chaque forme de 1 Mo sous
// chaque en-tête (FormesHostiles), les plus grands documents que les budgets acceptent et les
// pages à la borne de la page, un processus neuf par document. Pour chacun : lu ou refusé, le
// temps de la commande rapporté à celui d'un flux ordinaire de même taille ouvert par le même
// processus, ce que la mémoire résidente du processus de la fenêtre a gagné à son plus haut
// (VmHWM moins la mémoire d'avant l'ouverture), et la somme des plus hauts de la fenêtre et de
// tous ses descendants (les processus du moteur web qui montrent la page). Buts : 3 fois le flux
// ordinaire au plus et 300 Mo au plus pour les formes de 1 Mo ; 1,5 Gio au plus pour l'arbre des
// processus, quel que soit le document.
// Temps : médianes de tours alternés (document, flux ordinaire, document...). À lancer sous xvfb-run :
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_hostiles_interface [tours] [premier]

#include "FormesHostiles.h"
#include "GenerateurFlux.h"
#include "MesureFenetre.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "render/PoidsPage.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

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

// Les plus grands documents acceptés : le plus de nœuds, le plus d'éléments à attributs, le plus
// de texte ; puis des pages qui atteignent la borne de la page, par une seule description, par
// des mots ou par des balises (en descriptions assez courtes pour être relues comme du HTML), et
// des flux ordinaires dont la page tient entière ou passe la borne.
QList<Document> documents()
{
    QList<Document> liste;
    for (const FormesHostiles::Forme &f : FormesHostiles::formes(1 << 20))
        liste.append({f.nom, f.octets});
    liste.append({"le plus de nœuds", "<rss>" + QByteArray("<a/>").repeated(1'499'990) + "</rss>"});
    liste.append({"le plus d'attributs", "<rss>" + QByteArray("<a b=\"\"/>").repeated(149'990) + "</rss>"});
    liste.append({"le plus de texte", "<rss><t>" + QByteArray(67'000'000, 'x') + "</t></rss>"});
    const qint64 octetsPage = TdmRSS::poidsMaxPage / PoidsPage::parOctet;
    liste.append({"une description à la borne de la page",
                  "<rss><channel><title>t</title><item><title>i</title><description>"
                      + QByteArray(octetsPage - 2 * TdmRSS::reservePage, 'x') + "</description></item></channel></rss>"});
    const auto descriptions = [](const QByteArray &morceau, qint64 octets) -> QByteArray {
        QByteArray flux = "<rss><channel><title>t</title>";
        for (qint64 taille = 0; taille < octets; taille += 25 * 1024 * morceau.size())
            flux += "<item><title>i</title><description>" + morceau.repeated(25 * 1024) + "</description></item>";
        return flux + "</channel></rss>";
    };
    liste.append({"des mots à la borne de la page", descriptions("mot ", 2 * octetsPage)});
    liste.append({"des balises à la borne de la page",
                  descriptions("&lt;br&gt;", 2 * 10 * TdmRSS::poidsMaxPage / PoidsPage::parNoeud)});
    liste.append({"un flux de 5 000 informations (page entière)", GenerateurFlux::rss2(5000)});
    liste.append({"un flux de 5 000 articles de 1 Ko", GenerateurFlux::rss2Realiste(5000)});
    liste.append({"un flux de 60 Mo", GenerateurFlux::rss2(135'000)});
    return liste;
}

// Relève, sur un fil à part, le plus haut de la mémoire (PSS) d'un processus et de ses
// descendants, tant qu'il vit.
class Releve
{
public:
    explicit Releve(qint64 pid)
        : m_pic(MesureFenetre::memoireArbre(pid).pssKio), m_fil([this, pid] {
              while (!m_fin) {
                  m_pic = std::max<qint64>(m_pic, MesureFenetre::memoireArbre(pid).pssKio);
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              }
          })
    {
    }
    ~Releve()
    {
        m_fin = true;
        m_fil.join();
    }
    qint64 picKio() const { return m_pic; }

private:
    std::atomic<bool> m_fin{false};
    std::atomic<qint64> m_pic;
    std::thread m_fil;
};

// Ouvre le fichier par la commande « Ouvrir un RSS » : le temps de la commande ; un document lu
// laisse ensuite sa page se charger, puis son onglet se ferme.
double ouvrirPuisFermer(TmainForm &fenetre, DialoguesMesure &dialogues, const QString &chemin)
{
    dialogues.fichier = chemin;
    dialogues.derniere.clear();
    QElapsedTimer chrono;
    chrono.start();
    fenetre.ouvrirRSS->trigger();
    const double ms = chrono.nsecsElapsed() / 1e6;
    if (dialogues.derniere.isEmpty()) {
        MesureFenetre::attendreChargement(fenetre.pageHTML);
        MesureFenetre::pause(1500); // l'arbre XML se bâtit en fond
        fenetre.fermerOngletExecute();
        MesureFenetre::attendreChargement(fenetre.pageHTML);
        MesureFenetre::pause(300);
    }
    return ms;
}

// Dans un processus neuf : ouvre et ferme un petit flux (le moteur web est alors lancé), puis, à
// chaque tour, le document et un flux ordinaire de sa taille ; les médianes de leurs temps, et les
// plus hauts de mémoire relevés pendant les ouvertures du document.
int mesurerUn(int indice, int tours)
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
    const auto copie = [](const QString &chemin, const QString &suffixe) {
        const QString autre = chemin + suffixe;
        QFile::copy(chemin, autre);
        return autre;
    };
    const QString petit = ecrire(QStringLiteral("petit.xml"), GenerateurFlux::rss2(3));
    const QString ordinaire = ecrire(QStringLiteral("ordinaire.xml"), FormesHostiles::fluxOrdinaire(document.octets.size()));
    const QString hostile = ecrire(QStringLiteral("hostile.xml"), document.octets);

    DialoguesMesure dialogues;
    TmainForm fenetre;
    TdmRSS module(dialogues);
    fenetre.setDmRSS(&module);
    fenetre.show();
    MesureFenetre::pause(1000);
    ouvrirPuisFermer(fenetre, dialogues, petit);
    const qint64 pid = QCoreApplication::applicationPid();
    const qint64 avant = MesureFenetre::champKio(pid, "status", "VmRSS:");
    const qint64 arbreAvant = MesureFenetre::memoireArbre(pid).pssKio;
    qint64 picArbre = 0, picPremier = 0;
    QList<double> temps, tempsOrdinaire;
    QString refus;
    bool lu = false;
    for (int tour = 0; tour < tours; ++tour) {
        // Un nom neuf à chaque tour : la fenêtre reprendrait sinon la lecture d'un fichier qu'elle
        // vient de montrer, sans le relire.
        const QString numero = QString::number(tour);
        {
            const Releve releve(pid);
            temps.append(ouvrirPuisFermer(fenetre, dialogues, copie(hostile, numero)));
            picArbre = std::max(picArbre, releve.picKio());
            if (tour == 0)
                picPremier = picArbre;
        }
        refus = dialogues.derniere.section(u'\n', 2);
        lu = dialogues.derniere.isEmpty();
        tempsOrdinaire.append(ouvrirPuisFermer(fenetre, dialogues, copie(ordinaire, numero)));
    }
    const qint64 pic = MesureFenetre::champKio(pid, "status", "VmHWM:");
    const double t = MesureFenetre::mediane(temps), o = MesureFenetre::mediane(tempsOrdinaire);
    std::printf("%-66s %9lld %4s %10.1f %10.1f %7.2f %9.0f %9.0f %9.0f %9.0f  %s\n", document.nom.constData(),
                static_cast<long long>(document.octets.size()), lu ? "oui" : "non", t, o, t / o,
                std::max<qint64>(0, pic - avant) / 1024.0, arbreAvant / 1024.0, picPremier / 1024.0, picArbre / 1024.0,
                qPrintable(refus));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // --un N T : le seul document N, en T tours, dans ce processus ; sinon chacun dans un
    // processus neuf, en [tours] tours (3 par défaut), à partir du [premier] (0 par défaut).
    if (argc > 3 && QByteArray(argv[1]) == "--un") {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        TApplication application(argc, argv);
        return mesurerUn(atoi(argv[2]), atoi(argv[3]));
    }
    QCoreApplication application(argc, argv);
    std::printf("%-66s %9s %4s %10s %10s %7s %9s %9s %9s %9s  %s\n", "document", "octets", "lu", "ouvert (ms)",
                "flux (ms)", "rapport", "+fenêtre", "arbre av.", "1er tour", "pic", "refus");
    std::fflush(stdout);
    const int nombre = int(documents().size());
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    for (int i = argc > 2 ? std::max(0, atoi(argv[2])) : 0; i < nombre; ++i) {
        QProcess processus;
        processus.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        processus.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--un"), QString::number(i), QString::number(tours)});
        processus.waitForFinished(-1);
    }
    return 0;
}
