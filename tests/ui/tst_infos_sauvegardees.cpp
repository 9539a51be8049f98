// Les informations sauvegardées de bout en bout : la vraie fenêtre, la vraie vue web, les
// dialogues scriptés et un vrai serveur HTTP sur 127.0.0.1. Ranger une information du flux montré
// dans son flux de la base, la ranger deux fois, retirer des informations choisies avec les cinq
// réponses ; chaque commande par le menu « &Informations » et par son bouton peint.

#include "BancFenetre.h"

#include "commun/Emplacement.h"
#include "paint/TBoitePeinte.h"
#include "ui/DonneesLignes.h"
#include "ui/TSeparateur.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTreeWidget>
#include <functional>

using namespace BancFenetre;

Q_DECLARE_METATYPE(Reponse)

class TestInfosSauvegardees : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    std::unique_ptr<ServeurHTTPTest> serveur;

    TmainForm *f() const { return b->f.get(); }

    // Un flux de la base servi par le serveur (trois informations vivantes : Un, Deux, Trois),
    // rangé dans une rubrique et ouvert depuis les favoris.
    PFlux favoriOuvert(const QStringList &sauvegardees)
    {
        serveur->definir("/flux.xml", ReponseHTTP::ok(fluxRSS(QStringLiteral("Document"),
                                                              {QStringLiteral("Un"), QStringLiteral("Deux"),
                                                               QStringLiteral("Trois")},
                                                              QStringLiteral("http://127.0.0.1/vif"))));
        PFlux flux = fluxDeBase(QStringLiteral("Favori"), serveur->url(QStringLiteral("/flux.xml")), sauvegardees);
        flux->rubriquesAssociees.append("Presse");
        b->module->getFluxBase().append(flux);
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Presse")));
        f()->actualiserFavoris();
        f()->arbreFavoris->setCurrentItem(f()->arbreFavoris->topLevelItem(0)->child(0));
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        f()->chargerFlux->trigger();
        if (!attendreChargement(f()->pageHTML, fini) || f()->ongletsPages->count() != 1)
            qWarning("le favori ne s'est pas ouvert");
        return flux;
    }

    // Lance une commande et attend que la page remontrée soit chargée.
    bool executerEtAttendre(const std::function<void()> &commande)
    {
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        commande();
        return attendreChargement(f()->pageHTML, fini);
    }

    void cliquer(TBoitePeinte *bouton) { QTest::mouseClick(bouton, Qt::LeftButton, {}, bouton->rect().center()); }

    // L'entrée du menu « &Informations » qui porte cette action.
    QAction *entreeDuMenu(const QAction *action) const
    {
        const auto menu = f()->MainFormMenu->findChild<QMenu *>(QStringLiteral("menuInformations"));
        if (!menu)
            return nullptr;
        for (QAction *entree : menu->actions())
            if (entree == action)
                return entree;
        return nullptr;
    }

    void choisirVivante(int ligne) { f()->listeInfosFlux->setCurrentRow(ligne); }

    // Choisit ces lignes de listeInfosFluxCharge (la dernière donnée devient la ligne courante).
    void choisirSauvegardees(const QList<int> &lignes)
    {
        QListWidget *liste = f()->listeInfosFluxCharge;
        liste->clearSelection();
        for (int l : lignes)
            liste->setCurrentItem(liste->item(l), QItemSelectionModel::Select);
    }

    static QStringList titres(const TFlux &flux)
    {
        QStringList t;
        for (const PInfo &info : flux.infos)
            t << info->getTitre();
        return t;
    }

    // Les titres montrés sous la bannière des informations sauvegardées de la page.
    QString sousLaBanniere() const
    {
        const QString texte = texteDeLaPage(b->page());
        const int banniere = texte.indexOf(QStringLiteral("Informations sauvegardées"));
        return banniere < 0 ? QString() : texte.mid(banniere);
    }

    bool controlesMontres() const
    {
        return !f()->listeInfosFluxCharge->isHidden() && !f()->splitPanelFlux->isHidden()
            && !f()->panelCommandesInfosFlux->isHidden();
    }

private slots:
    void init()
    {
        b = std::make_unique<Fenetre>();
        serveur = std::make_unique<ServeurHTTPTest>();
    }

    void cleanup()
    {
        QVERIFY2(b->dialoguesEpuises(), "question sans réponse prévue, ou réponse restée");
        serveur.reset();
        b.reset();
    }

    void lesCommandesSontAuMenu()
    {
        QVERIFY(entreeDuMenu(f()->enregistrerInfoDansFlux));
        QVERIFY(entreeDuMenu(f()->supprimerInfoDeFlux));
    }

    void rangerDansUnFluxSansInformation()
    {
        const PFlux flux = favoriOuvert({});
        QVERIFY(controlesMontres());
        QCOMPARE(f()->listeInfosFluxCharge->count(), 0);
        QVERIFY(!sousLaBanniere().contains(QStringLiteral("Deux")));

        // Sans ligne choisie, rien.
        f()->listeInfosFlux->clearSelection();
        cliquer(f()->pbEnregistrerInfo);
        QVERIFY(flux->infos.isEmpty());

        // « Deux », par le bouton peint : l'information même de la ligne est rangée.
        choisirVivante(1);
        const PInfo choisie = DonneesLignes::infoDeLigne(f()->listeInfosFlux->item(1));
        QVERIFY(executerEtAttendre([&] { cliquer(f()->pbEnregistrerInfo); }));
        QCOMPARE(flux->infos.size(), 1);
        QCOMPARE(flux->infos.first(), choisie);
        QCOMPARE(choisie->getLien(), QStringLiteral("http://127.0.0.1/vif/1"));
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList{QStringLiteral("Deux")});
        QCOMPARE(DonneesLignes::infoDeLigne(f()->listeInfosFluxCharge->item(0)), choisie);
        // Sous la bannière de la page, et la page vivante au-dessus.
        QVERIFY2(sousLaBanniere().contains(QStringLiteral("Deux")), qPrintable(sousLaBanniere()));
        QVERIFY(!sousLaBanniere().contains(QStringLiteral("Trois")));
        QCOMPARE(textesDe(f()->listeInfosFlux),
                 QStringList({QStringLiteral("Un"), QStringLiteral("Deux"), QStringLiteral("Trois")}));
        QVERIFY(b->dialogues.boites.isEmpty());
        // Ranger ne télécharge rien : l'onglet est relu de sa copie locale.
        QCOMPARE(serveur->nombreRequetes(), 1);

        // « Trois », par le menu : à la suite.
        choisirVivante(2);
        QVERIFY(executerEtAttendre([&] { entreeDuMenu(f()->enregistrerInfoDansFlux)->trigger(); }));
        QCOMPARE(titres(*flux), QStringList({QStringLiteral("Deux"), QStringLiteral("Trois")}));
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList({QStringLiteral("Deux"), QStringLiteral("Trois")}));
        QVERIFY(sousLaBanniere().contains(QStringLiteral("Trois")));
    }

    void rangerDeuxFoisLaMemeInformation_data()
    {
        QTest::addColumn<Reponse>("reponse");
        QTest::addColumn<bool>("parLeMenu");
        QTest::newRow("Oui, bouton") << Reponse::Oui << false;
        QTest::newRow("Non, menu") << Reponse::Non << true;
        QTest::newRow("boîte fermée, bouton") << Reponse::Fermee << false;
    }

    void rangerDeuxFoisLaMemeInformation()
    {
        QFETCH(Reponse, reponse);
        QFETCH(bool, parLeMenu);
        const PFlux flux = favoriOuvert({QStringLiteral("Gardée")});
        const auto ranger = [&] {
            if (parLeMenu)
                entreeDuMenu(f()->enregistrerInfoDansFlux)->trigger();
            else
                cliquer(f()->pbEnregistrerInfo);
        };
        choisirVivante(0);
        QVERIFY(executerEtAttendre(ranger));
        QCOMPARE(titres(*flux), QStringList({QStringLiteral("Gardée"), QStringLiteral("Un")}));
        const PInfo premiere = flux->infos.last();

        // La ligne relue porte un autre objet, égal : la question, et une seule copie rangée.
        choisirVivante(0);
        QVERIFY(DonneesLignes::infoDeLigne(f()->listeInfosFlux->item(0)) != premiere);
        b->dialogues.repondre({reponse});
        QVERIFY(executerEtAttendre(ranger));
        QCOMPARE(b->dialogues.boites.size(), 1);
        const BoiteNotee &question = b->dialogues.boites.at(0);
        QCOMPARE(question.type, TypeBoite::Avertissement);
        QCOMPARE(question.boutons, BoutonsBoite::OuiNon);
        QCOMPARE(question.texte, QStringLiteral("L'information 'Un' existe déjà.\n Voulez-vous l'écraser ?\n"));
        QCOMPARE(titres(*flux), QStringList({QStringLiteral("Gardée"), QStringLiteral("Un")}));
        QCOMPARE(flux->infos.last(), premiere);
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList({QStringLiteral("Gardée"), QStringLiteral("Un")}));
        QCOMPARE(sousLaBanniere().count(QStringLiteral("Un")), 1);
    }

    void retirerOuiPuisAnnuler()
    {
        const PFlux flux = favoriOuvert({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie"),
                                         QStringLiteral("Delta")});
        flux->infos[3]->setDonnees(QStringLiteral("Delta"), QStringLiteral("http://127.0.0.1/d"), QStringLiteral("dd"),
                                   QStringLiteral("Mon, 07 Dec 2026 08:00:00 +0100"));
        const PInfo a = flux->infos[0], c = flux->infos[2];
        choisirSauvegardees({0, 2, 3});
        b->dialogues.repondre({Reponse::Oui, Reponse::Annuler});
        QVERIFY(executerEtAttendre([&] { cliquer(f()->pbSupprimerInfo); }));

        // De la dernière ligne choisie à la première : Delta retirée, puis Annuler devant Charlie.
        QCOMPARE(b->dialogues.boites.size(), 2);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Avertissement);
        QCOMPARE(b->dialogues.boites.at(0).boutons, BoutonsBoite::OuiNonAnnulerNonATousOuiATous);
        QCOMPARE(b->dialogues.boites.at(0).texte,
                 QStringLiteral("Etes-vous sûr de vouloir supprimer l'information 'Delta' \nLien : http://127.0.0.1/d\n"
                                "du Mon, 07 Dec 2026 08:00:00 +0100 ?"));
        QCOMPARE(b->dialogues.boites.at(1).texte,
                 QStringLiteral("Etes-vous sûr de vouloir supprimer l'information 'Charlie' \nLien : http://127.0.0.1/Charlie\n"
                                "du  ?"));
        QVERIFY(b->dialogues.bips.isEmpty());
        QCOMPARE(titres(*flux), QStringList({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")}));
        QCOMPARE(flux->infos[0], a);
        QCOMPARE(flux->infos[2], c);
        QCOMPARE(textesDe(f()->listeInfosFluxCharge),
                 QStringList({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")}));
        QVERIFY(sousLaBanniere().contains(QStringLiteral("Charlie")));
        QVERIFY(!sousLaBanniere().contains(QStringLiteral("Delta")));
        QCOMPARE(textesDe(f()->listeInfosFlux).size(), 3);
    }

    void retirerOuiATous()
    {
        const PFlux flux = favoriOuvert({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie"),
                                         QStringLiteral("Delta")});
        choisirSauvegardees({1, 0, 3});
        b->dialogues.repondre({Reponse::OuiATous});
        QVERIFY(executerEtAttendre([&] { entreeDuMenu(f()->supprimerInfoDeFlux)->trigger(); }));
        // Une seule question (devant Delta), puis un bip pour chacune des deux autres.
        QCOMPARE(b->dialogues.boites.size(), 1);
        QVERIFY(b->dialogues.boites.at(0).texte.contains(QStringLiteral("'Delta'")));
        QCOMPARE(b->dialogues.bips, (QList<QPair<int, int>>{{250, 5}, {250, 5}}));
        QCOMPARE(titres(*flux), QStringList{QStringLiteral("Charlie")});
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList{QStringLiteral("Charlie")});
        QVERIFY(sousLaBanniere().contains(QStringLiteral("Charlie")));
        for (const char *retiree : {"Alpha", "Bravo", "Delta"})
            QVERIFY(!sousLaBanniere().contains(QLatin1String(retiree)));
    }

    void retirerNonPuisArreter_data()
    {
        QTest::addColumn<Reponse>("arret");
        QTest::newRow("Non à tout") << Reponse::NonATous;
        QTest::newRow("boîte fermée") << Reponse::Fermee;
    }

    void retirerNonPuisArreter()
    {
        QFETCH(Reponse, arret);
        const PFlux flux = favoriOuvert({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")});
        choisirSauvegardees({0, 1, 2});
        // Non laisse Charlie et passe à Bravo ; l'arrêt devant Bravo laisse Alpha sans question.
        b->dialogues.repondre({Reponse::Non, arret});
        QVERIFY(executerEtAttendre([&] { cliquer(f()->pbSupprimerInfo); }));
        QCOMPARE(b->dialogues.boites.size(), 2);
        QVERIFY(b->dialogues.boites.at(1).texte.contains(QStringLiteral("'Bravo'")));
        QCOMPARE(titres(*flux), QStringList({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")}));
        QVERIFY(b->dialogues.bips.isEmpty());
    }

    void retirerSansLigneChoisie()
    {
        const PFlux flux = favoriOuvert({QStringLiteral("Alpha")});
        f()->listeInfosFluxCharge->clearSelection();
        cliquer(f()->pbSupprimerInfo);
        entreeDuMenu(f()->supprimerInfoDeFlux)->trigger();
        QVERIFY(b->dialogues.boites.isEmpty());
        QCOMPARE(flux->infos.size(), 1);
    }

    void ongletDeFichierEtSansOnglet()
    {
        // Sans onglet : rien, ni question ni changement.
        f()->supprimerInfoDeFlux->trigger();
        f()->enregistrerInfoDansFlux->trigger();
        QVERIFY(b->dialogues.boites.isEmpty());

        const QString chemin = b->dossier.ecrire(QStringLiteral("rss/local.xml"),
                                                 fluxRSS(QStringLiteral("Local"), {QStringLiteral("L1")}));
        b->dialogues.fichiersPrevus({chemin});
        QVERIFY(executerEtAttendre([&] { f()->ouvrirRSS->trigger(); }));
        QVERIFY(f()->listeInfosFluxCharge->isHidden());
        QVERIFY(f()->splitPanelFlux->isHidden());
        QVERIFY(f()->panelCommandesInfosFlux->isHidden());
        QVERIFY(!f()->pbEnregistrerInfo->isVisible());
        QVERIFY(!f()->pbSupprimerInfo->isVisible());

        // Le menu range encore moins : rien ne change, la page n'est pas réécrite.
        choisirVivante(0);
        QVERIFY(QFile::remove(Emplacement::cheminPage()));
        entreeDuMenu(f()->enregistrerInfoDansFlux)->trigger();
        entreeDuMenu(f()->supprimerInfoDeFlux)->trigger();
        QVERIFY(!QFile::exists(Emplacement::cheminPage()));
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void fichierDOngletDevenuIllisible()
    {
        // La copie locale de l'onglet a disparu : ranger le dit une fois, par la boîte du
        // chargement, et l'information reste rangée dans la base.
        const PFlux flux = favoriOuvert({});
        choisirVivante(0);
        QVERIFY(QFile::remove(f()->ficheCourante()->getChemin()));
        cliquer(f()->pbEnregistrerInfo);
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
        QCOMPARE(titres(*flux), QStringList{QStringLiteral("Un")});
        QCOMPARE(f()->ongletsPages->count(), 1);
    }

    void fluxRetireDeLaBase()
    {
        // Le favori ouvert, et listé par une recherche, quitte la base par « Supprimer RSS » : son
        // onglet devient un onglet de fichier, rien ne s'y range plus en silence.
        const PFlux flux = favoriOuvert({QStringLiteral("Gardée")});
        f()->cbRechercheTitre->setChecked(true);
        f()->edRecherche->setText(QStringLiteral("Gardée"));
        f()->rechercherExecute();
        QCOMPARE(f()->listeRecherche->count(), 1);
        QVERIFY(controlesMontres());

        f()->affichageFluxExecute();
        f()->actualiserListeSources();
        f()->listeRssSources->item(0)->setCheckState(Qt::Checked);
        b->dialogues.repondre({Reponse::Oui});
        QVERIFY(executerEtAttendre([&] { cliquer(f()->btSupprimerFlux); }));
        QVERIFY(b->module->getFluxBase().isEmpty());
        QVERIFY(!f()->ficheCourante()->getFlux());
        QVERIFY(!controlesMontres());
        QCOMPARE(f()->listeInfosFluxCharge->count(), 0);
        QVERIFY(sousLaBanniere().isEmpty());
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Favori"));
        QCOMPARE(f()->listeRecherche->count(), 0);

        // Ranger ne fait plus rien.
        choisirVivante(0);
        entreeDuMenu(f()->enregistrerInfoDansFlux)->trigger();
        QCOMPARE(titres(*flux), QStringList{QStringLiteral("Gardée")});

        // Un autre onglet, puis retour : la page du flux sans bannière, sous le même titre.
        b->dialogues.fichiersPrevus({b->dossier.ecrire(QStringLiteral("rss/autre.xml"), fluxRSS(QStringLiteral("Autre"), {}))});
        QVERIFY(executerEtAttendre([&] { f()->ouvrirRSS->trigger(); }));
        QVERIFY(executerEtAttendre([&] { f()->ongletsPages->setCurrentIndex(0); }));
        QVERIFY(texteDeLaPage(b->page()).contains(QStringLiteral("Document")));
        QVERIFY(sousLaBanniere().isEmpty());
        QVERIFY(!controlesMontres());
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Favori"));
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestInfosSauvegardees)
#include "tst_infos_sauvegardees.moc"
