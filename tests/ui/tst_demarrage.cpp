// La vie de la fenêtre : la base lue par la minuterie de démarrage (présente au départ, apparue
// ensuite, illisible), la sauvegarde (Ctrl+S), les deux questions de fermeture, « A propos ».

#include "BancFenetre.h"

#include "commun/Emplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
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
        for (const QString &chemin : chemins) {
            b->dialogues.fichiersPrevus({chemin});
            f()->ouvrirRSS->trigger();
        }
        return chemins;
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

    void fermerNon()
    {
        const QStringList chemins = ouvrirTroisOnglets();
        b->dialogues.repondre({Reponse::Non});
        QVERIFY(!f()->close());
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).texte, QStringLiteral("Etes-vous sûr de vouloir quitter l'application ?"));
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Confirmation);
        QCOMPARE(b->dialogues.boites.at(0).boutons, BoutonsBoite::OuiNon);
        QVERIFY(f()->isVisible());
        QCOMPARE(f()->ongletsPages->count(), 3);
        QVERIFY(!QFileInfo::exists(Emplacement::cheminBase()));
    }

    void fermerOuiPuisNon()
    {
        const QStringList chemins = ouvrirTroisOnglets();
        // Un fichier disparu entre-temps : les onglets qui restent ne sont pas remontrés en se
        // fermant, donc aucune erreur de chargement n'interrompt la fermeture.
        QVERIFY(QFile::remove(chemins.at(0)));
        b->dialogues.repondre({Reponse::Oui, Reponse::Non});
        f()->quitter->trigger();
        QCOMPARE(b->dialogues.boites.size(), 2);
        QCOMPARE(b->dialogues.boites.at(1).texte, QStringLiteral("Voulez-vous sauvegarder les modifications ?"));
        QCOMPARE(b->dialogues.boites.at(1).boutons, BoutonsBoite::OuiNon);
        QVERIFY(!f()->isVisible());
        QCOMPARE(f()->ongletsPages->count(), 0);
        // Les copies de ressourcesHTML sont effacées ; le fichier de rss/ reste ; rien n'est écrit.
        QVERIFY(!QFileInfo::exists(chemins.at(0)));
        QVERIFY(!QFileInfo::exists(chemins.at(1)));
        QVERIFY(QFileInfo::exists(chemins.at(2)));
        QVERIFY(!QFileInfo::exists(Emplacement::cheminBase()));
        QCOMPARE(b->dialogues.boites.size(), 2);
    }

    void fermerOuiPuisOui()
    {
        ouvrirTroisOnglets();
        b->module->getFluxBase().append(fluxDeBase(QStringLiteral("S"), QStringLiteral("http://127.0.0.1/s")));
        b->dialogues.repondre({Reponse::Oui, Reponse::Oui});
        QVERIFY(f()->close());
        QCOMPARE(sourcesDuFichier(), 1);
        QCOMPARE(f()->ongletsPages->count(), 0);
        QVERIFY(!f()->isVisible());
    }

    void fermerBoiteFermee()
    {
        const QStringList chemins = ouvrirTroisOnglets();
        b->dialogues.repondre({Reponse::Fermee});
        QVERIFY(f()->close());
        // Pas de seconde question, et les onglets ne sont pas fermés un à un.
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(f()->ongletsPages->count(), 3);
        QVERIFY(QFileInfo::exists(chemins.at(0)));
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
