// Un téléchargement tel qu'un utilisateur le vit. Il bloque la commande, mais :
//  - la barre de progression est peinte avant qu'il commence, d'où que la commande parte ;
//  - pendant qu'il dure, la fenêtre montre le curseur d'attente et se repeint, vue de page
//    comprise, à la taille que l'utilisateur lui donne ; aucune entrée (touches, raccourcis,
//    lettres d'accès, clics) ni aucun appel posté ne lance de commande, ni pendant ni après ;
//  - Échap l'arrête aussitôt, sans boîte, sans onglet, la copie locale d'avant intacte ; la case de
//    fermeture l'arrête aussi, puis la fenêtre pose sa question.
// Un vrai serveur HTTP sur 127.0.0.1 tarde à répondre. Les entrées données pendant l'attente sont
// de vraies entrées X (XTest), envoyées depuis un autre fil pendant que celui de la fenêtre attend.

#include "BancFenetre.h"
#include "EntreesX11.h"

#include "commun/Emplacement.h"
#include "paint/TBarrePeinte.h"
#include "paint/TBoitePeinte.h"
#include "ui/AttenteTelechargement.h"

#include <QApplication>
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
    QString texte;         // texte de la barre de progression
    int hauteur = 0;       // de la barre, et de la ligne de sa police
    int hauteurPolice = 0;
};

// L'horloge commune au fil du test et à celui de l'utilisateur (ms).
qint64 maintenant()
{
    static QElapsedTimer horloge;
    if (!horloge.isValid())
        horloge.start();
    return horloge.elapsed();
}

class EspionPeintures : public QObject
{
public:
    EspionPeintures(QWidget *controle, const TmainForm &fenetre, const ServeurHTTPTest &serveur)
        : m_fenetre(fenetre), m_serveur(serveur)
    {
        controle->installEventFilter(this);
    }
    QList<Peinture> peintures;
    std::atomic<qint64> cache{-1}; // quand le contrôle a été caché

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        if (evenement->type() == QEvent::Paint) {
            const QCursor *curseur = QGuiApplication::overrideCursor();
            peintures.append({m_fenetre.pbarGenerale->value(), m_serveur.nombreRequetes(),
                              curseur && curseur->shape() == Qt::WaitCursor,
                              m_fenetre.attenteTelechargement->enCours(), m_fenetre.pbarGenerale->text(),
                              m_fenetre.pbarGenerale->height(), m_fenetre.pbarGenerale->fontMetrics().height()});
        } else if (evenement->type() == QEvent::Hide) {
            cache = maintenant();
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    const TmainForm &m_fenetre;
    const ServeurHTTPTest &m_serveur;
};

// Les rendus de la vue de page (la scène qui la peint) pendant un téléchargement, à la largeur
// de la vue à chacun.
class RendusPage : public QObject
{
    Q_OBJECT
public:
    explicit RendusPage(const TmainForm &fenetre) : m_fenetre(fenetre)
    {
        for (QWindow *scene : QGuiApplication::allWindows()) {
            if (scene->inherits("QQuickWindow"))
                connect(scene, SIGNAL(afterRendering()), this, SLOT(rendu()), Qt::DirectConnection);
        }
    }
    QList<int> largeurs;

public slots:
    void rendu()
    {
        if (m_fenetre.attenteTelechargement->enCours())
            largeurs.append(m_fenetre.pageHTML->width());
    }

private:
    const TmainForm &m_fenetre;
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

// Une entrée de l'utilisateur pendant un téléchargement.
enum class Entree {
    CtrlO, AltF, CtrlS, F7, CtrlF4, MenuFichier, ChargerLeFil, ConnexionDeNouveau, Echap, CaseFermeture
};

QPoint centreGlobal(const QWidget *controle) { return controle->mapToGlobal(controle->rect().center()); }

} // namespace

Q_DECLARE_METATYPE(Lieu)
Q_DECLARE_METATYPE(Entree)

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

    // Ce qu'un utilisateur fait pendant le téléchargement lancé par « Connexion RSS », après avoir
    // agrandi la fenêtre : aucune commande ne s'exécute, ni pendant ni après ; Échap et la case de
    // fermeture l'arrêtent aussitôt.
    void entreesPendantLeTelechargement_data()
    {
        QTest::addColumn<Entree>("entree");
        QTest::newRow("Ctrl+O") << Entree::CtrlO;
        QTest::newRow("Alt+F") << Entree::AltF;
        QTest::newRow("Ctrl+S") << Entree::CtrlS;
        QTest::newRow("F7") << Entree::F7;
        QTest::newRow("Ctrl+F4") << Entree::CtrlF4;
        QTest::newRow("clic sur le menu Fichier") << Entree::MenuFichier;
        QTest::newRow("clic sur « Charger le fil »") << Entree::ChargerLeFil;
        QTest::newRow("deux clics sur « Connexion RSS »") << Entree::ConnexionDeNouveau;
        QTest::newRow("Échap") << Entree::Echap;
        QTest::newRow("case de fermeture") << Entree::CaseFermeture;
    }

    void entreesPendantLeTelechargement()
    {
        QFETCH(Entree, entree);
        if (!EntreesX11::disponibles())
            QSKIP("XTest ou l'affichage X manquent");
        const bool arret = entree == Entree::Echap || entree == Entree::CaseFermeture;
        sourceLente(2000);
        preparer(Lieu::ConnexionBoutonPeint);
        // Un favori choisi : « Charger le fil » lancerait un second téléchargement.
        QTreeWidgetItem *rubrique = f()->arbreFavoris->topLevelItem(0);
        rubrique->setExpanded(true);
        f()->arbreFavoris->setCurrentItem(rubrique->child(0));
        // La vue de page montre déjà une page, et la source a déjà sa copie locale.
        QSignalSpy vide(f()->pageHTML, &QWebEngineView::loadFinished);
        f()->pageHTML->load(QUrl(QStringLiteral("about:blank")));
        QVERIFY(attendreChargement(f()->pageHTML, vide));
        const QString copie =
            Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(serveur->url(QStringLiteral("/lent.xml")));
        const QByteArray ancienne("<rss><channel><title>Ancienne</title></channel></rss>\r\n");
        OutilsTests::ecrireFichier(copie, ancienne);
        f()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f()));
        const int vue = f()->pcSupplement->currentIndex();
        if (entree == Entree::CaseFermeture)
            b->dialogues.repondre({Reponse::Non});

        // Une minuterie qui lance une commande : elle bat pendant le téléchargement (la vue de page
        // en a besoin), mais la commande ne s'exécute pas.
        QTimer minuterie;
        int battementsPendant = 0;
        connect(&minuterie, &QTimer::timeout, this, [&] {
            if (f()->attenteTelechargement->enCours()) {
                ++battementsPendant;
                f()->ouvrirRSS->trigger();
            }
        });
        minuterie.start(10);
        const EspionPeintures barre(f()->pbarGenerale, *f(), *serveur);
        const RendusPage page(*f());

        // L'utilisateur clique sur « Connexion RSS » ; une fois la requête reçue par le serveur, il
        // agrandit la fenêtre, puis fait l'entrée. Ce sont de vraies entrées X, envoyées depuis un
        // autre fil pendant que celui de la fenêtre attend.
        const QPoint bouton = centreGlobal(f()->btConnexionFond);
        QPoint cible = bouton;
        if (entree == Entree::MenuFichier)
            cible = centreGlobal(f()->ToolBar2->findChild<QWidget *>(QStringLiteral("menuFichier_bouton")));
        if (entree == Entree::ChargerLeFil)
            cible = centreGlobal(boutonDeLaBarre(f()->chargerFlux));
        const unsigned long fenetre = f()->winId();
        const QSize nouvelle = f()->size() + QSize(60, 40);
        const ServeurHTTPTest &s = *serveur;
        std::atomic<qint64> instant{-1};
        std::thread utilisateur([&] {
            EntreesX11::cliquer(bouton);
            for (int i = 0; i < 500 && s.nombreRequetes() == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EntreesX11::redimensionner(fenetre, nouvelle.width(), nouvelle.height());
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            instant = maintenant();
            switch (entree) {
            case Entree::CtrlO: EntreesX11::touche("o", "Control_L"); break;
            case Entree::AltF: EntreesX11::touche("f", "Alt_L"); break;
            case Entree::CtrlS: EntreesX11::touche("s", "Control_L"); break;
            case Entree::F7: EntreesX11::touche("F7"); break;
            case Entree::CtrlF4: EntreesX11::touche("F4", "Control_L"); break;
            case Entree::Echap: EntreesX11::touche("Escape"); break;
            case Entree::CaseFermeture: EntreesX11::fermer(fenetre); break;
            case Entree::ConnexionDeNouveau: EntreesX11::cliquer(cible); [[fallthrough]];
            case Entree::MenuFichier:
            case Entree::ChargerLeFil: EntreesX11::cliquer(cible); break;
            }
        });
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        // Jusqu'à la fin de la commande, qui cache la barre.
        for (int i = 0; i < 1000 && barre.cache < 0; ++i)
            QTest::qWait(10);
        utilisateur.join();
        if (arret) {
            QVERIFY2(barre.cache - instant < 500, qPrintable(QString::number(barre.cache - instant)));
            QCOMPARE(OutilsTests::lireFichier(copie), ancienne);
        } else {
            QVERIFY(attendreChargement(f()->pageHTML, fini));
        }
        if (entree == Entree::CaseFermeture) {
            QTRY_COMPARE_WITH_TIMEOUT(b->dialogues.boites.size(), 1, 500);
            QVERIFY2(maintenant() - instant < 500, qPrintable(QString::number(maintenant() - instant)));
            QCOMPARE(b->dialogues.boites.first().texte,
                     QStringLiteral("Etes-vous sûr de vouloir quitter l'application ?"));
        } else {
            QVERIFY(b->dialogues.boites.isEmpty());
        }
        // Rien n'est rejoué ensuite.
        QTest::qWait(1000);
        QCOMPARE(serveur->nombreRequetes(), 1);
        QCOMPARE(f()->ongletsPages->count(), arret ? 0 : 1);
        QVERIFY(b->dialogues.choixFichiers.isEmpty());
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(f()->pcSupplement->currentIndex(), vue);
        QVERIFY(!QFile::exists(Emplacement::cheminBase()));
        QVERIFY(battementsPendant > 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        // La vue de page s'est rendue à sa nouvelle taille pendant le téléchargement : une fois au
        // redimensionnement, puis quand son moteur a remis la page à cette taille.
        QCOMPARE(f()->width(), nouvelle.width());
        QVERIFY2(page.largeurs.count(f()->pageHTML->width()) >= 2, "vue de page jamais rendue à la nouvelle taille");
        // La barre a dit comment arrêter, sous le curseur d'attente, en mots entiers : elle est
        // aussi haute que sa police.
        bool texte = false, curseur = true, entiers = true;
        for (const Peinture &p : barre.peintures) {
            texte = texte || (p.pendant && p.texte == QStringLiteral("Échap : annuler"));
            curseur = curseur && (!p.pendant || p.curseurAttente);
            entiers = entiers && (!p.pendant || p.hauteur >= p.hauteurPolice);
        }
        QVERIFY(texte && curseur && entiers);

        // La fenêtre reprend ensuite les commandes : Ctrl+O ouvre la boîte de choix.
        EntreesX11::touche("o", "Control_L");
        QTRY_COMPARE(b->dialogues.choixFichiers.size(), 1);
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestAttenteTelechargement)
#include "tst_attente_telechargement.moc"
