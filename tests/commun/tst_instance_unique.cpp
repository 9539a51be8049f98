// Une seule instance par dossier de données : la seconde remet ses fichiers à la première et
// s'arrête ; le verrou et la socket d'un processus tué ne bloquent pas le démarrage suivant ;
// rien n'est remis à un autre utilisateur ; un verrou impossible à poser arrête le lancement.
//
// Mode interne (processus enfant) : --tenir DOSSIER prend le dossier, écrit « pret », puis une
// ligne « recu FICHIERS » par demande reçue, jusqu'à ce qu'on le tue.

#include "LimiteEcriture.h"
#include "OutilsTests.h"

#include "commun/Erreurs.h"
#include "commun/InstanceUnique.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Un processus enfant qui écoute sous ce chemin en utilisateur nobody ; « p » dans le tube une
// fois prêt.
pid_t ecouterEnNobody(const QByteArray &chemin, int tube)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    sockaddr_un adresse{AF_UNIX, {}};
    std::strncpy(adresse.sun_path, chemin.constData(), sizeof adresse.sun_path - 1);
    const int serveur = socket(AF_UNIX, SOCK_STREAM, 0);
    if (bind(serveur, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse) == 0 && setuid(65534) == 0
        && listen(serveur, 4) == 0 && write(tube, "p", 1) == 1)
        pause();
    _exit(1);
}

int tenirLeDossier(const QString &dossier)
{
    InstanceUnique instance(dossier);
    if (instance.demarrer({}) != InstanceUnique::Role::Premiere)
        return 3;
    QObject::connect(&instance, &InstanceUnique::demandeRecue, [](const QStringList &fichiers) {
        std::printf("recu %s\n", qUtf8Printable(fichiers.join(u'|')));
        std::fflush(stdout);
    });
    std::printf("pret\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// Un processus enfant qui tient le dossier ; vide quand il n'a pas pu le prendre.
std::unique_ptr<QProcess> lancerTeneur(const QString &dossier)
{
    auto processus = std::make_unique<QProcess>();
    processus->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--tenir"), dossier});
    while (processus->waitForReadyRead(10000)) {
        if (processus->canReadLine() && processus->readLine() == "pret\n")
            return processus;
    }
    return nullptr;
}

} // namespace

class TestInstanceUnique : public QObject
{
    Q_OBJECT

private slots:
    void laSecondeRemetSesFichiersALaPremiere()
    {
        QTemporaryDir dossier;
        InstanceUnique premiere(dossier.path());
        QCOMPARE(premiere.demarrer({}), InstanceUnique::Role::Premiere);
        QSignalSpy demandes(&premiere, &InstanceUnique::demandeRecue);

        const QStringList fichiers{u"/tmp/un flux.xml"_qs, u"/tmp/été/deux.rdf"_qs};
        InstanceUnique seconde(dossier.path());
        QCOMPARE(seconde.demarrer(fichiers), InstanceUnique::Role::Seconde);
        QVERIFY(demandes.wait(5000));
        QCOMPARE(demandes.at(0).at(0).toStringList(), fichiers);

        // Sans fichier aussi : la demande arrive, vide, pour que la fenêtre passe devant.
        InstanceUnique troisieme(dossier.path());
        QCOMPARE(troisieme.demarrer({}), InstanceUnique::Role::Seconde);
        QVERIFY(demandes.wait(5000));
        QCOMPARE(demandes.at(1).at(0).toStringList(), QStringList());
    }

    void deuxDossiersDonnentDeuxPremieres()
    {
        QTemporaryDir a, b;
        InstanceUnique surA(a.path()), surB(b.path());
        QCOMPARE(surA.demarrer({}), InstanceUnique::Role::Premiere);
        QCOMPARE(surB.demarrer({}), InstanceUnique::Role::Premiere);
        QVERIFY(InstanceUnique::nomServeur(a.path()) != InstanceUnique::nomServeur(b.path()));
        // Le même dossier écrit autrement a le même nom.
        QCOMPARE(InstanceUnique::nomServeur(a.path() + u"/./"), InstanceUnique::nomServeur(a.path()));
    }

    void unAutreProcessusRecoitLesFichiersPuisSaMortLibereLeDossier()
    {
        QTemporaryDir dossier;
        std::unique_ptr<QProcess> teneur = lancerTeneur(dossier.path());
        QVERIFY(teneur);

        InstanceUnique seconde(dossier.path());
        QCOMPARE(seconde.demarrer({u"/tmp/flux.xml"_qs}), InstanceUnique::Role::Seconde);
        QVERIFY(teneur->waitForReadyRead(5000) || teneur->canReadLine());
        QCOMPARE(teneur->readLine(), QByteArray("recu /tmp/flux.xml\n"));

        // Tué net : son verrou et sa socket restent sur le disque.
        teneur->kill();
        QVERIFY(teneur->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(InstanceUnique::cheminVerrou(dossier.path())));

        QElapsedTimer chrono;
        chrono.start();
        InstanceUnique suivante(dossier.path());
        QCOMPARE(suivante.demarrer({}), InstanceUnique::Role::Premiere);
        QVERIFY2(chrono.elapsed() < 2000, qPrintable(QString::number(chrono.elapsed())));
        // Et elle écoute vraiment : une autre encore lui remet sa demande.
        QSignalSpy demandes(&suivante, &InstanceUnique::demandeRecue);
        InstanceUnique encore(dossier.path());
        QCOMPARE(encore.demarrer({u"/tmp/x.xml"_qs}), InstanceUnique::Role::Seconde);
        QVERIFY(demandes.wait(5000));
    }

    void leVerrouDisparaitAvecLaPremiere()
    {
        QTemporaryDir dossier;
        {
            InstanceUnique premiere(dossier.path());
            QCOMPARE(premiere.demarrer({}), InstanceUnique::Role::Premiere);
            QVERIFY(QFileInfo::exists(InstanceUnique::cheminVerrou(dossier.path())));
        }
        QVERIFY(!QFileInfo::exists(InstanceUnique::cheminVerrou(dossier.path())));
        InstanceUnique suivante(dossier.path());
        QCOMPARE(suivante.demarrer({}), InstanceUnique::Role::Premiere);
    }

    void uneSocketDUnAutreUtilisateurNeRecoitRien()
    {
        if (geteuid() != 0)
            QSKIP("seul root peut écouter sous un autre utilisateur");
        QTemporaryDir dossier;
        QLockFile tenu(InstanceUnique::cheminVerrou(dossier.path()));
        int tube[2];
        QVERIFY(tenu.tryLock(0) && pipe(tube) == 0);
        const QString nom = InstanceUnique::nomServeur(dossier.path());
        const pid_t autre = ecouterEnNobody(QFile::encodeName(nom), tube[1]);
        char pret = 0;
        QVERIFY(read(tube[0], &pret, 1) == 1);
        InstanceUnique seconde(dossier.path());
        QVERIFY_THROWS_EXCEPTION(ErreurLecteur, seconde.demarrer({u"/tmp/secret.xml"_qs}));
        kill(autre, SIGKILL);
        waitpid(autre, nullptr, 0);
        close(tube[0]);
        close(tube[1]);
        QFile::remove(nom);
    }

    void desConnexionsQuiTrainentNeBloquentPasLaSuivante()
    {
        QTemporaryDir dossier;
        InstanceUnique premiere(dossier.path());
        QCOMPARE(premiere.demarrer({}), InstanceUnique::Role::Premiere);
        QSignalSpy demandes(&premiere, &InstanceUnique::demandeRecue);
        // Bien plus de connexions que la première n'en sert, chacune une moitié de demande ; la
        // dernière annonce plus que la borne. Les plus anciennes et celle-ci sont fermées aussitôt.
        std::vector<std::unique_ptr<QLocalSocket>> trainantes(30);
        for (auto &socket : trainantes) {
            socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(InstanceUnique::nomServeur(dossier.path()));
            socket->write(&socket == &trainantes.back() ? QByteArray("\x7f\xff\xff\xff", 4) : QByteArray("\0\0\0\x20/tmp/", 9));
            QVERIFY(socket->waitForBytesWritten(1000));
        }
        const auto fermees = [&trainantes] {
            return std::count_if(trainantes.cbegin(), trainantes.cend(), [](const auto &s) { return s->state() == QLocalSocket::UnconnectedState; });
        };
        QVERIFY(QTest::qWaitFor([&] { return fermees() >= 27; }, 1000));

        const QStringList fichiers{QString(50'000, u'é'), u"/tmp/a.xml"_qs};
        InstanceUnique seconde(dossier.path());
        QCOMPARE(seconde.demarrer(fichiers), InstanceUnique::Role::Seconde);
        QVERIFY(demandes.wait(1000));
        QCOMPARE(demandes.at(0).at(0).toStringList(), fichiers);
        // Les dernières traînantes sont fermées au bout de 2 s, sans rien remettre.
        QVERIFY(QTest::qWaitFor([&] { return fermees() == 30; }, 3000));
        QCOMPARE(demandes.size(), 1);
    }

    // Sans XDG_RUNTIME_DIR, un /tmp/runtime-UTILISATEUR posé d'avance par un autre, ou mal posé :
    // la prise passe dans le dossier de données et la remise se fait ; sans dossier sûr, le
    // problème est nommé.
    void unDossierDExecutionRefuseNEmpechePasLaRemise_data()
    {
        QTest::addColumn<QString>("piege");
        for (const char *piege : {"autre utilisateur", "ouvert aux autres", "secours pris aussi"})
            QTest::newRow(piege) << QString::fromLatin1(piege);
    }

    void unDossierDExecutionRefuseNEmpechePasLaRemise()
    {
        QFETCH(QString, piege);
        if (piege.startsWith(u'a') && geteuid() != 0)
            QSKIP("seul root peut donner un dossier à un autre utilisateur");
        QTemporaryDir temporaire, donnees;
        const QByteArray execution = QFile::encodeName(temporaire.path()) + "/runtime-" + getpwuid(geteuid())->pw_name;
        QVERIFY(mkdir(execution, 0700) == 0 && chmod(execution, piege.startsWith(u'a') ? 0700 : 0755) == 0);
        if (piege.startsWith(u'a'))
            QVERIFY(chown(execution, 65534, 65534) == 0);
        if (piege.startsWith(u's'))
            OutilsTests::ecrireFichier(donnees.filePath(u".lecteur-rss.prises"_qs), "x");
        const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR"), tmpdir = qgetenv("TMPDIR");
        const auto retablir = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", xdg);
            qputenv("TMPDIR", tmpdir);
        });
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temporaire.path()));

        InstanceUnique premiere(donnees.path()), seconde(donnees.path());
        QCOMPARE(premiere.demarrer({}), InstanceUnique::Role::Premiere);
        QSignalSpy demandes(&premiere, &InstanceUnique::demandeRecue);
        if (piege.startsWith(u's')) {
            QCOMPARE(seconde.demarrer({}), InstanceUnique::Role::Injoignable);
            QVERIFY2(seconde.probleme().contains(u".lecteur-rss.prises » n'est pas un dossier"), qPrintable(seconde.probleme()));
            return;
        }
        QCOMPARE(QFileInfo(InstanceUnique::nomServeur(donnees.path())).path(), donnees.filePath(u".lecteur-rss.prises"_qs));
        QCOMPARE(seconde.demarrer({u"/tmp/a.xml"_qs}), InstanceUnique::Role::Seconde);
        QVERIFY(demandes.wait(5000));
    }

    void unVerrouImpossibleArreteLeLancement()
    {
        QTemporaryDir dossier;
        InstanceUnique instance(dossier.path());
        LimiteEcriture disquePlein(0);
        QVERIFY_THROWS_EXCEPTION(ErreurEcriture, instance.demarrer({}));
    }

    void lesFichiersDesArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("fichiers");
        const QString courant = QDir::currentPath();
        QTest::newRow("aucun") << QStringList{u"lecteur-rss"_qs} << QStringList();
        QTest::newRow("chemin absolu") << QStringList{u"lecteur-rss"_qs, u"/tmp/a.xml"_qs} << QStringList{u"/tmp/a.xml"_qs};
        QTest::newRow("chemin relatif") << QStringList{u"lecteur-rss"_qs, u"rss/a b.xml"_qs}
                                        << QStringList{courant + u"/rss/a b.xml"};
        QTest::newRow("adresse file://") << QStringList{u"lecteur-rss"_qs, u"file:///tmp/%C3%A9t%C3%A9.xml"_qs}
                                         << QStringList{u"/tmp/été.xml"_qs};
        QTest::newRow("options écartées") << QStringList{u"lecteur-rss"_qs, u"--lecteur"_qs, u"/tmp/a.xml"_qs, u"-x"_qs}
                                          << QStringList{u"/tmp/a.xml"_qs};
        QTest::newRow("plusieurs") << QStringList{u"lecteur-rss"_qs, u"/tmp/a.xml"_qs, u"/tmp/b.rdf"_qs}
                                   << QStringList{u"/tmp/a.xml"_qs, u"/tmp/b.rdf"_qs};
    }

    void lesFichiersDesArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, fichiers);
        QCOMPARE(InstanceUnique::fichiersDesArguments(arguments), fichiers);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--tenir") == 0)
        return tenirLeDossier(QString::fromLocal8Bit(argv[2]));
    TestInstanceUnique test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instance_unique.moc"
