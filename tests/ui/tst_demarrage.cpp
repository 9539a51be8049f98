// La vie de la fenêtre : la base lue par la minuterie de démarrage (présente au départ, apparue
// ensuite, illisible), la sauvegarde (Ctrl+S), les deux questions de fermeture, « A propos ».

#include "BancFenetre.h"

#include "commun/Emplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAbstractButton>
#include <QListWidget>
#include <QMessageBox>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

using namespace BancFenetre;

class TestDemarrage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;

    TmainForm *f() const { return b->f.get(); }

    // Écrit baseFlux.xml avec ces sources (rangées dans « Rubrique » quand demandé), par une
    // vraie sauvegarde d'un autre module.
    static void ecrireBase(const QStringList &titres, bool ranger = false)
    {
        DialoguesScriptes muets;
        TdmRSS autre(muets);
        for (const QString &titre : titres) {
            PFlux flux = fluxDeBase(titre, QStringLiteral("http://127.0.0.1/") + titre);
            if (ranger)
                flux->rubriquesAssociees.append("Rubrique");
            autre.getFluxBase().append(flux);
        }
        if (ranger)
            autre.getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Rubrique")));
        autre.sauvegarderBase();
    }

    // Le nombre de sources que tient le fichier de base.
    static int sourcesDuFichier()
    {
        DialoguesScriptes muets;
        TdmRSS lecteur(muets);
        lecteur.chargerBase(Emplacement::cheminBase());
        return lecteur.getFluxBase().size();
    }

    QStringList copiesIllisibles() const
    {
        return QDir(Emplacement::dossierExecutable())
            .entryList({QStringLiteral("baseFlux.xml.illisible-*")}, QDir::Files, QDir::Name);
    }

    void enregistrerAuClavier()
    {
        f()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f()));
        QTest::keyClick(f(), Qt::Key_S, Qt::ControlModifier);
    }

    // Deux onglets sur des copies de ressourcesHTML et un sur un fichier de rss/.
    QStringList ouvrirTroisOnglets()
    {
        const QStringList chemins = {
            b->dossier.ecrire(QStringLiteral("ressourcesHTML/un.xml"), fluxRSS(QStringLiteral("Un"), {})),
            b->dossier.ecrire(QStringLiteral("ressourcesHTML/deux.xml"), fluxRSS(QStringLiteral("Deux"), {})),
            b->dossier.ecrire(QStringLiteral("rss/trois.xml"), fluxRSS(QStringLiteral("Trois"), {}))};
        for (const QString &chemin : chemins)
            f()->ouvrirFichierRSS(chemin);
        return chemins;
    }

    // Répond aux vraies boîtes de message qui s'ouvrent pendant l'action, dans l'ordre, par ces
    // gestes : « Oui », « Non », « Échap » ou « case » (sa case de fermeture), une boîte de trop par
    // « case » ; rend leurs textes.
    static QStringList repondre(QStringList gestes, const std::function<void()> &action)
    {
        QStringList textes;
        QTimer guet;
        QObject::connect(&guet, &QTimer::timeout, [&] {
            auto boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!boite || boite->property("repondue").toBool())
                return;
            boite->setProperty("repondue", true);
            textes << boite->text();
            const QString geste = gestes.isEmpty() ? QString() : gestes.takeFirst();
            if (geste == u"Échap"_qs)
                QTest::keyClick(boite, Qt::Key_Escape);
            else if (geste == u"Oui"_qs || geste == u"Non"_qs)
                boite->button(geste == u"Oui"_qs ? QMessageBox::Yes : QMessageBox::No)->click();
            else
                boite->close();
        });
        guet.start(20);
        action();
        return textes;
    }

private slots:
    void init() { b = std::make_unique<Fenetre>(); }

    void cleanup()
    {
        QVERIFY2(b->dialoguesEpuises(), "questions et réponses prévues en désaccord");
        b.reset();
    }

    void baseLueAuDemarrage()
    {
        ecrireBase({QStringLiteral("A"), QStringLiteral("B")}, true);
        QVERIFY(f()->timerDemarrage->isActive());
        QCOMPARE(f()->timerDemarrage->interval(), 500);
        QTRY_COMPARE_WITH_TIMEOUT(f()->listeRssSources->count(), 2, 3000);
        QCOMPARE(f()->arbreFavoris->topLevelItemCount(), 1);
        QCOMPARE(f()->arbreFavoris->topLevelItem(0)->childCount(), 2);
        QVERIFY(!f()->timerDemarrage->isActive());
        QVERIFY(b->dialogues.boites.isEmpty());
        // Lue une fois pour toutes : un fichier changé ensuite n'est pas relu.
        ecrireBase({QStringLiteral("C")});
        QTest::qWait(700);
        QCOMPARE(b->module->getFluxBase().size(), 2);
    }

    void commentaireEnTeteDeLaBase()
    {
        // Un commentaire ajouté à la main juste après la racine : la base se lit en entier, et la
        // sauvegarde suivante garde tout.
        ecrireBase({QStringLiteral("A"), QStringLiteral("B")}, true);
        QByteArray contenu = OutilsTests::lireFichier(Emplacement::cheminBase());
        const qsizetype racine = contenu.indexOf("<LecteurRSS_BASE>") + qsizetype(qstrlen("<LecteurRSS_BASE>"));
        QVERIFY(racine > 20);
        contenu.insert(racine, QStringLiteral("<!-- sauvegarde du 7 décembre -->").toUtf8());
        b->dossier.ecrire(QStringLiteral("baseFlux.xml"), contenu);
        QTRY_COMPARE_WITH_TIMEOUT(f()->listeRssSources->count(), 2, 3000);
        QCOMPARE(f()->arbreFavoris->topLevelItem(0)->childCount(), 2);
        QVERIFY(b->dialogues.boites.isEmpty());
        enregistrerAuClavier();
        QCOMPARE(sourcesDuFichier(), 2);
        QVERIFY(copiesIllisibles().isEmpty());
    }

    void baseApparueApresLeDemarrage()
    {
        QTest::qWait(700);
        QCOMPARE(f()->listeRssSources->count(), 0);
        QCOMPARE(f()->arbreFavoris->topLevelItemCount(), 0);
        QVERIFY(f()->timerDemarrage->isActive());
        QVERIFY(b->dialogues.boites.isEmpty());
        ecrireBase({QStringLiteral("Tard")});
        QTRY_COMPARE_WITH_TIMEOUT(f()->listeRssSources->count(), 1, 3000);
        QVERIFY(!f()->timerDemarrage->isActive());
    }

    void sansBaseLaSauvegardeNEstPasRelue()
    {
        b->module->getFluxBase().append(fluxDeBase(QStringLiteral("Seule"), QStringLiteral("http://127.0.0.1/seule")));
        f()->actualiserListeSources();
        enregistrerAuClavier();
        QVERIFY(QFileInfo::exists(Emplacement::cheminBase()));
        QCOMPARE(sourcesDuFichier(), 1);
        QVERIFY(b->dialogues.boites.isEmpty());
        // La minuterie ne charge pas ce fichier par-dessus les listes.
        QTest::qWait(1200);
        QCOMPARE(b->module->getFluxBase().size(), 1);
        QCOMPARE(f()->listeRssSources->count(), 1);
        // Ctrl+S sans changement réécrit le fichier, sans rien dire.
        QVERIFY(QFile::remove(Emplacement::cheminBase()));
        enregistrerAuClavier();
        QCOMPARE(sourcesDuFichier(), 1);
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void sauvegardeAvantLaPremiereLecture()
    {
        // Un fichier présent que la minuterie n'a pas encore lu n'est pas écrasé par des listes vides.
        ecrireBase({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        f()->sauvegarderXMLExecute();
        QCOMPARE(sourcesDuFichier(), 3);
        QCOMPARE(f()->listeRssSources->count(), 3);
        QVERIFY(!f()->timerDemarrage->isActive());
    }

    void baseIllisibleGardee()
    {
        const QByteArray illisible = "<?xml version=\"1.0\"?><LecteurRSS_BASE><racine><listeFlux>";
        b->dossier.ecrire(QStringLiteral("baseFlux.xml"), illisible);
        // Une seule boîte d'erreur, puis la vérification s'arrête.
        QTRY_COMPARE_WITH_TIMEOUT(b->dialogues.boites.size(), 1, 3000);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
        QCOMPARE(b->dialogues.boites.at(0).titre, TApplication::titre());
        // Le fichier est nommé avant le message de l'analyseur.
        const QString texte = b->dialogues.boites.at(0).texte;
        QVERIFY2(texte.startsWith(QStringLiteral("baseFlux.xml illisible : ")) && texte.size() > 30, qPrintable(texte));
        QVERIFY2(texte.contains(QStringLiteral("« baseFlux.xml.illisible- »")), qPrintable(texte));
        QVERIFY(!f()->timerDemarrage->isActive());
        QTest::qWait(1200);
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(f()->listeRssSources->count(), 0);
        QVERIFY(copiesIllisibles().isEmpty());

        // La sauvegarde met d'abord le fichier illisible de côté, sous un nom daté, à côté de lui.
        b->module->getFluxBase().append(fluxDeBase(QStringLiteral("Neuve"), QStringLiteral("http://127.0.0.1/n")));
        const QDateTime avant = QDateTime::currentDateTime().addSecs(-1);
        enregistrerAuClavier();
        const QStringList copies = copiesIllisibles();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(OutilsTests::lireFichier(b->dossier.chemin(copies.first())), illisible);
        const QString horodatage = copies.first().mid(QStringLiteral("baseFlux.xml.illisible-").size());
        const QDateTime moment = QDateTime::fromString(horodatage, QStringLiteral("yyyyMMdd-HHmmss"));
        QVERIFY2(moment.isValid() && moment >= avant.addSecs(-1) && moment <= QDateTime::currentDateTime(),
                 qPrintable(horodatage));
        QCOMPARE(sourcesDuFichier(), 1);
        QCOMPARE(b->dialogues.boites.size(), 1);
        // Une seconde sauvegarde ne fait pas d'autre copie.
        enregistrerAuClavier();
        QCOMPARE(copiesIllisibles().size(), 1);
        QCOMPARE(TmainForm::nomCopieBaseIllisible(QStringLiteral("/d/baseFlux.xml"),
                                                  QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))),
                 QStringLiteral("/d/baseFlux.xml.illisible-20240305-070809"));
    }

    // Les deux questions de fermeture, dans les vraies boîtes de la fenêtre, avec une source
    // ajoutée et pas encore sauvegardée : seul Oui à la première ferme la fenêtre ; Non, Échap et la
    // case de fermeture de la boîte la laissent telle quelle, onglets, base et changements compris.
    void questionDeFermeture_data()
    {
        QTest::addColumn<QStringList>("gestes"); // sur chaque boîte, dans l'ordre
        QTest::addColumn<bool>("fermee");
        QTest::addColumn<int>("sourcesDuFichier");
        QTest::newRow("Oui puis Non") << QStringList{u"Oui"_qs, u"Non"_qs} << true << 1;
        QTest::newRow("Oui puis Oui") << QStringList{u"Oui"_qs, u"Oui"_qs} << true << 2;
        QTest::newRow("Non") << QStringList{u"Non"_qs} << false << 1;
        QTest::newRow("Échap") << QStringList{u"Échap"_qs} << false << 1;
        QTest::newRow("case de fermeture de la boîte") << QStringList{u"case"_qs} << false << 1;
    }

    void questionDeFermeture()
    {
        QFETCH(QStringList, gestes);
        QFETCH(bool, fermee);
        QFETCH(int, sourcesDuFichier);
        b.reset(); // son dossier d'exécutable d'abord
        b = std::make_unique<Fenetre>(true, Fenetre::Boites::Vraies);
        ecrireBase({QStringLiteral("Avant")});
        QTRY_COMPARE_WITH_TIMEOUT(f()->listeRssSources->count(), 1, 3000);
        const QStringList chemins = ouvrirTroisOnglets();
        b->module->getFluxBase().append(fluxDeBase(QStringLiteral("Nouvelle"), QStringLiteral("http://127.0.0.1/n")));
        // Un fichier disparu entre-temps : les onglets qui restent ne sont pas remontrés en se
        // fermant, donc aucune erreur de chargement n'interrompt la fermeture.
        QVERIFY(QFile::remove(chemins.at(0)));

        bool fermeture = false;
        const QStringList questions = repondre(gestes, [&] { fermeture = f()->close(); });
        QStringList attendues{u"Etes-vous sûr de vouloir quitter l'application ?"_qs};
        if (gestes.size() == 2)
            attendues << u"Voulez-vous sauvegarder les modifications ?"_qs;
        QCOMPARE(questions, attendues);
        QCOMPARE(fermeture, fermee);
        QCOMPARE(f()->isVisible(), !fermee);
        QCOMPARE(f()->ongletsPages->count(), fermee ? 0 : 3);
        // Les copies de ressourcesHTML partent avec leurs onglets ; le fichier de rss/ reste.
        QCOMPARE(QFileInfo::exists(chemins.at(1)), !fermee);
        QVERIFY(QFileInfo::exists(chemins.at(2)));
        QCOMPARE(TestDemarrage::sourcesDuFichier(), sourcesDuFichier);
        QCOMPARE(b->module->getFluxBase().size(), 2);
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void sauvegardeRateeALaFermeture()
    {
        ouvrirTroisOnglets();
        ecrireBase({QStringLiteral("Avant")});
        QTRY_VERIFY_WITH_TIMEOUT(!f()->timerDemarrage->isActive(), 3000);
        const QByteArray avant = OutilsTests::lireFichier(Emplacement::cheminBase());
        // Sans modèle, la sauvegarde échoue : l'erreur est montrée, la fenêtre et ses onglets restent.
        QVERIFY(QFile::remove(Emplacement::cheminModeleBase()));
        b->dialogues.repondre({Reponse::Oui, Reponse::Oui});
        QVERIFY(!f()->close());
        QCOMPARE(b->dialogues.boites.size(), 3);
        QCOMPARE(b->dialogues.boites.at(2).type, TypeBoite::Erreur);
        QVERIFY(f()->isVisible());
        QCOMPARE(f()->ongletsPages->count(), 3);
        QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminBase()), avant);
    }

    void aPropos()
    {
        f()->aPropos->trigger();
        QCOMPARE(b->dialogues.boites.size(), 1);
        const BoiteNotee &boite = b->dialogues.boites.at(0);
        QCOMPARE(boite.type, TypeBoite::Personnalisee);
        QCOMPARE(boite.boutons, BoutonsBoite::Ok);
        QVERIFY(boite.texte.startsWith(QStringLiteral("Brindlewave - Lecteur RSS\n")));
        QVERIFY(boite.texte.count(u'\n') >= 1);
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestDemarrage)
#include "tst_demarrage.moc"
