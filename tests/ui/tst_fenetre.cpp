// La fenêtre principale telle qu'elle s'ouvre : contrôles nommés à leur place et à leur taille,
// les 25 actions, le menu, la barre d'outils, les vues latérales et leurs commandes F5 à F8.

#include "base/TdmRSS.h"
#include "paint/TBarrePeinte.h"
#include "paint/TBoitePeinte.h"
#include "ui/ListeImages.h"
#include "ui/TApplication.h"
#include "ui/TSeparateur.h"
#include "ui/TmainForm.h"

#include "DialoguesScriptes.h"
#include "OutilsTests.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QWebEngineView>

namespace {

bool memeImage(const QIcon &icone, const QPixmap &image)
{
    return !icone.isNull() && icone.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32)
                                  == image.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Les éléments d'un menu : le nom de l'action, ou « - » pour une séparation.
QStringList elements(const QMenu *menu)
{
    QStringList noms;
    for (const QAction *a : menu->actions())
        noms << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return noms;
}

} // namespace

class TestFenetre : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TmainForm> f;

    template<typename T>
    T *controle(const char *nom)
    {
        return f->findChild<T *>(QString::fromLatin1(nom));
    }

private slots:
    void initTestCase()
    {
        f = std::make_unique<TmainForm>();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    }

    void cleanupTestCase() { f.reset(); }

    void controlesNommes_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("classe");
        const char *table[][2] = {
            {"ToolBar2", "TBarrePeinte"}, {"barreOutils", "TBarrePeinte"}, {"pbarGenerale", "QProgressBar"},
            {"commandPanel", "QWidget"}, {"commandFond", "TBoitePeinte"}, {"btOuvrirFond", "TBoitePeinte"},
            {"pcSupplement", "QTabWidget"}, {"Splitter2", "TSeparateur"}, {"PanelFlux", "QWidget"},
            {"pbTitreFlux", "TBoitePeinte"}, {"panelCommandesInfosFlux", "QWidget"},
            {"pbEnregistrerInfo", "TBoitePeinte"}, {"pbSupprimerInfo", "TBoitePeinte"},
            {"listeInfosFlux", "QListWidget"}, {"splitPanelFlux", "TSeparateur"},
            {"listeInfosFluxCharge", "QListWidget"}, {"separateurH", "TSeparateur"},
            {"PanelPrincipale", "QWidget"}, {"ongletsPages", "QTabBar"}, {"btFermerOnglet", "QToolButton"},
            {"pageHTML", "QWebEngineView"}, {"pageFavoris", "QWidget"}, {"btTitreFavoris", "TBoitePeinte"},
            {"arbreFavoris", "QTreeWidget"}, {"pageListeRSS", "QWidget"}, {"btTitreListeRSS", "TBoitePeinte"},
            {"listeRssSources", "QListWidget"}, {"btAjouterRSS", "TBoitePeinte"},
            {"btSupprimerFlux", "TBoitePeinte"}, {"btDecocherTout", "TBoitePeinte"},
            {"btConnexionFond", "TBoitePeinte"}, {"groupeFavoris", "QGroupBox"}, {"cbListeFavoris", "QComboBox"},
            {"btAjouterFavoris", "TBoitePeinte"}, {"pageArbreXML", "QWidget"},
            {"btTitreArbreXML", "TBoitePeinte"}, {"xmlTreeView", "QTreeView"}, {"TabSheet1", "QWidget"},
            {"btTitreRecherche", "TBoitePeinte"}, {"edRecherche", "QLineEdit"},
            {"cbRechercheTitre", "QCheckBox"}, {"cbRechercheLien", "QCheckBox"},
            {"cbRechercheDescription", "QCheckBox"}, {"pbBoutonRechercher", "TBoitePeinte"},
            {"pbBoutonRechercherOuvrir", "TBoitePeinte"}, {"listeRecherche", "QListWidget"},
        };
        for (const auto &ligne : table)
            QTest::newRow(ligne[0]) << QString::fromLatin1(ligne[0]) << QString::fromLatin1(ligne[1]);
    }

    void controlesNommes()
    {
        QFETCH(QString, nom);
        QFETCH(QString, classe);
        const QList<QWidget *> trouves = f->findChildren<QWidget *>(nom);
        QCOMPARE(trouves.size(), 1);
        QVERIFY2(trouves.first()->inherits(classe.toLatin1().constData()),
                 qPrintable(QString::fromLatin1(trouves.first()->metaObject()->className())));
    }

    void fenetreEtTaillesInitiales()
    {
        QCOMPARE(f->objectName(), QStringLiteral("mainForm"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Brindlewave - Lecteur RSS"));
        QCOMPARE(f->windowIcon().availableSizes(), QList<QSize>{QSize(48, 48)});
        QCOMPARE(f->size(), QSize(780, 622));
        QCOMPARE(f->font().pointSize(), 8);
        // Les polices les plus proches de « MS Sans Serif » et de Tahoma, posées par le script d'installation.
        QCOMPARE(QFontInfo(f->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(f->arbreFavoris->font()).family(), QStringLiteral("DejaVu Sans"));
        QVERIFY(f->menuWidget() == nullptr);

        QCOMPARE(f->ToolBar2->height(), 25);
        QCOMPARE(f->barreOutils->height(), 24);
        QVERIFY(f->ToolBar2->geometry().bottom() < f->barreOutils->geometry().top());
        QCOMPARE(f->commandPanel->width(), 225);
        QCOMPARE(f->commandFond->height(), 41);
        // Le bouton « Ouvrir RSS » : 8 px du bord gauche, du haut et du bord droit, 25 de haut.
        QCOMPARE(f->btOuvrirFond->geometry(), QRect(8, 8, f->commandFond->width() - 16, 25));
        QCOMPARE(f->Splitter2->width(), 3);
        QCOMPARE(f->PanelFlux->height(), 176);
        QCOMPARE(f->pbTitreFlux->height(), 24);
        QCOMPARE(f->separateurH->height(), 4);
        QCOMPARE(f->ongletsPages->height(), 22);
        QCOMPARE(f->btFermerOnglet->size(), QSize(25, 25));
        QCOMPARE(f->panelCommandesInfosFlux->width(), 125);
        QCOMPARE(f->listeInfosFluxCharge->height(), 45);
        QCOMPARE(f->splitPanelFlux->height(), 3);
        // Le panneau du flux et les pages se partagent la partie droite, de haut en bas.
        const QPoint basFlux = f->PanelFlux->mapTo(f.get(), QPoint(0, f->PanelFlux->height()));
        QCOMPARE(f->separateurH->mapTo(f.get(), QPoint(0, 0)).y(), basFlux.y());
        QCOMPARE(f->PanelPrincipale->mapTo(f.get(), QPoint(0, 0)).y(), basFlux.y() + 4);
        QCOMPARE(f->PanelPrincipale->mapTo(f.get(), QPoint(0, f->PanelPrincipale->height())).y(),
                 f->centralWidget()->geometry().bottom() + 1);
        QCOMPARE(f->PanelFlux->mapTo(f.get(), QPoint(0, 0)).x(), 225 + 3);
    }

    void etatAuDemarrage()
    {
        for (QWidget *cache : {static_cast<QWidget *>(f->pbarGenerale), f->panelCommandesInfosFlux,
                               static_cast<QWidget *>(f->splitPanelFlux), static_cast<QWidget *>(f->listeInfosFluxCharge),
                               static_cast<QWidget *>(f->btFermerOnglet)})
            QVERIFY2(!cache->isVisible(), qPrintable(cache->objectName()));
        QVERIFY(f->listeInfosFlux->isVisible());
        QCOMPARE(f->pbarGenerale->minimum(), 0);
        QCOMPARE(f->pbarGenerale->maximum(), 100);
        QCOMPARE(f->pbarGenerale->value(), 0);
        QCOMPARE(f->pbTitreFlux->indice(), QStringLiteral("-"));
        QCOMPARE(f->pbTitreFlux->legendePeinte(), QStringLiteral("-"));
        QCOMPARE(f->pbTitreFlux->toolTip(), QStringLiteral("-"));
        QCOMPARE(f->ongletsPages->count(), 0);
        QVERIFY(f->pageHTML->url().isEmpty());
        QCOMPARE(f->pcSupplement->currentIndex(), 0);

        QCOMPARE(f->listeInfosFlux->palette().color(QPalette::Base), QColor(0xBE, 0xDC, 0xFA));
        QCOMPARE(f->listeInfosFluxCharge->palette().color(QPalette::Base), QColor(0xFF, 0xC7, 0xC7));
        QCOMPARE(f->listeInfosFlux->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(f->listeInfosFluxCharge->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(f->listeInfosFlux->font().bold());
        QVERIFY(f->listeInfosFluxCharge->font().bold());
        QCOMPARE(f->arbreFavoris->indentation(), 19);
        QCOMPARE(f->arbreFavoris->font().pointSize(), 10);
        QCOMPARE(f->xmlTreeView->indentation(), 19);
        QVERIFY(f->xmlTreeView->font().bold());
        QCOMPARE(f->xmlTreeView->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(f->btTitreArbreXML->font().bold());
        QVERIFY(!f->btTitreFavoris->font().bold());
    }

    void vuesLaterales()
    {
        QTabWidget *pc = f->pcSupplement;
        QCOMPARE(pc->tabPosition(), QTabWidget::West);
        QCOMPARE(pc->count(), 4);
        const QList<QWidget *> pages = {f->pageFavoris, f->pageListeRSS, f->pageArbreXML, f->TabSheet1};
        const QStringList bulles = {QStringLiteral("Favoris"), QStringLiteral("Liste de sources RSS"),
                                    QStringLiteral("Arbre XML"), QString()};
        const int images[] = {200, 91, 162, 166};
        const QList<TBoitePeinte *> titres = {f->btTitreFavoris, f->btTitreListeRSS, f->btTitreArbreXML,
                                              f->btTitreRecherche};
        const QStringList legendes = {QStringLiteral("FAVORIS"), QStringLiteral("FLUX RSS"),
                                      QStringLiteral("ARBRE RSS"), QStringLiteral("RECHERCHE")};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pc->widget(i), pages[i]);
            QCOMPARE(pc->tabText(i), QString());
            QCOMPARE(pc->tabToolTip(i), bulles[i]);
            QVERIFY(memeImage(pc->tabIcon(i), ListeImages::image(images[i])));
            QCOMPARE(titres[i]->legende(), legendes[i]);
            QCOMPARE(titres[i]->height(), 17);
            QCOMPARE(titres[i]->dessin(), TBoitePeinte::Dessin::Titre);
            QCOMPARE(titres[i]->parentWidget(), pages[i]);
        }

        // Les boutons peints, leurs légendes et leurs hauteurs.
        const QList<QPair<TBoitePeinte *, QString>> boutons = {
            {f->btAjouterRSS, QStringLiteral("Ajouter RSS")},      {f->btSupprimerFlux, QStringLiteral("Supprimer RSS")},
            {f->btDecocherTout, QStringLiteral("Décocher tout")},  {f->btConnexionFond, QStringLiteral("Connexion RSS")},
            {f->btAjouterFavoris, QStringLiteral("Ajouter")},      {f->pbBoutonRechercher, QStringLiteral("Rechercher")},
            {f->pbBoutonRechercherOuvrir, QStringLiteral("Ouvrir flux")},
        };
        for (const auto &[boite, legende] : boutons) {
            QCOMPARE(boite->legende(), legende);
            QCOMPARE(boite->height(), 20);
            QCOMPARE(boite->dessin(), TBoitePeinte::Dessin::Bouton);
        }
        QCOMPARE(f->pbEnregistrerInfo->legende(), QStringLiteral("Enregistrer Info"));
        QCOMPARE(f->pbSupprimerInfo->legende(), QStringLiteral("Supprimer Info"));
        QCOMPARE(f->btOuvrirFond->legende(), QStringLiteral("Ouvrir RSS"));
        QVERIFY(f->btOuvrirFond->aspectEnfonce());
        QVERIFY(f->btConnexionFond->aspectEnfonce());
        QVERIFY(!f->btAjouterRSS->aspectEnfonce());
        QCOMPARE(f->pbBoutonRechercher->indice(), QStringLiteral("Lancer la recherche"));
        QCOMPARE(f->pbBoutonRechercherOuvrir->indice(), QStringLiteral("Ouvrir le ou les flux sélectionné(s)"));

        // Les quatre boutons du haut sont empilés dans l'ordre, le groupe « Favoris : » en bas.
        f->affichageFluxExecute();
        QTest::qWait(20);
        QCOMPARE(f->findChild<QWidget *>(QStringLiteral("panelBoutonsRSS"))->height(), 192);
        QCOMPARE(f->btAjouterRSS->y(), 0);
        QCOMPARE(f->btSupprimerFlux->y(), 20);
        QCOMPARE(f->btDecocherTout->y(), 40);
        QCOMPARE(f->btConnexionFond->y(), 60);
        QCOMPARE(f->groupeFavoris->height(), 97);
        QCOMPARE(f->groupeFavoris->geometry().bottom(), 191);
        QCOMPARE(qobject_cast<QGroupBox *>(f->groupeFavoris)->title(), QStringLiteral("Favoris : "));
        f->affichageRechercheExecute();
        QTest::qWait(20);
        QCOMPARE(f->findChild<QWidget *>(QStringLiteral("panelRecherche"))->height(), 161);
        QCOMPARE(f->cbRechercheTitre->text(), QStringLiteral("Titre de l'information"));
        QCOMPARE(f->cbRechercheLien->text(), QStringLiteral("Lien de l'information"));
        QCOMPARE(f->cbRechercheDescription->text(), QStringLiteral("Description de l'information"));
        QVERIFY(!f->cbRechercheTitre->isChecked() && !f->cbRechercheLien->isChecked()
                && !f->cbRechercheDescription->isChecked());
        f->affichageFavorisExecute();
    }

    void actions_data()
    {
        QTest::addColumn<QString>("categorie");
        QTest::addColumn<QString>("legende");
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("raccourci");
        QTest::addColumn<int>("image");
        struct Ligne
        {
            const char *nom, *categorie, *legende, *indice, *raccourci;
            int image;
        };
        const Ligne table[] = {
            {"ouvrirRSS", "", "&Ouvrir un RSS...", "", "Ctrl+O", 197},
            {"connexionRSS_HTTP", "", "&Connexion RSS", "", "", 138},
            {"ajouterSourceRSS", "", "&Ajouter RSS...", "Ajouter une source RSS", "", 95},
            {"fermerOnglet", "pageHTML_Navigation", "", "Fermer l'onglet courant", "Ctrl+F4", 119},
            {"sauvegarderXML", "", "&Enregistrer", "Enregistrer les modifications", "Ctrl+S", 202},
            {"ajouterRubrique", "", "&Ajouter une Rubrique...", "Ajouter une nouvelle rubrique", "", 204},
            {"supprimerRubrique", "", "&Supprimer la rubrique", "Supprimer la rubrique sélectionné", "", 205},
            {"decocherTousFlux", "", "&décocher tous les flux", "décocher tous les flux", "", 99},
            {"supprimerSourceRSS", "", "Supprimer le flux RSS", "Supprimer le flux RSS de la base", "", 153},
            {"ajouterFluxDansRubrique", "", "&Ajouter un Favori", "Ajouter un flux dans la rubrique", "", 201},
            {"supprimerFluxDeRubrique", "", "Su&pprimer le Favori", "Supprimer le Favoris sélectionné de la rubrique", "", 184},
            {"chargerFlux", "", "&Charger le fil RSS", "Charger le fil RSS", "", 128},
            {"quitter", "", "&Quitter", "Quitter l'application", "", 118},
            {"pageHTMLPrecedent", "pageHTML_Navigation", "Page &Précédente", "Navigation : Précédent <", "", 207},
            {"pageHTMLSuivante", "pageHTML_Navigation", "Page &Suivante", "Navigation : Suivante >", "", 206},
            {"pageHTMLActualiser", "pageHTML_Navigation", "&Actualiser", "Actualiser la page courante", "", 116},
            {"affichageFavoris", "Affichage", "&Favoris", "Afficher les favoris", "F5", 200},
            {"affichageFlux", "Affichage", "&Gestion des Flux", "Afficher la gestion des Flux", "F6", 91},
            {"affichageArbreFlux", "Affichage", "&Arbre RSS", "Afficher l'arbre RSS du flux courant", "F7", 162},
            {"affichageRecherche", "Affichage", "&Recherche", "Afficher l'outils de recherche", "F8", 166},
            {"rechercher", "Recherche", "Rechercher", "Lancer la recherche", "", 170},
            {"rechercheChargerFlux", "Recherche", "Charger le flux", "Charger le flux trouvé sélectionné", "", 96},
            {"supprimerInfoDeFlux", "", "Supprimer Info", "Supprimer l'information du flux courant", "", 185},
            {"enregistrerInfoDansFlux", "", "Enregistrer Info", "Enregistrer les informations sélectionnés", "", 99},
            {"aPropos", "", "A propos...", "A propos de Brindlewave - Lecteur RSS", "", 138},
            {"actualiserSources", "", "Actualiser les sources", "Actualiser toutes les sources de la base", "F9", 117},
            {"sourceSuivanteNonLue", "", "Source suivante non lue",
             "Ouvrir la source suivante qui a des informations nouvelles", "Ctrl+N", -1},
            {"toutMarquerCommeLu", "", "Tout marquer comme lu", "Plus aucune information nouvelle dans aucune source",
             "", -1},
            {"actualisationAutomatique", "", "Actualiser toutes les 30 minutes",
             "Actualiser les sources toutes les 30 minutes", "", -1},
        };
        for (const Ligne &l : table)
            QTest::newRow(l.nom) << QString::fromUtf8(l.categorie) << QString::fromUtf8(l.legende)
                                 << QString::fromUtf8(l.indice) << QString::fromLatin1(l.raccourci) << l.image;
    }

    void actions()
    {
        QFETCH(QString, categorie);
        QFETCH(QString, legende);
        QFETCH(QString, indice);
        QFETCH(QString, raccourci);
        QFETCH(int, image);
        const QString nom = QString::fromLatin1(QTest::currentDataTag());
        const QList<QAction *> toutes = f->actionsDeLaListe();
        QCOMPARE(toutes.size(), 29);
        QAction *action = f->ListeActions->findChild<QAction *>(nom);
        QVERIFY(action);
        QCOMPARE(action->property("categorie").toString(), categorie);
        QCOMPARE(action->text(), legende);
        QCOMPARE(action->statusTip(), indice);
        if (!indice.isEmpty())
            QCOMPARE(action->toolTip(), indice);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), raccourci);
        QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
        QCOMPARE(action->property("indexImage").toInt(), image);
        QVERIFY(image < 0 ? action->icon().isNull() : memeImage(action->icon(), ListeImages::image(image)));
        QCOMPARE(action->isCheckable(), nom == u"actualisationAutomatique");
        QVERIFY(action->isEnabled());
        QVERIFY(f->actions().contains(action)); // raccourci valable dans toute la fenêtre
    }

    void menu()
    {
        const QList<QAction *> menus = f->MainFormMenu->actions();
        QCOMPARE(menus.size(), 7);
        const QStringList titres = {QStringLiteral("&Fichier"), QStringLiteral("&Edition"),
                                    QStringLiteral("&Affichage"), QStringLiteral("&Favoris"),
                                    QStringLiteral("&Informations"), QStringLiteral("&Navigation"),
                                    QStringLiteral("&?")};
        const QList<QStringList> contenus = {
            {u"ouvrirRSS"_qs, u"connexionRSS_HTTP"_qs, u"-"_qs, u"actualiserSources"_qs, u"sourceSuivanteNonLue"_qs,
             u"toutMarquerCommeLu"_qs, u"actualisationAutomatique"_qs, u"-"_qs, u"sauvegarderXML"_qs, u"-"_qs,
             u"quitter"_qs},
            {u"ajouterSourceRSS"_qs, u"-"_qs, u"elementFermerOnglet"_qs},
            {u"affichageFavoris"_qs, u"affichageFlux"_qs, u"affichageArbreFlux"_qs, u"affichageRecherche"_qs},
            {u"ajouterRubrique"_qs, u"supprimerRubrique"_qs, u"-"_qs, u"chargerFlux"_qs, u"supprimerFluxDeRubrique"_qs},
            {u"enregistrerInfoDansFlux"_qs, u"supprimerInfoDeFlux"_qs},
            {u"pageHTMLPrecedent"_qs, u"pageHTMLSuivante"_qs, u"-"_qs, u"pageHTMLActualiser"_qs},
            {u"aPropos"_qs},
        };
        const QList<QToolButton *> boutons = f->ToolBar2->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
        QList<QToolButton *> boutonsMenus;
        for (QToolButton *b : boutons)
            if (b->menu())
                boutonsMenus << b;
        QCOMPARE(boutonsMenus.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QMenu *m = menus[i]->menu();
            QVERIFY(m);
            QCOMPARE(m->title(), titres[i]);
            QCOMPARE(elements(m), contenus[i]);
            // Le bouton de la barre de menu, 70 × 21, ouvre ce menu.
            QCOMPARE(boutonsMenus[i]->text(), titres[i]);
            QCOMPARE(boutonsMenus[i]->menu(), m);
            QCOMPARE(boutonsMenus[i]->size(), QSize(70, 21));
            QCOMPARE(boutonsMenus[i]->popupMode(), QToolButton::InstantPopup);
            if (i > 0)
                QVERIFY(boutonsMenus[i]->x() > boutonsMenus[i - 1]->x());
        }
        // L'élément « Fermer l'onglet » : sa légende, l'image et le raccourci de l'action, et il la déclenche.
        QAction *fermer = menus[1]->menu()->actions().at(2);
        QCOMPARE(fermer->text(), QStringLiteral("&Fermer l'onglet"));
        QCOMPARE(fermer->shortcut(), f->fermerOnglet->shortcut());
        QVERIFY(memeImage(fermer->icon(), ListeImages::image(119)));
        QSignalSpy declenche(f->fermerOnglet, &QAction::triggered);
        fermer->trigger();
        QCOMPARE(declenche.size(), 1);
        // Les actions réservées aux boutons peints ne sont sur aucun menu.
        for (const char *nom : {"decocherTousFlux", "supprimerSourceRSS", "ajouterFluxDansRubrique", "rechercher",
                                "rechercheChargerFlux"}) {
            for (QAction *m : menus)
                QVERIFY(!elements(m->menu()).contains(QString::fromLatin1(nom)));
        }
    }

    void altFOuvreLeMenuFichier()
    {
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QPointer<QWidget> ouvert;
        QTimer::singleShot(300, this, [&ouvert] {
            ouvert = QApplication::activePopupWidget();
            if (ouvert)
                ouvert->close();
        });
        QTest::keyClick(f.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(ouvert);
        QCOMPARE(ouvert->objectName(), QStringLiteral("menuFichier"));
    }

    void barreOutils()
    {
        QStringList vus;
        for (QAction *a : f->barreOutils->actions()) {
            if (a->isSeparator()) {
                vus << QStringLiteral("|");
                QCOMPARE(f->barreOutils->widgetForAction(a)->width(), 8);
            } else if (auto w = f->barreOutils->widgetForAction(a); qobject_cast<QToolButton *>(w)) {
                vus << a->objectName();
                QCOMPARE(w->width(), 33);
                QCOMPARE(qobject_cast<QToolButton *>(w)->toolButtonStyle(), Qt::ToolButtonIconOnly);
            } else {
                vus << QStringLiteral("progression");
                QVERIFY(w->isAncestorOf(f->pbarGenerale));
            }
        }
        QCOMPARE(vus.join(u' '),
                 QStringLiteral("ouvrirRSS connexionRSS_HTTP actualiserSources | sauvegarderXML | ajouterSourceRSS | ajouterRubrique "
                                "supprimerRubrique chargerFlux supprimerFluxDeRubrique | pageHTMLPrecedent "
                                "pageHTMLSuivante pageHTMLActualiser | progression"));

        // La barre de progression, montrée, occupe le reste de la barre.
        f->pbarGenerale->show();
        QTest::qWait(20);
        const QPoint finProgression = f->pbarGenerale->mapTo(f->barreOutils, QPoint(f->pbarGenerale->width(), 0));
        QVERIFY2(finProgression.x() > f->barreOutils->width() - 10, qPrintable(QString::number(finProgression.x())));
        QVERIFY(f->pbarGenerale->width() > 200);
        f->pbarGenerale->hide();
    }

    void bullesDeLaBarreOutils()
    {
        // Chaque bouton montre l'indice de son action en bulle, sauf les deux premiers qui n'en ont pas.
        for (const char *nom : {"ouvrirRSS", "connexionRSS_HTTP", "sauvegarderXML", "pageHTMLActualiser"}) {
            auto action = f->ListeActions->findChild<QAction *>(QString::fromLatin1(nom));
            QWidget *bouton = f->barreOutils->widgetForAction(action);
            const QPoint centre = bouton->rect().center();
            QHelpEvent bulle(QEvent::ToolTip, centre, bouton->mapToGlobal(centre));
            QApplication::sendEvent(bouton, &bulle);
            if (action->statusTip().isEmpty()) {
                QVERIFY2(!QToolTip::isVisible(), nom);
            } else {
                QTRY_VERIFY2(QToolTip::isVisible(), nom);
                QCOMPARE(QToolTip::text(), action->statusTip());
            }
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
        }
    }

    // Une ligne coupée montre en bulle son texte entier, tel quel ; une ligne entière n'en a pas.
    void bullesDesLignesCoupees_data()
    {
        QTest::addColumn<bool>("coupee");
        QTest::newRow("coupée") << true;
        QTest::newRow("entière") << false;
    }

    void bullesDesLignesCoupees()
    {
        QFETCH(bool, coupee);
        const QString texte = coupee ? u"Exemples de flux / International / <b>News</b> "_qs.repeated(3) : u"Presse"_qs;
        f->arbreFavoris->addTopLevelItem(new QTreeWidgetItem(QStringList(texte)));
        QTest::qWait(20);
        QAbstractItemView *v = f->arbreFavoris;
        const QPoint centre = v->visualRect(v->model()->index(0, 0)).center();
        QHelpEvent bulle(QEvent::ToolTip, centre, v->viewport()->mapToGlobal(centre));
        QApplication::sendEvent(v->viewport(), &bulle);
        // Le texte entier, jamais lu comme du HTML.
        QTRY_COMPARE(QToolTip::isVisible() ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText() : QString(),
                     coupee ? texte : QString());
        QToolTip::hideText();
        f->arbreFavoris->clear();
    }

    void touchesF5aF8()
    {
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        // La vue web a le focus : les raccourcis valent quand même pour toute la fenêtre.
        f->pageHTML->setFocus();
        const QList<QPair<Qt::Key, QWidget *>> touches = {
            {Qt::Key_F7, f->pageArbreXML}, {Qt::Key_F5, f->pageFavoris}, {Qt::Key_F8, f->TabSheet1},
            {Qt::Key_F6, f->pageListeRSS}, {Qt::Key_F6, f->pageListeRSS}, {Qt::Key_F5, f->pageFavoris}};
        for (const auto &[touche, page] : touches) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f.get(), touche);
            QCOMPARE(f->pcSupplement->currentWidget(), page);
        }
        // Les mêmes commandes depuis le menu « Affichage ».
        f->affichageRecherche->trigger();
        QCOMPARE(f->pcSupplement->currentIndex(), 3);
        f->affichageFavoris->trigger();
        QCOMPARE(f->pcSupplement->currentIndex(), 0);
    }

    void boutonsPeintsEtDoublesClics()
    {
        const QList<QPair<TBoitePeinte *, QAction *>> liens = {
            {f->btOuvrirFond, f->ouvrirRSS},
            {f->btConnexionFond, f->connexionRSS_HTTP},
            {f->btAjouterRSS, f->ajouterSourceRSS},
            {f->btSupprimerFlux, f->supprimerSourceRSS},
            {f->btDecocherTout, f->decocherTousFlux},
            {f->btAjouterFavoris, f->ajouterFluxDansRubrique},
            {f->pbBoutonRechercher, f->rechercher},
            {f->pbBoutonRechercherOuvrir, f->rechercheChargerFlux},
        };
        for (const auto &[boite, action] : liens) {
            f->pcSupplement->setCurrentWidget(f->pcSupplement->widget(0));
            for (int i = 0; i < f->pcSupplement->count(); ++i)
                if (f->pcSupplement->widget(i)->isAncestorOf(boite))
                    f->pcSupplement->setCurrentIndex(i);
            QTest::qWait(10);
            QSignalSpy declenche(action, &QAction::triggered);
            QTest::mouseClick(boite, Qt::LeftButton, {}, boite->rect().center());
            QVERIFY2(declenche.size() == 1, qPrintable(boite->objectName()));
        }
        // Les boutons cachés des informations sauvegardées déclenchent aussi leurs actions.
        f->panelCommandesInfosFlux->show();
        QTest::qWait(10);
        for (const auto &[boite, action] : QList<QPair<TBoitePeinte *, QAction *>>{
                 {f->pbEnregistrerInfo, f->enregistrerInfoDansFlux}, {f->pbSupprimerInfo, f->supprimerInfoDeFlux}}) {
            QSignalSpy declenche(action, &QAction::triggered);
            QTest::mouseClick(boite, Qt::LeftButton, {}, boite->rect().center());
            QCOMPARE(declenche.size(), 1);
        }
        f->panelCommandesInfosFlux->hide();

        // Double clic dans l'arbre des favoris et dans la liste des résultats.
        f->affichageFavorisExecute();
        auto rubrique = new QTreeWidgetItem(f->arbreFavoris, {QStringLiteral("Rubrique")});
        QTest::qWait(10);
        QSignalSpy charger(f->chargerFlux, &QAction::triggered);
        const QRect zone = f->arbreFavoris->visualItemRect(rubrique);
        // Un vrai double clic commence par un clic simple.
        QTest::mouseClick(f->arbreFavoris->viewport(), Qt::LeftButton, {}, zone.center());
        QTest::mouseDClick(f->arbreFavoris->viewport(), Qt::LeftButton, {}, zone.center());
        QCOMPARE(charger.size(), 1);
        f->arbreFavoris->clear();

        f->affichageRechercheExecute();
        auto resultat = new QListWidgetItem(QStringLiteral("Un flux"), f->listeRecherche);
        QTest::qWait(10);
        QSignalSpy ouvrir(f->rechercheChargerFlux, &QAction::triggered);
        const QPoint ligne = f->listeRecherche->visualItemRect(resultat).center();
        QTest::mouseClick(f->listeRecherche->viewport(), Qt::LeftButton, {}, ligne);
        QTest::mouseDClick(f->listeRecherche->viewport(), Qt::LeftButton, {}, ligne);
        QCOMPARE(ouvrir.size(), 1);
        f->listeRecherche->clear();
        f->affichageFavorisExecute();
    }

    void separateurs()
    {
        // Tirer Splitter2 élargit le panneau de gauche ; le panneau du flux suit separateurH.
        const int largeur = f->commandPanel->width();
        f->Splitter2->deplacerDe(40);
        QTest::qWait(20);
        QCOMPARE(f->commandPanel->width(), largeur + 40);
        QCOMPARE(f->PanelFlux->mapTo(f.get(), QPoint(0, 0)).x(), largeur + 40 + 3);
        f->Splitter2->deplacerDe(-40);
        QTest::qWait(20);
        QCOMPARE(f->commandPanel->width(), largeur);

        const int hauteur = f->PanelFlux->height();
        QTest::mousePress(f->separateurH, Qt::LeftButton, {}, QPoint(5, 1));
        QTest::mouseMove(f->separateurH, QPoint(5, -30));
        QTest::mouseRelease(f->separateurH, Qt::LeftButton, {}, QPoint(5, -30));
        QTest::qWait(20);
        QCOMPARE(f->PanelFlux->height(), hauteur - 31);
        // Jamais sous 80, jamais au point d'écraser les pages sous leur minimum de 100.
        f->separateurH->deplacerDe(-1000);
        QTest::qWait(20);
        QCOMPARE(f->PanelFlux->height(), 80);
        f->separateurH->deplacerDe(5000);
        QTest::qWait(20);
        QVERIFY(f->PanelPrincipale->height() >= 100);
        QVERIFY(f->PanelFlux->height() > 176);
        f->PanelFlux->setFixedHeight(176);
    }

    void arbreXMLDuDocumentCharge()
    {
        // Sans module de données (avant que main le donne), rien ne se passe.
        f->afficherArbreXML();
        QCOMPARE(f->xmlTreeView->model()->rowCount(), 0);

        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        f->setDmRSS(&module);
        const QString chemin = dossier.ecrire(QStringLiteral("rss/a.xml"),
            QByteArrayLiteral("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>T</title>"
                              "<item><title>I</title></item></channel></rss>"));
        QVERIFY(module.chargerDocumentXML(chemin));
        f->afficherArbreXML();
        const int premier = f->xmlTreeView->model()->rowCount();
        QVERIFY(premier > 0);
        QVERIFY(f->xmlTreeView->model()->index(0, 0).data().toString().contains(QStringLiteral("channel")));
        // Un second affichage remplace l'arbre au lieu de l'allonger.
        f->afficherArbreXML();
        QCOMPARE(f->xmlTreeView->model()->rowCount(), premier);
        f->setDmRSS(nullptr);
    }
};

QTEST_MAIN(TestFenetre)
#include "tst_fenetre.moc"
