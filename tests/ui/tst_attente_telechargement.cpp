// Un téléchargement tel qu'un utilisateur le vit. Il bloque la fenêtre, mais :
//  - la barre de progression est peinte avant qu'il commence, d'où que la commande parte ;
//  - pendant qu'il dure, la fenêtre montre le curseur d'attente et se repeint (redimensionnement
//    compris) ; les clics et les touches donnés sont jetés, ni exécutés pendant ni rejoués après ;
//    aucune minuterie ne bat.
// Un vrai serveur HTTP sur 127.0.0.1 tarde à répondre. Les entrées données pendant l'attente sont
// de vraies entrées X (XTest), envoyées depuis un autre fil pendant que celui de la fenêtre attend.

#include "BancFenetre.h"
#include "EntreesX11.h"

#include "paint/TBarrePeinte.h"
#include "paint/TBoitePeinte.h"
#include "ui/AttenteTelechargement.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <thread>

using namespace BancFenetre;

namespace {

// Ce que montrait la fenêtre à chaque peinture d'un contrôle.
struct Peinture
{
    int valeur = 0;        // position de la barre de progression
    int requetes = 0;      // requêtes reçues par le serveur à cet instant
    bool curseurAttente = false;
    bool pendant = false;  // pendant un téléchargement
    int largeur = 0;       // largeur de la fenêtre
};

class EspionPeintures : public QObject
{
public:
    EspionPeintures(QWidget *controle, const TmainForm &fenetre, const ServeurHTTPTest &serveur)
        : m_fenetre(fenetre), m_serveur(serveur)
    {
        controle->installEventFilter(this);
    }
    QList<Peinture> peintures;

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        if (evenement->type() == QEvent::Paint) {
            const QCursor *curseur = QGuiApplication::overrideCursor();
            peintures.append({m_fenetre.pbarGenerale->value(), m_serveur.nombreRequetes(),
                              curseur && curseur->shape() == Qt::WaitCursor,
                              m_fenetre.attenteTelechargement->enCours(), m_fenetre.width()});
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    const TmainForm &m_fenetre;
    const ServeurHTTPTest &m_serveur;
};

enum class Lieu {
    ConnexionBoutonPeint,
    ConnexionBarreOutils,
    ConnexionMenu,
    FavoriDoubleClic,
    FavoriBarreOutils,
    FavoriMenu,
    TrouveBoutonPeint,
    TrouveDoubleClic,
};

} // namespace

Q_DECLARE_METATYPE(Lieu)

class TestAttenteTelechargement : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    std::unique_ptr<ServeurHTTPTest> serveur;

    TmainForm *f() const { return b->f.get(); }

    // Une source de la base, rangée dans « Presse », avec une information gardée « Gardée » ; le
    // serveur la sert après ce délai.
    void sourceLente(int delaiMs)
    {
        ReponseHTTP reponse = ReponseHTTP::ok(fluxRSS(QStringLiteral("Lent"), {QStringLiteral("Vive")}));
        reponse.delaiMs = delaiMs;
        serveur->definir("/lent.xml", reponse);
        PFlux flux = fluxDeBase(QStringLiteral("Source lente"), serveur->url(QStringLiteral("/lent.xml")),
                                {QStringLiteral("Gardée")});
        flux->rubriquesAssociees.append("Presse");
        b->module->getFluxBase().append(flux);
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Presse")));
        f()->actualiserListeSources();
        f()->actualiserFavoris();
    }

    void cliquer(QWidget *controle) { QTest::mouseClick(controle, Qt::LeftButton, {}, controle->rect().center()); }

    // L'entrée de ce menu qui porte l'action, choisie à la souris dans le menu ouvert.
    void choisirDansLeMenu(const char *menu, QAction *action)
    {
        auto m = f()->MainFormMenu->findChild<QMenu *>(QString::fromLatin1(menu));
        QVERIFY(m);
        m->popup(f()->mapToGlobal(QPoint(20, 30)));
        QVERIFY(QTest::qWaitForWindowExposed(m));
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(action).center());
    }

    QWidget *boutonDeLaBarre(QAction *action) const { return f()->barreOutils->widgetForAction(action); }

    void lancerDepuis(Lieu lieu)
    {
        switch (lieu) {
        case Lieu::ConnexionBoutonPeint:
            cliquer(f()->btConnexionFond);
            break;
        case Lieu::ConnexionBarreOutils:
            cliquer(boutonDeLaBarre(f()->connexionRSS_HTTP));
            break;
        case Lieu::ConnexionMenu:
            choisirDansLeMenu("menuFichier", f()->connexionRSS_HTTP);
            break;
        case Lieu::FavoriDoubleClic: {
            const QPoint centre = f()->arbreFavoris->visualItemRect(f()->arbreFavoris->currentItem()).center();
            QTest::mouseClick(f()->arbreFavoris->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(f()->arbreFavoris->viewport(), Qt::LeftButton, {}, centre);
            break;
        }
        case Lieu::FavoriBarreOutils:
            cliquer(boutonDeLaBarre(f()->chargerFlux));
            break;
        case Lieu::FavoriMenu:
            choisirDansLeMenu("menuFavoris", f()->chargerFlux);
            break;
        case Lieu::TrouveBoutonPeint:
            cliquer(f()->pbBoutonRechercherOuvrir);
            break;
        case Lieu::TrouveDoubleClic: {
            const QPoint centre = f()->listeRecherche->visualItemRect(f()->listeRecherche->item(0)).center();
            QTest::mouseClick(f()->listeRecherche->viewport(), Qt::LeftButton, {}, centre);
            QTest::mouseDClick(f()->listeRecherche->viewport(), Qt::LeftButton, {}, centre);
            break;
        }
        }
    }

    // Choisit la source, le favori ou le flux trouvé, et montre la vue qui le porte.
    void preparer(Lieu lieu)
    {
        switch (lieu) {
        case Lieu::ConnexionBoutonPeint:
        case Lieu::ConnexionBarreOutils:
        case Lieu::ConnexionMenu:
            f()->affichageFluxExecute();
            f()->listeRssSources->setCurrentRow(0);
            break;
        case Lieu::FavoriDoubleClic:
        case Lieu::FavoriBarreOutils:
        case Lieu::FavoriMenu: {
            f()->affichageFavorisExecute();
            QTreeWidgetItem *rubrique = f()->arbreFavoris->topLevelItem(0);
            rubrique->setExpanded(true);
            f()->arbreFavoris->setCurrentItem(rubrique->child(0));
            break;
        }
        case Lieu::TrouveBoutonPeint:
        case Lieu::TrouveDoubleClic:
            f()->affichageRechercheExecute();
            f()->edRecherche->setText(QStringLiteral("Gardée"));
            f()->cbRechercheTitre->setChecked(true);
            f()->rechercherExecute();
            f()->listeRecherche->setCurrentRow(0);
            break;
        }
    }

private slots:
    void init()
    {
        b = std::make_unique<Fenetre>();
        serveur = std::make_unique<ServeurHTTPTest>();
    }

    void cleanup()
    {
        QVERIFY2(b->dialoguesEpuises(), "questions et réponses prévues en désaccord");
        serveur.reset();
        b.reset();
    }

    void barrePeinteAvantLeTelechargement_data()
    {
        QTest::addColumn<Lieu>("lieu");
        QTest::addColumn<int>("premiere");
        QTest::newRow("Connexion RSS, bouton peint") << Lieu::ConnexionBoutonPeint << 17;
        QTest::newRow("Connexion RSS, barre d'outils") << Lieu::ConnexionBarreOutils << 17;
        QTest::newRow("Connexion RSS, menu Fichier") << Lieu::ConnexionMenu << 17;
        QTest::newRow("Charger le fil, double clic") << Lieu::FavoriDoubleClic << 15;
        QTest::newRow("Charger le fil, barre d'outils") << Lieu::FavoriBarreOutils << 15;
        QTest::newRow("Charger le fil, menu Favoris") << Lieu::FavoriMenu << 15;
        QTest::newRow("Ouvrir flux trouvé, bouton peint") << Lieu::TrouveBoutonPeint << 15;
        QTest::newRow("Ouvrir flux trouvé, double clic") << Lieu::TrouveDoubleClic << 15;
    }

    void barrePeinteAvantLeTelechargement()
    {
        QFETCH(Lieu, lieu);
        QFETCH(int, premiere);
        sourceLente(300);
        preparer(lieu);
        const EspionPeintures espion(f()->pbarGenerale, *f(), *serveur);
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        lancerDepuis(lieu);
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(f()->ongletsPages->count(), 1);
        QCOMPARE(serveur->nombreRequetes(), 1);

        // Peinte à sa première position, sous le curseur d'attente, avant que la requête parte.
        bool avant = false;
        for (const Peinture &p : espion.peintures)
            avant = avant || (p.valeur == premiere && p.requetes == 0 && p.curseurAttente && p.pendant);
        QVERIFY2(avant, "barre jamais peinte avant le téléchargement");
        QVERIFY(f()->pbarGenerale->isHidden());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!f()->attenteTelechargement->enCours());
    }

    void entreesJeteesPendantLeTelechargement()
    {
        if (!EntreesX11::disponibles())
            QSKIP("XTest ou l'affichage X manquent");
        sourceLente(1500);
        preparer(Lieu::ConnexionBoutonPeint);
        f()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f()));

        // Une minuterie de la fenêtre, qui ne doit pas battre pendant le téléchargement.
        QTimer minuterie;
        minuterie.setInterval(10);
        int battementsPendant = 0, battementsHors = 0;
        connect(&minuterie, &QTimer::timeout, this, [&] {
            ++(f()->attenteTelechargement->enCours() ? battementsPendant : battementsHors);
        });
        minuterie.start();
        const EspionPeintures espion(f()->centralWidget(), *f(), *serveur);

        const QPoint bouton = f()->btConnexionFond->mapToGlobal(f()->btConnexionFond->rect().center());
        const unsigned long fenetre = f()->winId();
        const QSize nouvelle = f()->size() + QSize(60, 40);
        const ServeurHTTPTest &s = *serveur;
        std::atomic<bool> fait{false};
        // L'utilisateur clique sur « Connexion RSS » ; pendant le téléchargement, il clique deux
        // fois encore, tape Ctrl+O et agrandit la fenêtre.
        std::thread utilisateur([&] {
            EntreesX11::cliquer(bouton);
            for (int i = 0; i < 500 && s.nombreRequetes() == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            EntreesX11::cliquer(bouton);
            EntreesX11::cliquer(bouton);
            EntreesX11::touche("o", true);
            EntreesX11::redimensionner(fenetre, nouvelle.width(), nouvelle.height());
            fait = true;
        });
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        QTRY_VERIFY_WITH_TIMEOUT(fait.load(), 10000);
        utilisateur.join();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        // Rien n'est rejoué ensuite.
        QTest::qWait(1000);

        QCOMPARE(serveur->nombreRequetes(), 1);
        QCOMPARE(f()->ongletsPages->count(), 1);
        QVERIFY2(f()->attenteTelechargement->entreesJetees() >= 4,
                 qPrintable(QString::number(f()->attenteTelechargement->entreesJetees())));
        QCOMPARE(battementsPendant, 0);
        QVERIFY(battementsHors > 0);
        // La fenêtre s'est repeinte à sa nouvelle taille pendant le téléchargement, sous le
        // curseur d'attente.
        bool repeinte = false, curseur = true;
        for (const Peinture &p : espion.peintures) {
            repeinte = repeinte || (p.pendant && p.largeur == nouvelle.width());
            curseur = curseur && (!p.pendant || p.curseurAttente);
        }
        QVERIFY2(repeinte, "aucune peinture à la nouvelle taille pendant le téléchargement");
        QVERIFY(curseur);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestAttenteTelechargement)
#include "tst_attente_telechargement.moc"
