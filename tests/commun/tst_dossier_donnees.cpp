// Le choix du dossier de données au démarrage : portable quand les droits du dossier de
// l'exécutable permettent d'y écrire, sinon le dossier de l'utilisateur, créé et garni sans rien y
// écraser.

#include "LimiteEcriture.h"
#include "OutilsTests.h"

#include "commun/DossierDonnees.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

// Un dossier dont les droits refusent l'écriture à tous, root compris : la racine de /proc/sys.
// Un dossier en 0555 ne suffirait pas, root passe outre ses droits.
const QString dossierQuiRefuse = QStringLiteral("/proc/sys");

// Les données partagées d'un programme installé : le modèle et deux flux d'exemple, en lecture seule
// comme sous un préfixe appartenant à root.
void poserDonneesPartagees(const QString &partage)
{
    OutilsTests::ecrireFichier(partage + u"/baseFluxModèle.xml", "<LecteurRSS_BASE/>\n");
    OutilsTests::ecrireFichier(partage + u"/rss/un.xml", "<rss>un</rss>\n");
    OutilsTests::ecrireFichier(partage + u"/rss/deux.rdf", "<rdf>deux</rdf>\n");
    for (const QString &f : {u"/baseFluxModèle.xml"_qs, u"/rss/un.xml"_qs, u"/rss/deux.rdf"_qs})
        QFile::setPermissions(partage + f, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

class TestDossierDonnees : public QObject
{
    Q_OBJECT

private slots:
    void lesDroitsDuDossierDecident_data()
    {
        QTest::addColumn<QString>("dossier");
        QTest::addColumn<bool>("plein");
        QTest::addColumn<bool>("accepte");
        QTest::newRow("dossier temporaire") << QString() << false << true;
        // Une création qui échouerait faute de place ne change pas la disposition.
        QTest::newRow("dossier temporaire, plus aucun fichier ne s'ouvre") << QString() << true << true;
        QTest::newRow("/proc/sys") << dossierQuiRefuse << false << false;
        QTest::newRow("dossier absent") << QStringLiteral("/nulle-part/absent") << false << false;
    }

    void lesDroitsDuDossierDecident()
    {
        QFETCH(QString, dossier);
        QFETCH(bool, plein);
        QFETCH(bool, accepte);
        QTemporaryDir temporaire;
        if (dossier.isEmpty())
            dossier = temporaire.path();
        std::optional<LimiteEcriture> limite;
        if (plein)
            limite.emplace(0, RLIMIT_NOFILE);
        QCOMPARE(DossierDonnees::accepteEcriture(dossier), accepte);
        limite.reset();
        // Rien n'y est écrit.
        QVERIFY(QDir(temporaire.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void unDossierInscriptibleResteLeDossierDesDonnees()
    {
        QTemporaryDir executable, partage, maison;
        poserDonneesPartagees(partage.path());
        OutilsTests::ecrireFichier(executable.filePath(u"baseFluxModèle.xml"_qs), "<LecteurRSS_BASE/>\n");
        const QString utilisateur = maison.filePath(QStringLiteral("donnees/brindlewave"));
        const DossierDonnees::Choix choix = DossierDonnees::choisir(executable.path(), partage.path(), utilisateur);
        QCOMPARE(choix.disposition, DossierDonnees::Disposition::Portable);
        QCOMPARE(choix.dossier, executable.path() + u'/');
        QVERIFY(!QFileInfo::exists(utilisateur));
        QCOMPARE(QDir(executable.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"baseFluxModèle.xml"_qs});
    }

    // Root peut écrire dans bin/ : un exécutable sans modèle à côté de lui, dont les données
    // partagées ont le modèle, est un programme installé.
    void unProgrammeInstalleLanceParRootResteChezLUtilisateur()
    {
        QTemporaryDir executable, partage, maison;
        poserDonneesPartagees(partage.path());
        const QString utilisateur = maison.filePath(QStringLiteral("donnees/brindlewave"));
        const DossierDonnees::Choix choix = DossierDonnees::choisir(executable.path(), partage.path(), utilisateur);
        QCOMPARE(choix.disposition, DossierDonnees::Disposition::Installee);
        QVERIFY(QFileInfo::exists(utilisateur + u"/baseFluxModèle.xml"_qs));
        QVERIFY(QDir(executable.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void unDossierEnLectureSeulePasseAuDossierDeLUtilisateur()
    {
        QTemporaryDir partage, maison;
        poserDonneesPartagees(partage.path());
        const QString utilisateur = maison.filePath(QStringLiteral("donnees/brindlewave"));

        const DossierDonnees::Choix choix = DossierDonnees::choisir(dossierQuiRefuse, partage.path(), utilisateur);
        QCOMPARE(choix.disposition, DossierDonnees::Disposition::Installee);
        QCOMPARE(choix.dossier, utilisateur + u'/');
        QVERIFY(QFileInfo(utilisateur + u"/ressourcesHTML").isDir());
        QCOMPARE(QDir(utilisateur + u"/rss").entryList(QDir::Files), QStringList({u"deux.rdf"_qs, u"un.xml"_qs}));
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/baseFluxModèle.xml"), QByteArray("<LecteurRSS_BASE/>\n"));
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/rss/un.xml"), QByteArray("<rss>un</rss>\n"));
        // Les copies appartiennent à l'utilisateur : il peut les modifier.
        QVERIFY(QFileInfo(utilisateur + u"/rss/un.xml").permission(QFileDevice::WriteOwner));
        QVERIFY(!QFileInfo::exists(utilisateur + u"/baseFlux.xml"));
    }

    void lesFichiersDejaLaNeSontJamaisEcrases()
    {
        QTemporaryDir partage, maison;
        poserDonneesPartagees(partage.path());
        const QString utilisateur = maison.filePath(QStringLiteral("brindlewave"));
        OutilsTests::ecrireFichier(utilisateur + u"/baseFluxModèle.xml", "<?xml version=\"1.0\"?><LecteurRSS_BASE/>");
        OutilsTests::ecrireFichier(utilisateur + u"/rss/un.xml", "<rss>modifié</rss>");
        OutilsTests::ecrireFichier(utilisateur + u"/baseFlux.xml", "<LecteurRSS_BASE><racine/></LecteurRSS_BASE>");

        for (int demarrage = 0; demarrage < 2; ++demarrage)
            QCOMPARE(DossierDonnees::choisir(dossierQuiRefuse, partage.path(), utilisateur).disposition,
                     DossierDonnees::Disposition::Installee);
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/baseFluxModèle.xml"),
                 QByteArray("<?xml version=\"1.0\"?><LecteurRSS_BASE/>"));
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/rss/un.xml"), QByteArray("<rss>modifié</rss>"));
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/baseFlux.xml"),
                 QByteArray("<LecteurRSS_BASE><racine/></LecteurRSS_BASE>"));
        // Le flux d'exemple qui manquait arrive, et le dossier des copies locales est créé.
        QCOMPARE(OutilsTests::lireFichier(utilisateur + u"/rss/deux.rdf"), QByteArray("<rdf>deux</rdf>\n"));
        QVERIFY(QFileInfo(utilisateur + u"/ressourcesHTML").isDir());
    }

    void sansDonneesPartageesLesDossiersSontQuandMemeCrees()
    {
        QTemporaryDir maison;
        const QString utilisateur = maison.filePath(QStringLiteral("brindlewave"));
        DossierDonnees::choisir(dossierQuiRefuse, maison.filePath(QStringLiteral("absent")), utilisateur);
        QVERIFY(QFileInfo(utilisateur + u"/ressourcesHTML").isDir());
        QVERIFY(QFileInfo(utilisateur + u"/rss").isDir());
        QVERIFY(!QFileInfo::exists(utilisateur + u"/baseFluxModèle.xml"));
    }

    void unDossierUtilisateurImpossibleACreerEstUneErreur()
    {
        QTemporaryDir maison;
        // Un fichier ordinaire à la place d'un dossier parent.
        OutilsTests::ecrireFichier(maison.filePath(QStringLiteral("fichier")), "x");
        QVERIFY_THROWS_EXCEPTION(ErreurEcriture,
                                 DossierDonnees::choisir(dossierQuiRefuse, maison.path(),
                                                         maison.filePath(QStringLiteral("fichier/brindlewave"))));
    }

    void leDossierDeLUtilisateurSuitXdgDataHome_data()
    {
        QTest::addColumn<bool>("xdgPose");
        QTest::newRow("XDG_DATA_HOME posé") << true;
        QTest::newRow("par défaut") << false;
    }

    void leDossierDeLUtilisateurSuitXdgDataHome()
    {
        QFETCH(bool, xdgPose);
        QTemporaryDir maison, xdg;
        const QByteArray ancienHome = qgetenv("HOME"), ancienXdg = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", maison.path().toLocal8Bit());
        if (xdgPose)
            qputenv("XDG_DATA_HOME", xdg.path().toLocal8Bit());
        else
            qunsetenv("XDG_DATA_HOME");
        const QString dossier = DossierDonnees::dossierUtilisateur();
        qputenv("HOME", ancienHome);
        if (ancienXdg.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", ancienXdg);
        QCOMPARE(dossier, xdgPose ? QString(xdg.path() + u"/brindlewave") : QString(maison.path() + u"/.local/share/brindlewave"));
    }

    void leDemarrageLaisseGagnerUnDossierImpose()
    {
        // Le dossier des tests accepte l'écriture : disposition portable, rien n'est imposé.
        Emplacement::definirDossierExecutable(QString());
        DossierDonnees::appliquerAuDemarrage();
        QVERIFY(!Emplacement::dossierExecutableImpose());
        QCOMPARE(Emplacement::dossierExecutable(), QCoreApplication::applicationDirPath() + u'/');

        OutilsTests::DossierExecutable dossier;
        const QString impose = Emplacement::dossierExecutable();
        QVERIFY(impose != QCoreApplication::applicationDirPath() + u'/');
        DossierDonnees::appliquerAuDemarrage();
        QCOMPARE(Emplacement::dossierExecutable(), impose);
    }
};

QTEST_GUILESS_MAIN(TestDossierDonnees)
#include "tst_dossier_donnees.moc"
