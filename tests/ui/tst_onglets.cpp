// Les onglets de bout en bout : la vraie fenêtre, la vraie vue web, les dialogues scriptés et un
// vrai serveur HTTP sur 127.0.0.1. Ouvrir un fichier, une source, un favori ; changer d'onglet ;
// fermer ; naviguer (menu contextuel compris) ; la page lue en Windows-1252 et montrée depuis son
// haut ; une erreur d'écriture qui remonte à la boîte d'erreur ; la mémoire des flux lus pour les
// listes.

#include "BancFenetre.h"
#include "EntreesX11.h"
#include "FormeArbre.h"

#include "commun/Emplacement.h"
#include "paint/TBoitePeinte.h"
#include "ui/DonneesLignes.h"
#include "ui/PageHTML.h"
#include "ui/ArbreXMLVue.h"
#include "ui/TSeparateur.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTimer>
#include <cstdio>

using namespace BancFenetre;

class TestOnglets : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    std::unique_ptr<ServeurHTTPTest> serveur;

    TmainForm *f() const { return b->f.get(); }

    // Ouvre un fichier par la commande, comme si l'utilisateur l'avait choisi, et attend sa page.
    bool ouvrirFichier(const QString &chemin)
    {
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        b->dialogues.fichiersPrevus({chemin});
        f()->ouvrirRSS->trigger();
        return attendreChargement(f()->pageHTML, fini);
    }

    QString ecrireFlux(const QString &nom, const QString &titre, const QStringList &infos)
    {
        return b->dossier.ecrire(QStringLiteral("rss/") + nom, fluxRSS(titre, infos));
    }

    // Une source de la base servie par le serveur, montrée dans la liste des sources.
    PFlux sourceServie(const QString &chemin, const QString &titreBase, const QString &titreDocument,
                       const QStringList &sauvegardees, bool enAtom = false)
    {
        const QStringList infos{QStringLiteral("Vive un"), QStringLiteral("Vive deux")};
        serveur->definir(chemin.toUtf8(),
                         ReponseHTTP::ok(enAtom ? fluxAtom(titreDocument, infos) : fluxRSS(titreDocument, infos)));
        PFlux flux = fluxDeBase(titreBase, serveur->url(chemin), sauvegardees);
        b->module->getFluxBase().append(flux);
        f()->actualiserListeSources();
        return flux;
    }

    bool connecter(int ligne)
    {
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        f()->listeRssSources->setCurrentRow(ligne);
        f()->connexionRSS_HTTP->trigger();
        return attendreChargement(f()->pageHTML, fini);
    }

    bool changerDOnglet(int index)
    {
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        QTest::mouseClick(f()->ongletsPages, Qt::LeftButton, {}, f()->ongletsPages->tabRect(index).center());
        return f()->ongletsPages->currentIndex() == index && attendreChargement(f()->pageHTML, fini);
    }

    bool fermerCourant()
    {
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        f()->fermerOnglet->trigger();
        return attendreChargement(f()->pageHTML, fini);
    }

    QStringList legendes() const
    {
        QStringList l;
        for (int i = 0; i < f()->ongletsPages->count(); ++i)
            l << f()->ongletsPages->tabText(i);
        return l;
    }

    bool controlesSauvegardesMontres() const
    {
        const QList<QWidget *> controles = {f()->panelCommandesInfosFlux, f()->listeInfosFluxCharge,
                                            f()->splitPanelFlux, f()->pbSupprimerInfo};
        bool tous = true, aucun = true;
        for (QWidget *c : controles) {
            tous = tous && !c->isHidden();
            aucun = aucun && c->isHidden();
        }
        if (!tous && !aucun)
            qWarning("contrôles des informations sauvegardées à moitié montrés");
        return tous;
    }

    QString page() const { return texteDeLaPage(b->page()); }

    // Le texte que la vue montre, tel que la vue elle-même le rend.
    QString texteMontre() const
    {
        QString texte;
        bool rendu = false;
        b->page()->toPlainText([&](const QString &t) {
            texte = t;
            rendu = true;
        });
        for (int i = 0; i < 1000 && !rendu; ++i)
            QTest::qWait(5);
        return texte;
    }

    int defilement() const { return executerJS(b->page(), QStringLiteral("window.scrollY")).toInt(); }
    int defilerEnBas() const
    {
        executerJS(b->page(), QStringLiteral("window.scrollTo(0, document.documentElement.scrollHeight)"));
        QTest::qWait(100);
        return defilement();
    }

    // Un clic droit dans la vue, au point donné, et le menu qu'il ouvre.
    // Le clic droit est redonné tant que le menu ne vient pas : après une navigation, le moteur
    // peut remplacer le widget de rendu, et une page lente (sanitizers) ne répond pas au premier.
    QMenu *menuContextuel(const QPoint &point)
    {
        QMenu *menu = nullptr;
        for (int essai = 0; essai < 5 && !menu; ++essai) {
            QWidget *rendu = f()->pageHTML->focusProxy();
            QTest::mouseMove(rendu, point);
            QTest::mouseClick(rendu, Qt::RightButton, {}, point);
            for (int i = 0; i < 200 && !menu; ++i) {
                QTest::qWait(10);
                menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            }
        }
        return menu;
    }

    static QStringList legendesDuMenu(const QMenu *menu, bool permisesSeulement = false)
    {
        QStringList l;
        for (const QAction *a : menu->actions())
            if (!a->isSeparator() && (!permisesSeulement || a->isEnabled()))
                l << a->text();
        return l;
    }

    static void choisir(QMenu *menu, const QString &legende)
    {
        for (QAction *a : menu->actions())
            if (a->text() == legende)
                a->trigger();
        menu->close();
    }

    // Ce qu'un onglet montre de son fichier : les octets et les lignes de sa page, ses deux
    // listes, son arbre XML.
    struct Montre
    {
        QByteArray page;
        QList<TexteEtroit> lignes;
        QStringList infos, infosChargees, arbre;
    };

    static QStringList arbreDe(const QTreeView &vue)
    {
        return formeArbre(*vue.model(), [](const QModelIndex &noeud) {
            return QString::number(!noeud.data(Qt::DecorationRole).value<QIcon>().isNull());
        });
    }

    static QStringList textesDe(const QListWidget *liste)
    {
        QStringList l;
        for (int i = 0; i < liste->count(); ++i)
            l << liste->item(i)->text();
        return l;
    }

    Montre montre() const
    {
        return {OutilsTests::lireFichier(Emplacement::cheminPage()), b->module->getLignesPage(),
                textesDe(f()->listeInfosFlux), textesDe(f()->listeInfosFluxCharge), arbreDe(*f()->xmlTreeView)};
    }

    // Ce qu'une lecture neuve du fichier montre, par un module à part (la page est écrite).
    Montre relu(const QString &chemin)
    {
        TdmRSS module(b->dialogues);
        if (!module.chargerDocumentXML(chemin))
            return {};
        const PFlux flux = module.analyserFlux(module.XMLDoc);
        module.genererPageDocument(*flux);
        QTreeView vue;
        preparerVueArbreXML(&vue);
        construireArbreXML(&vue, module.XMLDoc.elementDocument());
        QStringList infos;
        for (const PInfo &info : std::as_const(flux->infos))
            infos << info->getTitre();
        return {OutilsTests::lireFichier(Emplacement::cheminPage()), module.getLignesPage(), infos, {}, arbreDe(vue)};
    }

    static void comparer(const Montre &vu, const Montre &attendu)
    {
        QCOMPARE(vu.page, attendu.page);
        QCOMPARE(vu.lignes, attendu.lignes);
        QCOMPARE(vu.infos, attendu.infos);
        QCOMPARE(vu.infosChargees, attendu.infosChargees);
        QCOMPARE(vu.arbre, attendu.arbre);
    }

    // Ouvre un flux d'une information dont le lien mène à une page du serveur ; rend ce lien.
    QString ouvrirFluxAvecUnLien(const QString &nom)
    {
        serveur->definir("/article", ReponseHTTP::ok("<html><head><title>Article</title></head>"
                                                     "<body>Le texte de l'article</body></html>",
                                                     "text/html"));
        const QString lien = serveur->url(QStringLiteral("/article"));
        const QByteArray xml = QStringLiteral("<rss version=\"2.0\"><channel><title>%1</title><item><title>Lire</title>"
                                              "<link>%2</link></item></channel></rss>")
                                   .arg(nom, lien)
                                   .toUtf8();
        if (!ouvrirFichier(b->dossier.ecrire(QStringLiteral("rss/") + nom + QStringLiteral(".xml"), xml)))
            qWarning("le flux %s ne s'est pas ouvert", qPrintable(nom));
        return lien;
    }

    // Un point du lien de la première information, dans la vue.
    QPoint coinDuLien() const
    {
        return QPoint(executerJS(b->page(), QStringLiteral("document.querySelector('h2').getBoundingClientRect().left + 3")).toInt(),
                      executerJS(b->page(), QStringLiteral("document.querySelector('h2').getBoundingClientRect().top + 3")).toInt());
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

    void ouvrirUnFichierLocal()
    {
        const QString chemin = ecrireFlux(QStringLiteral("actualites.xml"), QStringLiteral("Actualités du jour"),
                                          {QStringLiteral("Première"), QStringLiteral("Deuxième"),
                                           QStringLiteral("Troisième")});
        QSignalSpy barre(f()->pbarGenerale, &QProgressBar::valueChanged);
        QVERIFY(ouvrirFichier(chemin));

        QCOMPARE(valeurs(barre), QList<int>({17, 47, 73, 100, 0}));
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(b->dialogues.choixFichiers.size(), 1);
        QCOMPARE(b->dialogues.choixFichiers.at(0).titre, QStringLiteral("Ouvrir un fichier rss.xml"));
        QCOMPARE(b->dialogues.choixFichiers.at(0).dossierInitial, Emplacement::dossierRss());

        QCOMPARE(legendes(), QStringList{QStringLiteral("Fichier : actualites.xml")});
        QCOMPARE(f()->ongletsPages->currentIndex(), 0);
        QVERIFY(!f()->btFermerOnglet->isHidden());
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Actualités du jour"));
        QCOMPARE(textesDe(f()->listeInfosFlux),
                 QStringList({QStringLiteral("Première"), QStringLiteral("Deuxième"), QStringLiteral("Troisième")}));
        QCOMPARE(DonneesLignes::infoDeLigne(f()->listeInfosFlux->item(1))->getLien(), QStringLiteral("/1"));
        QVERIFY(!controlesSauvegardesMontres());
        QCOMPARE(f()->listeInfosFluxCharge->count(), 0);
        QVERIFY(f()->xmlTreeView->model()->rowCount() > 0);

        const TObjetString *fiche = f()->ficheCourante();
        QVERIFY(fiche);
        QCOMPARE(fiche->getChemin(), chemin);
        QCOMPARE(fiche->getTexte().value_or(QString()), QStringLiteral("Actualités du jour"));
        QVERIFY(!fiche->getFlux());

        // La page écrite en Windows-1252 se lit avec ses accents.
        QCOMPARE(f()->pageHTML->url(), TPageHTML::adressePage());
        QVERIFY2(page().contains(QStringLiteral("Actualités du jour")), qPrintable(page()));
        QVERIFY(page().contains(QStringLiteral("Troisième")));
        QCOMPARE(executerJS(b->page(), QStringLiteral("document.characterSet")).toString(),
                 QStringLiteral("windows-1252"));

        // Annuler la boîte ensuite n'ouvre rien, même après un premier choix.
        barre.clear();
        b->dialogues.fichiersPrevus({std::nullopt});
        f()->ouvrirRSS->trigger();
        QCOMPARE(f()->ongletsPages->count(), 1);
        QVERIFY(barre.isEmpty());
        QCOMPARE(b->dialogues.choixFichiers.at(1).dernierChoix, chemin);
    }

    // « Ouvrir un RSS » au clavier (vraies touches X), dans la vraie boîte : la liste de complétion
    // du nom tapé part avec la boîte, et la fenêtre reprend le clavier : Ctrl+O rouvre la boîte.
    void choisirAuClavierDansLaVraieBoite_data()
    {
        QTest::addColumn<bool>("cheminEntier");
        QTest::addColumn<bool>("echap");
        QTest::newRow("chemin entier tapé") << true << false;
        QTest::newRow("nom seul") << false << false;
        QTest::newRow("Échap dans le nom, puis Entrée") << false << true;
    }

    void choisirAuClavierDansLaVraieBoite()
    {
        QFETCH(bool, cheminEntier);
        QFETCH(bool, echap);
        if (!EntreesX11::disponibles())
            QSKIP("XTest ou l'affichage X manquent");
        b.reset(); // son dossier d'exécutable d'abord
        b = std::make_unique<Fenetre>(true, Fenetre::Boites::Vraies);
        const QString chemin = ecrireFlux(QStringLiteral("simple.xml"), QStringLiteral("Simple"), {});
        const auto liste = [] { return QApplication::activePopupWidget() != nullptr; };
        f()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f()));
        bool vue = false;
        quandOuverte<QFileDialog>([&](QFileDialog *boite) {
            QTimer::singleShot(8000, boite, &QDialog::reject); // sans le clavier, elle ne bloque pas le test
            // Touche après touche : tapé d'un bloc, le chemin entier la laisserait sur ses dossiers.
            if (QTest::qWaitForWindowActive(boite))
                QTest::keyClicks(boite->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")),
                                 cheminEntier ? chemin : QStringLiteral("simple.xml"), Qt::NoModifier, 20);
            vue = QTest::qWaitFor(liste, 5000);
            if (echap) {
                EntreesX11::touche("Escape");
                vue = vue && QTest::qWaitFor([&] { return !liste(); }, 2000) && boite->isVisible();
            }
            EntreesX11::touche("Return");
        });
        EntreesX11::touche("o", "Control_L");
        QTRY_COMPARE(legendes(), QStringList{QStringLiteral("Fichier : simple.xml")});
        QVERIFY(vue && !liste());
        bool rouverte = false;
        quandOuverte<QFileDialog>([&](QFileDialog *boite) {
            rouverte = true;
            boite->reject();
        });
        EntreesX11::touche("o", "Control_L");
        QTRY_VERIFY(rouverte);
    }

    void desFichiersRecusDUneAutreInstanceSOuvrentCommeParLaCommande()
    {
        const QString un = ecrireFlux(QStringLiteral("un.xml"), QStringLiteral("Premier flux"), {QStringLiteral("A")});
        const QString deux = b->dossier.ecrire(QStringLiteral("ailleurs/deux.rdf"),
                                               fluxRSS(QStringLiteral("Second flux"), {QStringLiteral("B"), QStringLiteral("C")}));
        const QString absent = b->dossier.chemin(QStringLiteral("absent.xml"));
        f()->showMinimized();
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);

        f()->recevoirFichiers({un, absent, deux});
        QVERIFY(attendreChargement(f()->pageHTML, fini));

        // Sans boîte de choix ; le fichier illisible a son message d'échec, les autres s'ouvrent.
        QVERIFY(b->dialogues.choixFichiers.isEmpty());
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
        QCOMPARE(legendes(), QStringList({QStringLiteral("Fichier : un.xml"), QStringLiteral("Fichier : deux.rdf")}));
        QCOMPARE(f()->ongletsPages->currentIndex(), 1);
        QCOMPARE(f()->ficheCourante()->getChemin(), deux);
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Second flux"));
        QCOMPARE(textesDe(f()->listeInfosFlux), QStringList({QStringLiteral("B"), QStringLiteral("C")}));
        QVERIFY(page().contains(QStringLiteral("Second flux")));
        // La fenêtre est revenue devant.
        QVERIFY(!f()->isMinimized());
        QVERIFY(f()->isVisible());
    }

    // Un fichier Atom : ses entrées dans la liste et dans la page, le HTML du résumé et les
    // balises xhtml du contenu rendus comme tels.
    void ouvrirUnFichierAtom()
    {
        const QString chemin = b->dossier.ecrire(QStringLiteral("rss/carnet-atom.xml"),
                                                 OutilsTests::lireFichier(QStringLiteral(DOSSIER_BIN "/rss/carnet-atom.xml")));
        QVERIFY(ouvrirFichier(chemin));
        QCOMPARE(legendes(), QStringList{QStringLiteral("Fichier : carnet-atom.xml")});
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Carnet de l'atelier"));
        QCOMPARE(textesDe(f()->listeInfosFlux),
                 QStringList({QStringLiteral("Un nouvel établi"), QStringLiteral("Portes ouvertes <em>samedi</em>")}));
        QCOMPARE(DonneesLignes::infoDeLigne(f()->listeInfosFlux->item(0))->getLien(),
                 QStringLiteral("http://127.0.0.1/carnet/etabli"));
        const QString texte = page();
        QVERIFY2(texte.contains(QStringLiteral("Un établi en chêne massif rejoint l'atelier.")), qPrintable(texte));
        QVERIFY(texte.contains(QStringLiteral("Venez voir les machines tourner")));
        QVERIFY(!texte.contains(QStringLiteral("<b>")) && !texte.contains(QStringLiteral("<p>")));
        // Le HTML du résumé est devenu un élément de la page.
        QVERIFY(executerJS(b->page(), QStringLiteral("Array.from(document.querySelectorAll('b'))"
                                                     ".some(e => e.textContent == 'chêne massif')"))
                    .toBool());
    }

    void fichierIllisible()
    {
        const QString chemin = b->dossier.ecrire(QStringLiteral("rss/casse.xml"), "<rss><channel>");
        QSignalSpy barre(f()->pbarGenerale, &QProgressBar::valueChanged);
        b->dialogues.fichiersPrevus({chemin});
        f()->ouvrirRSS->trigger();
        QCOMPARE(f()->ongletsPages->count(), 0);
        QVERIFY(barre.isEmpty());
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
        QVERIFY(f()->pageHTML->url().isEmpty());
    }

    void connexionAUneSource()
    {
        const PFlux flux = sourceServie(QStringLiteral("/flux.xml"), QStringLiteral("Titre de la base"),
                                        QStringLiteral("Titre du document"),
                                        {QStringLiteral("Gardée un"), QStringLiteral("Gardée deux")});
        // Sans ligne en surbrillance, rien ne se passe, même avec une coche.
        f()->listeRssSources->item(0)->setCheckState(Qt::Checked);
        f()->listeRssSources->setCurrentRow(-1);
        f()->connexionRSS_HTTP->trigger();
        QCOMPARE(serveur->nombreRequetes(), 0);
        QCOMPARE(f()->ongletsPages->count(), 0);

        QSignalSpy barre(f()->pbarGenerale, &QProgressBar::valueChanged);
        QVERIFY(connecter(0));
        QCOMPARE(valeurs(barre), QList<int>({17, 35, 45, 55, 75, 100, 0}));
        const QString copie = Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(flux->getUrlRss());
        QVERIFY(QFileInfo::exists(copie));
        QCOMPARE(legendes(), QStringList{QStringLiteral("Fil : ") + QFileInfo(copie).fileName()});
        // Le titre est celui du flux de la base, pas celui du document lu.
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre de la base"));
        QCOMPARE(f()->ficheCourante()->getFlux(), flux);
        QVERIFY(!f()->ficheCourante()->getTexte());
        QCOMPARE(f()->ficheCourante()->getChemin(), copie);
        QCOMPARE(textesDe(f()->listeInfosFlux), QStringList({QStringLiteral("Vive un"), QStringLiteral("Vive deux")}));
        QCOMPARE(textesDe(f()->listeInfosFluxCharge),
                 QStringList({QStringLiteral("Gardée un"), QStringLiteral("Gardée deux")}));
        QVERIFY(controlesSauvegardesMontres());
        // À l'ouverture, la page vivante seule.
        QVERIFY(page().contains(QStringLiteral("Titre du document")));
        QVERIFY(!page().contains(QStringLiteral("Informations sauvegardées")));

        // Un autre onglet, puis retour : la page vivante, la bannière et les informations gardées,
        // sans nouveau téléchargement.
        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("autre.xml"), QStringLiteral("Autre"), {})));
        QVERIFY(!controlesSauvegardesMontres());
        QVERIFY(changerDOnglet(0));
        QCOMPARE(serveur->nombreRequetes(), 1);
        const QString texte = page();
        QVERIFY(texte.contains(QStringLiteral("Titre du document")));
        QCOMPARE(texte.count(QStringLiteral("Informations sauvegardées")), 1);
        QVERIFY(texte.indexOf(QStringLiteral("Gardée deux")) > texte.indexOf(QStringLiteral("Informations sauvegardées")));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre de la base"));
        QCOMPARE(textesDe(f()->listeInfosFluxCharge).size(), 2);
        QVERIFY(controlesSauvegardesMontres());
        // Et retour au fichier : son titre gardé dans la fiche.
        QVERIFY(changerDOnglet(1));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Autre"));
    }

    void connexionAUneAdresseHorsDeLaBase()
    {
        serveur->definir("/seul.xml", ReponseHTTP::ok(fluxRSS(QStringLiteral("Titre propre"), {QStringLiteral("x")})));
        // Une ligne que la base n'a pas (la liste ne suit plus la base).
        auto ligne = new QListWidgetItem(serveur->url(QStringLiteral("/seul.xml")), f()->listeRssSources);
        Q_UNUSED(ligne);
        QVERIFY(connecter(0));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre propre"));
        QVERIFY(!f()->ficheCourante()->getFlux());
        QCOMPARE(f()->ficheCourante()->getTexte().value_or(QString()), QStringLiteral("Titre propre"));
        QVERIFY(!controlesSauvegardesMontres());

        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("b.xml"), QStringLiteral("B"), {})));
        QVERIFY(changerDOnglet(0));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre propre"));
        QVERIFY(!page().contains(QStringLiteral("Informations sauvegardées")));
    }

    void echecDuTelechargement()
    {
        // 404 : le message de connexion, puis celui du chargement de la copie vide ; rien d'ouvert.
        auto ligne = new QListWidgetItem(serveur->url(QStringLiteral("/absent.xml")), f()->listeRssSources);
        Q_UNUSED(ligne);
        QSignalSpy barre(f()->pbarGenerale, &QProgressBar::valueChanged);
        f()->listeRssSources->setCurrentRow(0);
        f()->connexionRSS_HTTP->trigger();
        QCOMPARE(b->dialogues.boites.size(), 2);
        QCOMPARE(b->dialogues.boites.at(0).titre, QStringLiteral("Error"));
        QCOMPARE(b->dialogues.boites.at(1).type, TypeBoite::Erreur);
        QCOMPARE(f()->ongletsPages->count(), 0);
        QCOMPARE(valeurs(barre), QList<int>({17, 35, 0}));
        QVERIFY(f()->pbarGenerale->isHidden());
    }

    void ouvrirUnFavori_data()
    {
        QTest::addColumn<bool>("enAtom");
        QTest::newRow("RSS") << false;
        QTest::newRow("Atom") << true;
    }

    void ouvrirUnFavori()
    {
        QFETCH(bool, enAtom);
        const PFlux flux = sourceServie(QStringLiteral("/favori.xml"), QStringLiteral("Mon favori"),
                                        QStringLiteral("Document du favori"), {QStringLiteral("Gardée")}, enAtom);
        flux->rubriquesAssociees.append(versEtroit(QStringLiteral("Actualités")));
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Actualités")));
        f()->actualiserFavoris();
        QTreeWidgetItem *rubrique = f()->arbreFavoris->topLevelItem(0);
        QCOMPARE(rubrique->childCount(), 1);

        // Une rubrique n'ouvre rien, même d'un double clic.
        f()->affichageFavorisExecute();
        f()->arbreFavoris->setCurrentItem(rubrique);
        QTest::mouseDClick(f()->arbreFavoris->viewport(), Qt::LeftButton, {},
                           f()->arbreFavoris->visualItemRect(rubrique).center());
        QCOMPARE(f()->ongletsPages->count(), 0);
        QCOMPARE(serveur->nombreRequetes(), 0);

        // Le favori, d'un double clic.
        rubrique->setExpanded(true);
        QTreeWidgetItem *favori = rubrique->child(0);
        f()->arbreFavoris->setCurrentItem(favori);
        QSignalSpy barre(f()->pbarGenerale, &QProgressBar::valueChanged);
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        const QPoint centre = f()->arbreFavoris->visualItemRect(favori).center();
        QTest::mouseClick(f()->arbreFavoris->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(f()->arbreFavoris->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(attendreChargement(f()->pageHTML, fini));

        QCOMPARE(valeurs(barre), QList<int>({15, 25, 32, 43, 55, 63, 80, 100, 0}));
        QCOMPARE(legendes(), QStringList{QStringLiteral("Mon favori")});
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Mon favori"));
        const TObjetString *fiche = f()->ficheCourante();
        QCOMPARE(fiche->getFlux(), flux);
        QCOMPARE(fiche->getTexte().value_or(QString()), Emplacement::cheminPage());
        QCOMPARE(fiche->getChemin(), Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(flux->getUrlRss()));
        const QString texte = page();
        QVERIFY(texte.contains(QStringLiteral("Document du favori")));
        QCOMPARE(texte.count(QStringLiteral("Informations sauvegardées")), 1);
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList{QStringLiteral("Gardée")});
        QCOMPARE(textesDe(f()->listeInfosFlux), QStringList({QStringLiteral("Vive un"), QStringLiteral("Vive deux")}));
        QVERIFY(controlesSauvegardesMontres());
    }

    void memeSourceDeuxFoisEtCopiesLocales()
    {
        sourceServie(QStringLiteral("/deux.xml"), QStringLiteral("Deux fois"), QStringLiteral("D"), {});
        QVERIFY(connecter(0));
        QVERIFY(connecter(0));
        QCOMPARE(f()->ongletsPages->count(), 2);
        const QString copie = f()->ficheOnglet(0)->getChemin();
        QCOMPARE(f()->ficheOnglet(1)->getChemin(), copie);
        // Fermer l'un garde la copie, fermer l'autre l'efface.
        QVERIFY(fermerCourant());
        QVERIFY(QFileInfo::exists(copie));
        QCOMPARE(f()->ongletsPages->count(), 1);
        QVERIFY(fermerCourant());
        QVERIFY(!QFileInfo::exists(copie));

        // Un fichier choisi dans ressourcesHTML s'efface avec son onglet ; un autre jamais.
        const QString dansRessources =
            b->dossier.ecrire(QStringLiteral("ressourcesHTML/choisi.xml"), fluxRSS(QStringLiteral("R"), {}));
        const QString ailleurs = ecrireFlux(QStringLiteral("garde.xml"), QStringLiteral("G"), {});
        QVERIFY(ouvrirFichier(dansRessources));
        QVERIFY(ouvrirFichier(ailleurs));
        QVERIFY(fermerCourant());
        QVERIFY(QFileInfo::exists(ailleurs));
        QVERIFY(fermerCourant());
        QVERIFY(!QFileInfo::exists(dansRessources));
        // Le fichier de page n'est jamais effacé.
        QVERIFY(QFileInfo::exists(Emplacement::cheminPage()));
    }

    void fermerLeTroisiemeDeQuatre()
    {
        for (const char *nom : {"a", "b", "c", "d"}) {
            const QString n = QString::fromLatin1(nom);
            QVERIFY(ouvrirFichier(ecrireFlux(n + QStringLiteral(".xml"), QStringLiteral("Titre ") + n,
                                             {QStringLiteral("info ") + n})));
        }
        QVERIFY(changerDOnglet(2));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre c"));
        QVERIFY(fermerCourant());
        QCOMPARE(legendes(), QStringList({QStringLiteral("Fichier : a.xml"), QStringLiteral("Fichier : b.xml"),
                                          QStringLiteral("Fichier : d.xml")}));
        QCOMPARE(f()->ongletsPages->currentIndex(), 1);
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre b"));
        QCOMPARE(textesDe(f()->listeInfosFlux), QStringList{QStringLiteral("info b")});
        QVERIFY(page().contains(QStringLiteral("info b")));
        // Fermer le deuxième rend le premier courant ; fermer le premier, le nouveau premier.
        QVERIFY(fermerCourant());
        QCOMPARE(f()->ongletsPages->currentIndex(), 0);
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre a"));
        QVERIFY(fermerCourant());
        QCOMPARE(legendes(), QStringList{QStringLiteral("Fichier : d.xml")});
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Titre d"));
        QVERIFY(!f()->btFermerOnglet->isHidden());
    }

    void fermerLeDernierOnglet()
    {
        sourceServie(QStringLiteral("/der.xml"), QStringLiteral("Dernier"), QStringLiteral("Doc"), {QStringLiteral("g")});
        QVERIFY(connecter(0));
        const int noeudsArbre = f()->xmlTreeView->model()->rowCount();
        QVERIFY(fermerCourant());
        QCOMPARE(f()->ongletsPages->count(), 0);
        QVERIFY(f()->btFermerOnglet->isHidden());
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("-"));
        QCOMPARE(f()->pbTitreFlux->legendePeinte(), QStringLiteral("-"));
        QCOMPARE(f()->listeInfosFlux->count(), 0);
        QCOMPARE(f()->listeInfosFluxCharge->count(), 0);
        QVERIFY(!controlesSauvegardesMontres());
        QCOMPARE(f()->pageHTML->url(), QUrl(QStringLiteral("about:blank")));
        // L'arbre XML montre encore le dernier document.
        QCOMPARE(f()->xmlTreeView->model()->rowCount(), noeudsArbre);
        // Sans onglet, fermer ne fait rien.
        f()->fermerOnglet->trigger();
        QCOMPARE(f()->ongletsPages->count(), 0);
    }

    void naviguerDansLaPage()
    {
        const QString lien = ouvrirFluxAvecUnLien(QStringLiteral("nav"));
        const QUrl urlPage = TPageHTML::adressePage();

        // Le lien d'une information se suit dans la vue même.
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        QTest::mouseClick(f()->pageHTML->focusProxy(), Qt::LeftButton, {}, coinDuLien());
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QTRY_COMPARE(f()->pageHTML->url(), QUrl(lien));
        QCOMPARE(f()->pageHTML->title(), QStringLiteral("Article"));

        fini.clear();
        f()->pageHTMLPrecedent->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(f()->pageHTML->url(), urlPage);
        fini.clear();
        f()->pageHTMLSuivante->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(f()->pageHTML->url(), QUrl(lien));
        f()->pageHTMLSuivante->trigger(); // rien plus loin : ignoré
        fini.clear();
        f()->pageHTMLPrecedent->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));

        // Actualiser montre le fichier de page tel qu'il est sur le disque, sans rien télécharger.
        const int requetes = serveur->nombreRequetes();
        QFile fichier(Emplacement::cheminPage());
        QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fichier.write("<table><tr><td><b>Page relue : \xc9t\xe9 \xe0 Paris</b></td></tr></table>\r\n");
        fichier.close();
        fini.clear();
        f()->pageHTMLActualiser->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(page(), QStringLiteral("Page relue : Été à Paris"));
        QCOMPARE(serveur->nombreRequetes(), requetes);
    }

    void pageToujoursEnWindows1252()
    {
        // Des pages dont les seuls caractères hors ASCII sont € et œ (0x80 et 0x9C) : la vue les
        // lit en Windows-1252, quelle que soit sa détection de codage.
        sourceServie(QStringLiteral("/euro.xml"), QStringLiteral("Base œ"), QStringLiteral("Flux œ"),
                     {QStringLiteral("Gardée € œ")});
        QVERIFY(connecter(0));
        QVERIFY2(texteMontre().contains(QStringLiteral("Flux œ")), qPrintable(texteMontre()));
        QVERIFY(OutilsTests::lireFichier(Emplacement::cheminPage()).contains("Flux \x9c"));

        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("euro.xml"), QStringLiteral("Fichier œ"),
                                         {QStringLiteral("Article € œ")})));
        QVERIFY2(texteMontre().contains(QStringLiteral("Fichier œ")), qPrintable(texteMontre()));
        QVERIFY(texteMontre().contains(QStringLiteral("Article € œ")));
        QCOMPARE(executerJS(b->page(), QStringLiteral("document.characterSet")).toString(),
                 QStringLiteral("windows-1252"));
        QVERIFY(!OutilsTests::lireFichier(Emplacement::cheminPage()).contains("charset"));

        // De retour sur la source : la page vivante et la page des informations gardées.
        QVERIFY(changerDOnglet(0));
        QVERIFY(texteMontre().contains(QStringLiteral("Flux œ")));
        QVERIFY(texteMontre().contains(QStringLiteral("Gardée € œ")));
    }

    void chaquePageDepuisLeHaut()
    {
        QStringList infos;
        for (int i = 0; i < 120; ++i)
            infos << QStringLiteral("Information %1").arg(i);
        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("long-a.xml"), QStringLiteral("A"), infos)));
        QVERIFY(defilerEnBas() > 500);
        // Une autre page s'ouvre en haut, même à la même adresse.
        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("long-b.xml"), QStringLiteral("B"), infos)));
        QTest::qWait(300);
        QCOMPARE(defilement(), 0);
        QVERIFY(defilerEnBas() > 500);
        // Revenir sur un onglet le montre en haut aussi.
        QVERIFY(changerDOnglet(0));
        QTest::qWait(300);
        QCOMPARE(defilement(), 0);
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("A"));
    }

    void menuContextuelEnFrancais()
    {
        const QString lien = ouvrirFluxAvecUnLien(QStringLiteral("menu"));
        const QStringList tout = {QStringLiteral("Précédente"), QStringLiteral("Suivante"), QStringLiteral("Actualiser"),
                                  QStringLiteral("Copier"), QStringLiteral("Copier l'adresse du lien"),
                                  QStringLiteral("Ouvrir le lien"), QStringLiteral("Ouvrir dans le navigateur")};

        // Sur un lien : tout est en français, et rien d'autre n'est offert.
        QMenu *menu = menuContextuel(coinDuLien());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("menuPageHTML"));
        QCOMPARE(legendesDuMenu(menu), tout);
        QCOMPARE(legendesDuMenu(menu, true), QStringList({QStringLiteral("Actualiser"),
                                                          QStringLiteral("Copier l'adresse du lien"),
                                                          QStringLiteral("Ouvrir le lien"),
                                                          QStringLiteral("Ouvrir dans le navigateur")}));
        choisir(menu, QStringLiteral("Copier l'adresse du lien"));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), lien);

        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        menu = menuContextuel(coinDuLien());
        QVERIFY(menu);
        choisir(menu, QStringLiteral("Ouvrir le lien"));
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QTRY_COMPARE(f()->pageHTML->url(), QUrl(lien));

        // Hors d'un lien, sur la page suivie : on peut revenir en arrière.
        menu = menuContextuel(QPoint(200, 150));
        QVERIFY(menu);
        QCOMPARE(legendesDuMenu(menu), tout);
        QCOMPARE(legendesDuMenu(menu, true), QStringList({QStringLiteral("Précédente"), QStringLiteral("Actualiser")}));
        fini.clear();
        choisir(menu, QStringLiteral("Précédente"));
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        QCOMPARE(f()->pageHTML->url(), TPageHTML::adressePage());
    }

    void erreurDEcritureALaBoiteDErreur()
    {
        // Le fichier de page ne peut pas s'écrire (un dossier porte son nom) : l'erreur remonte
        // jusqu'à la boîte d'erreur de l'application ; la barre est rangée, aucun onglet n'est ajouté.
        QVERIFY(QDir().mkpath(Emplacement::cheminPage()));
        b->dialogues.fichiersPrevus({ecrireFlux(QStringLiteral("e.xml"), QStringLiteral("E"), {})});
        QMetaObject::invokeMethod(f()->ouvrirRSS, "trigger", Qt::QueuedConnection);
        QTRY_COMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
        QCOMPARE(b->dialogues.boites.at(0).titre, TApplication::titre());
        QVERIFY(b->dialogues.boites.at(0).texte.contains(QStringLiteral("rss-temps.html")));
        QCOMPARE(f()->ongletsPages->count(), 0);
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(f()->pbarGenerale->value(), 0);
    }

    void uneBasculeMontreCeQuUneRelectureDonne()
    {
        // Une bascule vers un fichier inchangé reprend sa dernière lecture ; elle montre
        // exactement ce qu'une lecture neuve donnerait, même quand le fichier a été réécrit entre
        // deux bascules à la même taille et à la même date de modification, ou remplacé.
        const QString a = ecrireFlux(QStringLiteral("a.xml"), QStringLiteral("Titre a"),
                                     {QStringLiteral("un"), QStringLiteral("deux")});
        const QString autre = ecrireFlux(QStringLiteral("b.xml"), QStringLiteral("Titre b"), {QStringLiteral("trois")});
        QVERIFY(ouvrirFichier(a));
        QVERIFY(ouvrirFichier(autre));
        for (int tour = 0; tour < 4; ++tour) {
            if (tour >= 2) {
                const QDateTime date = QFileInfo(a).lastModified();
                const qint64 taille = QFileInfo(a).size();
                const QByteArray xml = fluxRSS(QStringLiteral("Titre %1").arg(QChar(u'c' + tour)),
                                               {QStringLiteral("un"), QStringLiteral("onze")});
                if (tour == 2) {
                    QFile fichier(a);
                    QVERIFY(fichier.open(QIODevice::ReadWrite | QIODevice::Truncate));
                    fichier.write(xml);
                    fichier.flush();
                    fichier.setFileTime(date, QFileDevice::FileModificationTime);
                } else {
                    QFile remplacant(b->dossier.ecrire(QStringLiteral("rss/remplacant.xml"), xml));
                    QVERIFY(remplacant.open(QIODevice::ReadWrite));
                    remplacant.setFileTime(date, QFileDevice::FileModificationTime);
                    remplacant.close();
                    QVERIFY(::rename(QFile::encodeName(remplacant.fileName()).constData(),
                                     QFile::encodeName(a).constData()) == 0);
                }
                QCOMPARE(QFileInfo(a).lastModified(), date);
                QCOMPARE(QFileInfo(a).size(), taille);
            }
            const Montre attenduA = relu(a);
            QVERIFY(changerDOnglet(0));
            comparer(montre(), attenduA);
            if (QTest::currentTestFailed())
                return;
            const Montre attenduB = relu(autre);
            QVERIFY(changerDOnglet(1));
            comparer(montre(), attenduB);
        }
    }

    void lesFluxLusSontLiberes()
    {
        // Les informations listées ne vivent que par leurs lignes : changer d'onglet mille fois
        // ne garde rien des flux lus avant.
        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("m1.xml"), QStringLiteral("M1"),
                                         {QStringLiteral("a"), QStringLiteral("b")})));
        QVERIFY(ouvrirFichier(ecrireFlux(QStringLiteral("m2.xml"), QStringLiteral("M2"), {QStringLiteral("c")})));
        QList<std::weak_ptr<TInfo>> vues;
        for (int i = 0; i < 40; ++i) {
            f()->ongletsPages->setCurrentIndex(i % 2);
            for (int l = 0; l < f()->listeInfosFlux->count(); ++l)
                vues.append(DonneesLignes::infoDeLigne(f()->listeInfosFlux->item(l)));
        }
        int vivantes = 0;
        for (const auto &v : std::as_const(vues))
            vivantes += v.expired() ? 0 : 1;
        // Seules les informations de l'onglet courant restent.
        QCOMPARE(vivantes, f()->listeInfosFlux->count());
        QTRY_VERIFY(!b->page()->isLoading());
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestOnglets)
#include "tst_onglets.moc"
