// La recherche de bout en bout : la vraie fenêtre, la vraie vue web, les dialogues scriptés et un
// vrai serveur HTTP sur 127.0.0.1. Ce que trouve la recherche selon les cases cochées (casse et
// accents comptent), la barre de progression, l'ouverture d'un flux trouvé par son bouton peint,
// son action et un double clic, et l'échec de son téléchargement.

#include "BancFenetre.h"

#include "commun/Emplacement.h"
#include "paint/TBoitePeinte.h"
#include "ui/DonneesLignes.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>

using namespace BancFenetre;

class TestRecherche : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    std::unique_ptr<ServeurHTTPTest> serveur;
    // Les positions prises par la barre, et si elle était montrée à chacune.
    QList<QPair<int, bool>> m_barre;

    TmainForm *f() const { return b->f.get(); }
    QList<PFlux> &fluxBase() const { return b->module->getFluxBase(); }

    static PInfo info(const QString &titre, const QString &lien, const QString &description)
    {
        auto i = std::make_shared<TInfo>();
        i->setDonnees(titre, lien, description, QStringLiteral("Mon, 07 Dec 2026 08:00:00 +0100"));
        return i;
    }

    PFlux ajouterFlux(const QString &titre, const QList<PInfo> &infos)
    {
        PFlux flux = fluxDeBase(titre, serveur->url(QStringLiteral("/") + QString::number(fluxBase().size())));
        flux->infos = infos;
        fluxBase().append(flux);
        return flux;
    }

    // Cinq flux ; « Été sans rien » n'a aucune information sauvegardée.
    void remplirBase()
    {
        ajouterFlux(QStringLiteral("Presse"), {info(QStringLiteral("Été à Paris"), QStringLiteral("http://127.0.0.1/ete/Paris"),
                                                    QStringLiteral("Une FÊTE au village"))});
        ajouterFlux(QStringLiteral("Sciences"),
                    {info(QStringLiteral("Le temps"), QStringLiteral("http://127.0.0.1/Climat/1"), QStringLiteral("Le climat change")),
                     info(QStringLiteral("Encore"), QStringLiteral("http://127.0.0.1/climat/2"), QStringLiteral("Toujours le climat"))});
        ajouterFlux(QStringLiteral("Été sans rien"), {});
        ajouterFlux(QStringLiteral("Divers"), {info(QStringLiteral("l'été indien"), QStringLiteral("http://127.0.0.1/divers"),
                                                    QStringLiteral("fete foraine"))});
        ajouterFlux(QStringLiteral("Capitales"),
                    {info(QStringLiteral("ÉTÉ"), QStringLiteral("http://127.0.0.1/CAPS"), QStringLiteral("FETE"))});
    }

    void cocher(bool titre, bool lien, bool description)
    {
        f()->cbRechercheTitre->setChecked(titre);
        f()->cbRechercheLien->setChecked(lien);
        f()->cbRechercheDescription->setChecked(description);
    }

    // Tape le texte dans edRecherche et clique sur le bouton peint « Rechercher ».
    void chercher(const QString &texte)
    {
        f()->affichageRecherche->trigger();
        f()->edRecherche->clear();
        // Touche par touche, accents compris (QTest::keyClicks ne tape que l'ASCII).
        for (const QChar c : texte) {
            QKeyEvent appui(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent relache(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(f()->edRecherche, &appui);
            QApplication::sendEvent(f()->edRecherche, &relache);
        }
        m_barre.clear();
        QTest::mouseClick(f()->pbBoutonRechercher, Qt::LeftButton, {}, f()->pbBoutonRechercher->rect().center());
    }

    QList<int> positions() const
    {
        QList<int> p;
        for (const QPair<int, bool> &releve : m_barre)
            p << releve.first;
        return p;
    }

    // Sert le document du premier flux de la base et cherche « Paris » dans les titres : la ligne
    // du flux « Presse ».
    void trouverPresse()
    {
        remplirBase();
        serveur->definir("/0", ReponseHTTP::ok(fluxRSS(QStringLiteral("Le document de la presse"),
                                                       {QStringLiteral("Vive une"), QStringLiteral("Vive deux")})));
        cocher(true, false, false);
        chercher(QStringLiteral("Paris"));
        QCOMPARE(textesDe(f()->listeRecherche), QStringList{QStringLiteral("Presse")});
    }

    // Vérifie l'onglet que vient d'ouvrir un résultat.
    void verifierOngletPresse(int onglets)
    {
        QCOMPARE(f()->ongletsPages->count(), onglets);
        QCOMPARE(f()->ongletsPages->currentIndex(), onglets - 1);
        QCOMPARE(f()->ongletsPages->tabText(onglets - 1), QStringLiteral("Presse"));
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("Presse"));
        const TObjetString *fiche = f()->ficheCourante();
        QCOMPARE(fiche->getFlux(), fluxBase().at(0));
        QCOMPARE(fiche->getTexte().value_or(QString()), Emplacement::cheminPage());
        QCOMPARE(fiche->getChemin(), Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(serveur->url(QStringLiteral("/0"))));
        QCOMPARE(textesDe(f()->listeInfosFlux), QStringList({QStringLiteral("Vive une"), QStringLiteral("Vive deux")}));
        QCOMPARE(textesDe(f()->listeInfosFluxCharge), QStringList{QStringLiteral("Été à Paris")});
        QVERIFY(!f()->listeInfosFluxCharge->isHidden());
        QVERIFY(!f()->panelCommandesInfosFlux->isHidden());
        const QString texte = texteDeLaPage(b->page());
        QVERIFY2(texte.contains(QStringLiteral("Le document de la presse")), qPrintable(texte));
        const int banniere = texte.indexOf(QStringLiteral("Informations sauvegardées"));
        QVERIFY(banniere > 0);
        QVERIFY(texte.indexOf(QStringLiteral("Été à Paris")) > banniere);
        QCOMPARE(positions(), QList<int>({15, 25, 32, 43, 55, 63, 80, 100, 0}));
        QVERIFY(f()->pbarGenerale->isHidden());
    }

private slots:
    void init()
    {
        b = std::make_unique<Fenetre>();
        serveur = std::make_unique<ServeurHTTPTest>();
        m_barre.clear();
        connect(f()->pbarGenerale, &QProgressBar::valueChanged, this,
                [this](int v) { m_barre.append({v, !f()->pbarGenerale->isHidden()}); });
    }

    void cleanup()
    {
        QVERIFY2(b->dialoguesEpuises(), "question sans réponse prévue, ou réponse restée");
        serveur.reset();
        b.reset();
    }

    void champsCasseEtAccents_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("titre");
        QTest::addColumn<bool>("lien");
        QTest::addColumn<bool>("description");
        QTest::addColumn<QStringList>("trouves");

        const QStringList presse{QStringLiteral("Presse")}, sciences{QStringLiteral("Sciences")},
            divers{QStringLiteral("Divers")}, capitales{QStringLiteral("Capitales")};
        QTest::newRow("titre, accent capital") << QStringLiteral("Été") << true << false << false << presse;
        QTest::newRow("titre, minuscules accentuées") << QStringLiteral("été") << true << false << false << divers;
        QTest::newRow("titre, capitales") << QStringLiteral("ÉTÉ") << true << false << false << capitales;
        QTest::newRow("titre, sans accent") << QStringLiteral("ete") << true << false << false << QStringList();
        QTest::newRow("titre, blanc compris") << QStringLiteral("à Paris") << true << false << false << presse;
        QTest::newRow("titre, blanc en trop") << QStringLiteral("Paris ") << true << false << false << QStringList();
        QTest::newRow("titre du flux jamais cherché") << QStringLiteral("sans rien") << true << true << true
                                                      << QStringList();
        QTest::newRow("lien, capitale") << QStringLiteral("Climat") << false << true << false << sciences;
        QTest::newRow("lien, capitales") << QStringLiteral("CAPS") << false << true << false << capitales;
        QTest::newRow("lien seul, pas le titre") << QStringLiteral("ete") << false << true << false << presse;
        QTest::newRow("description, accent") << QStringLiteral("FÊTE") << false << false << true << presse;
        QTest::newRow("description, sans accent") << QStringLiteral("FETE") << false << false << true << capitales;
        QTest::newRow("description, minuscules") << QStringLiteral("fete") << false << false << true << divers;
        QTest::newRow("deux informations d'un flux") << QStringLiteral("climat") << false << true << true << sciences;
        QTest::newRow("trois champs") << QStringLiteral("ete") << true << true << true
                                      << QStringList({QStringLiteral("Presse"), QStringLiteral("Divers")});
        QTest::newRow("aucune case") << QStringLiteral("Été") << false << false << false << QStringList();
    }

    void champsCasseEtAccents()
    {
        QFETCH(QString, texte);
        QFETCH(bool, titre);
        QFETCH(bool, lien);
        QFETCH(bool, description);
        QFETCH(QStringList, trouves);
        remplirBase();
        cocher(titre, lien, description);
        chercher(texte);
        QCOMPARE(f()->edRecherche->text(), texte);
        QCOMPARE(textesDe(f()->listeRecherche), trouves);
        // Chaque ligne porte le flux même de la base.
        for (int i = 0; i < f()->listeRecherche->count(); ++i) {
            const PFlux flux = DonneesLignes::fluxDeLigne(f()->listeRecherche->item(i));
            QVERIFY(fluxBase().contains(flux));
            QCOMPARE(flux->getTitre(), trouves.at(i));
        }
        // Cinq flux : la barre paraît à 5, avance de 90 / 5 par flux, finit à 100 et se cache.
        QCOMPARE(positions(), QList<int>({5, 23, 41, 59, 77, 95, 100}));
        for (qsizetype i = 1; i < m_barre.size(); ++i)
            QVERIFY(m_barre.at(i).second);
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(f()->pbarGenerale->value(), 100);
    }

    void pasDeLaBarre_data()
    {
        QTest::addColumn<int>("nombreFlux");
        QTest::addColumn<QList<int>>("attendues");
        QTest::newRow("base vide") << 0 << QList<int>({5, 100});
        QTest::newRow("un flux") << 1 << QList<int>({5, 95, 100});
        QTest::newRow("quatre flux : 22 par flux") << 4 << QList<int>({5, 27, 49, 71, 93, 100});
        QTest::newRow("cent flux : le pas tombe à 0") << 100 << QList<int>({5, 100});
    }

    void pasDeLaBarre()
    {
        QFETCH(int, nombreFlux);
        QFETCH(QList<int>, attendues);
        for (int i = 0; i < nombreFlux; ++i)
            ajouterFlux(QStringLiteral("F") + QString::number(i),
                        {info(QStringLiteral("t"), QStringLiteral("l"), QStringLiteral("d"))});
        cocher(true, true, true);
        chercher(QStringLiteral("rien"));
        QCOMPARE(positions(), attendues);
        QVERIFY(m_barre.last().second); // montrée jusqu'à 100
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(f()->listeRecherche->count(), 0);
    }

    void texteVideEtActionRechercher()
    {
        remplirBase();
        cocher(true, false, false);
        // Par l'action.
        f()->edRecherche->setText(QStringLiteral("Été"));
        f()->rechercher->trigger();
        QCOMPARE(textesDe(f()->listeRecherche), QStringList{QStringLiteral("Presse")});
        // Un texte vide vide la liste, sans barre ni message.
        m_barre.clear();
        chercher(QString());
        QCOMPARE(f()->listeRecherche->count(), 0);
        QVERIFY(m_barre.isEmpty());
        QVERIFY(f()->pbarGenerale->isHidden());
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void ouvrirUnResultat()
    {
        trouverPresse();
        // Sans ligne courante, ni l'action ni un double clic dans le vide n'ouvrent rien.
        f()->listeRecherche->setCurrentItem(nullptr);
        f()->rechercheChargerFlux->trigger();
        QTest::mouseDClick(f()->listeRecherche->viewport(), Qt::LeftButton, {},
                           QPoint(10, f()->listeRecherche->viewport()->height() - 5));
        QCOMPARE(f()->ongletsPages->count(), 0);
        QCOMPARE(serveur->nombreRequetes(), 0);

        // D'un double clic.
        QListWidgetItem *ligne = f()->listeRecherche->item(0);
        const QPoint centre = f()->listeRecherche->visualItemRect(ligne).center();
        QSignalSpy fini(f()->pageHTML, &QWebEngineView::loadFinished);
        m_barre.clear();
        QTest::mouseClick(f()->listeRecherche->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(f()->listeRecherche->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        verifierOngletPresse(1);
        QCOMPARE(serveur->nombreRequetes(), 1);

        // Par le bouton peint : un onglet de plus ; puis par l'action.
        fini.clear();
        m_barre.clear();
        QTest::mouseClick(f()->pbBoutonRechercherOuvrir, Qt::LeftButton, {},
                          f()->pbBoutonRechercherOuvrir->rect().center());
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        verifierOngletPresse(2);
        fini.clear();
        m_barre.clear();
        f()->rechercheChargerFlux->trigger();
        QVERIFY(attendreChargement(f()->pageHTML, fini));
        verifierOngletPresse(3);
        QCOMPARE(serveur->nombreRequetes(), 3);
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void echecDuTelechargementDUnResultat()
    {
        remplirBase(); // rien n'est servi : 404
        cocher(false, false, true);
        chercher(QStringLiteral("climat"));
        f()->listeRecherche->setCurrentRow(0);
        m_barre.clear();
        QTest::mouseClick(f()->pbBoutonRechercherOuvrir, Qt::LeftButton, {},
                          f()->pbBoutonRechercherOuvrir->rect().center());
        // Le message du téléchargement, puis celui du chargement de la copie ; aucun onglet.
        QCOMPARE(b->dialogues.boites.size(), 2);
        QCOMPARE(b->dialogues.boites.at(0).titre, QStringLiteral("Error"));
        QCOMPARE(b->dialogues.boites.at(1).type, TypeBoite::Erreur);
        QCOMPARE(f()->ongletsPages->count(), 0);
        QCOMPARE(positions(), QList<int>({15, 25, 0}));
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(f()->pbTitreFlux->indice(), QStringLiteral("-"));
        QVERIFY(f()->pageHTML->url().isEmpty());
        // La liste des résultats reste telle quelle.
        QCOMPARE(textesDe(f()->listeRecherche), QStringList{QStringLiteral("Sciences")});
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestRecherche)
#include "tst_recherche.moc"
