// La liste des sources, l'arbre des favoris et leurs commandes, dans la vraie fenêtre avec les
// dialogues scriptés : ce qui est demandé, dans quel ordre, ce qui reste dans la base et ce que
// montrent les vues ensuite.

#include "BancFenetre.h"

#include "paint/TBoitePeinte.h"
#include "ui/DonneesLignes.h"

#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

using namespace BancFenetre;

Q_DECLARE_METATYPE(Reponse)

class TestSourcesFavoris : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;

    TmainForm *f() const { return b->f.get(); }
    QList<PFlux> &fluxBase() const { return b->module->getFluxBase(); }

    // Quatre sources, deux rubriques : « Actualités » tient s1 (deux fois) et s2, « Sciences » tient s2.
    void remplirBase()
    {
        for (int i = 0; i < 4; ++i) {
            const QString n = QString::number(i);
            fluxBase().append(fluxDeBase(QStringLiteral("Source ") + n, QStringLiteral("http://127.0.0.1/s") + n));
        }
        fluxBase()[1]->rubriquesAssociees = {versEtroit(QStringLiteral("Actualités")),
                                             versEtroit(QStringLiteral("Actualités"))};
        fluxBase()[2]->rubriquesAssociees = {"Sciences", versEtroit(QStringLiteral("Actualités"))};
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Actualités")));
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("Sciences")));
        f()->actualiserListeSources();
        f()->actualiserFavoris();
    }

    QStringList adressesDeLaBase() const
    {
        QStringList a;
        for (const PFlux &flux : std::as_const(fluxBase()))
            a << flux->getUrlRss();
        return a;
    }

    // L'arbre en texte : « Rubrique[favori,favori] » par rubrique.
    QStringList arbre() const
    {
        QStringList t;
        for (int i = 0; i < f()->arbreFavoris->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *r = f()->arbreFavoris->topLevelItem(i);
            QStringList enfants;
            for (int e = 0; e < r->childCount(); ++e)
                enfants << r->child(e)->text(0);
            t << r->text(0) + u'[' + enfants.join(u',') + u']';
        }
        return t;
    }

    QStringList combo() const
    {
        QStringList t;
        for (int i = 0; i < f()->cbListeFavoris->count(); ++i)
            t << f()->cbListeFavoris->itemText(i);
        return t;
    }

    void cocher(std::initializer_list<int> lignes)
    {
        for (int l : lignes)
            f()->listeRssSources->item(l)->setCheckState(Qt::Checked);
    }

    void cliquer(TBoitePeinte *bouton)
    {
        for (int i = 0; i < f()->pcSupplement->count(); ++i)
            if (f()->pcSupplement->widget(i)->isAncestorOf(bouton))
                f()->pcSupplement->setCurrentIndex(i);
        QTest::qWait(10);
        QTest::mouseClick(bouton, Qt::LeftButton, {}, bouton->rect().center());
    }

    QString questionSuppression(int i) const
    {
        return QStringLiteral("Etes-vous sûr de vouloir supprimer ce flux 'http://127.0.0.1/s%1' ?\nTitre : Source %1"
                              "\nDescription : Description de Source %1.")
            .arg(i);
    }

private slots:
    void init() { b = std::make_unique<Fenetre>(); }

    void cleanup()
    {
        QVERIFY2(b->dialoguesEpuises(), "questions et réponses prévues en désaccord");
        b.reset();
    }

    void vuesDeLaBase()
    {
        remplirBase();
        QCOMPARE(textesDe(f()->listeRssSources), adressesDeLaBase());
        for (int i = 0; i < f()->listeRssSources->count(); ++i)
            QCOMPARE(f()->listeRssSources->item(i)->checkState(), Qt::Unchecked);
        // Un flux rangé deux fois paraît deux fois ; l'ordre est celui de la base.
        QCOMPARE(arbre(), QStringList({QStringLiteral("Actualités[Source 1,Source 1,Source 2]"),
                                       QStringLiteral("Sciences[Source 2]")}));
        QCOMPARE(DonneesLignes::fluxDuNoeud(f()->arbreFavoris->topLevelItem(0)->child(2)), fluxBase().at(2));
        QVERIFY(!DonneesLignes::fluxDuNoeud(f()->arbreFavoris->topLevelItem(0)));
        QVERIFY(!f()->arbreFavoris->topLevelItem(0)->isExpanded());
        QCOMPARE(combo(), QStringList({QStringLiteral("Actualités"), QStringLiteral("Sciences")}));
        QCOMPARE(f()->cbListeFavoris->currentIndex(), -1);
        QVERIFY(!f()->arbreFavoris->currentItem());

        // Une rubrique qui diffère par la casse ne rassemble pas les mêmes flux.
        b->module->getRubriquesBase().append(std::make_shared<TRubrique>(QStringLiteral("actualités")));
        f()->actualiserFavoris();
        QCOMPARE(arbre().last(), QStringLiteral("actualités[]"));
    }

    void baseVideRienNeSePasse()
    {
        f()->actualiserListeSources();
        f()->actualiserFavoris();
        QCOMPARE(f()->listeRssSources->count(), 0);
        QCOMPARE(f()->arbreFavoris->topLevelItemCount(), 0);
        QCOMPARE(f()->cbListeFavoris->count(), 0);
        cliquer(f()->btSupprimerFlux);
        cliquer(f()->btAjouterFavoris);
        f()->supprimerRubrique->trigger();
        f()->supprimerFluxDeRubrique->trigger();
        QVERIFY(b->dialogues.boites.isEmpty());
    }

    void ajouterUneSource_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("RSS") << fluxRSS(QStringLiteral("Nouveau"), {QStringLiteral("i")});
        QTest::newRow("Atom") << fluxAtom(QStringLiteral("Nouveau"), {QStringLiteral("i")});
    }

    void ajouterUneSource()
    {
        QFETCH(QByteArray, document);
        ServeurHTTPTest serveur;
        serveur.definir("/nouveau.xml", ReponseHTTP::ok(document));
        remplirBase();
        const QString adresse = serveur.url(QStringLiteral("/nouveau.xml"));
        b->dialogues.saisiesPrevues({adresse});
        cliquer(f()->btAjouterRSS);
        QCOMPARE(b->dialogues.saisies.size(), 1);
        QCOMPARE(b->dialogues.saisies.at(0).legende, QStringLiteral("Ajout d'un flux RSS"));
        QCOMPARE(b->dialogues.saisies.at(0).invite, QStringLiteral("URL : "));
        QCOMPARE(fluxBase().size(), 5);
        QCOMPARE(fluxBase().last()->getTitre(), QStringLiteral("Nouveau"));
        QCOMPARE(fluxBase().last()->infos.size(), 1);
        QCOMPARE(textesDe(f()->listeRssSources), adressesDeLaBase());
        QCOMPARE(f()->listeRssSources->item(4)->checkState(), Qt::Unchecked);
        QCOMPARE(f()->ongletsPages->count(), 0);

        // Une réponse vide n'ajoute rien ; une adresse qui ne se lit pas non plus (sa boîte d'erreur).
        f()->ajouterSourceRSS->trigger();
        QCOMPARE(fluxBase().size(), 5);
        b->dialogues.saisiesPrevues({serveur.url(QStringLiteral("/absent.xml"))});
        f()->ajouterSourceRSS->trigger();
        QCOMPARE(fluxBase().size(), 5);
        QCOMPARE(f()->listeRssSources->count(), 5);
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Erreur);
    }

    void supprimerOuiPuisOuiATous()
    {
        remplirBase();
        cocher({0, 1, 3});
        b->dialogues.repondre({Reponse::Oui, Reponse::OuiATous});
        cliquer(f()->btSupprimerFlux);
        // Les questions vont de la dernière ligne cochée vers la première ; la troisième se fait
        // sans question, d'un bip court.
        QCOMPARE(b->dialogues.boites.size(), 2);
        QCOMPARE(b->dialogues.boites.at(0).texte, questionSuppression(3));
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Avertissement);
        QCOMPARE(b->dialogues.boites.at(0).boutons, BoutonsBoite::OuiNonAnnulerNonATousOuiATous);
        QCOMPARE(b->dialogues.boites.at(1).texte, questionSuppression(1));
        QCOMPARE(b->dialogues.bips, (QList<QPair<int, int>>{{250, 5}}));
        QCOMPARE(adressesDeLaBase(), QStringList{QStringLiteral("http://127.0.0.1/s2")});
        QCOMPARE(textesDe(f()->listeRssSources), adressesDeLaBase());
        // Les favoris des sources retirées quittent l'arbre.
        QCOMPARE(arbre(), QStringList({QStringLiteral("Actualités[Source 2]"), QStringLiteral("Sciences[Source 2]")}));
    }

    void supprimerArreteLeParcours_data()
    {
        QTest::addColumn<Reponse>("arret");
        QTest::newRow("Annuler") << Reponse::Annuler;
        QTest::newRow("Non à tout") << Reponse::NonATous;
        QTest::newRow("boîte fermée") << Reponse::Fermee;
    }

    void supprimerArreteLeParcours()
    {
        QFETCH(Reponse, arret);
        remplirBase();
        cocher({0, 1, 2, 3});
        // Oui pour la dernière, Non pour la troisième, puis l'arrêt sur la deuxième.
        b->dialogues.repondre({Reponse::Oui, Reponse::Non, arret});
        f()->supprimerSourceRSS->trigger();
        QCOMPARE(b->dialogues.boites.size(), 3);
        QVERIFY(b->dialogues.bips.isEmpty());
        QCOMPARE(adressesDeLaBase(), QStringList({QStringLiteral("http://127.0.0.1/s0"), QStringLiteral("http://127.0.0.1/s1"),
                                                  QStringLiteral("http://127.0.0.1/s2")}));
        // La liste montre exactement ce qui reste, sans coche.
        QCOMPARE(textesDe(f()->listeRssSources), adressesDeLaBase());
        for (int i = 0; i < f()->listeRssSources->count(); ++i)
            QCOMPARE(f()->listeRssSources->item(i)->checkState(), Qt::Unchecked);
    }

    void sourceRetireeGardeeParSonOnglet()
    {
        remplirBase();
        std::weak_ptr<TFlux> retire = fluxBase().at(0);
        auto fiche = std::make_unique<TObjetString>(QStringLiteral("/ailleurs.xml"), fluxBase().at(0));
        cocher({0});
        b->dialogues.repondre({Reponse::Oui});
        f()->supprimerSourceRSS->trigger();
        QCOMPARE(fluxBase().size(), 3);
        QVERIFY(!retire.expired());
        QCOMPARE(fiche->getFlux()->getTitre(), QStringLiteral("Source 0"));
    }

    void decocherTout()
    {
        remplirBase();
        cocher({0, 2, 3});
        f()->listeRssSources->setCurrentRow(2);
        cliquer(f()->btDecocherTout);
        for (int i = 0; i < f()->listeRssSources->count(); ++i)
            QCOMPARE(f()->listeRssSources->item(i)->checkState(), Qt::Unchecked);
        QCOMPARE(f()->listeRssSources->currentRow(), 2);
        QCOMPARE(fluxBase().size(), 4);
    }

    void ajouterUneRubrique()
    {
        remplirBase();
        b->dialogues.saisiesPrevues({QStringLiteral("Sport")});
        f()->ajouterRubrique->trigger();
        QCOMPARE(b->dialogues.saisies.at(0).legende, QStringLiteral("Ajout d'une rubrique"));
        QCOMPARE(b->dialogues.saisies.at(0).invite, QStringLiteral("Nom de la nouvelle rubrique : "));
        QCOMPARE(arbre().last(), QStringLiteral("Sport[]"));
        QCOMPARE(combo().last(), QStringLiteral("Sport"));

        // Un nom déjà pris : la boîte d'information, et rien ne change.
        b->dialogues.saisiesPrevues({QStringLiteral("Sciences")});
        f()->ajouterRubrique->trigger();
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).texte,
                 QStringLiteral("Impossible de créer le groupe 'Sciences'. \nCe groupe existe déjà !"));
        QCOMPARE(arbre().size(), 3);
        // Vide : rien.
        f()->ajouterRubrique->trigger();
        QCOMPARE(b->module->getRubriquesBase().size(), 3);
        QCOMPARE(b->dialogues.boites.size(), 1);
    }

    void supprimerUneRubrique()
    {
        remplirBase();
        QTreeWidgetItem *actualites = f()->arbreFavoris->topLevelItem(0);
        // Un favori choisi : supprimerRubrique ne fait rien.
        f()->arbreFavoris->setCurrentItem(actualites->child(0));
        f()->supprimerRubrique->trigger();
        QVERIFY(b->dialogues.boites.isEmpty());

        // La rubrique, réponse Non : l'arbre est refait, rien ne change.
        f()->arbreFavoris->setCurrentItem(actualites);
        b->dialogues.repondre({Reponse::Non});
        f()->supprimerRubrique->trigger();
        QCOMPARE(b->dialogues.boites.size(), 1);
        QCOMPARE(b->dialogues.boites.at(0).texte,
                 QStringLiteral("Etes-vous sûr de vouloir supprimer la rubrique 'Actualités' et tout ce qu'elle contient ?\n"));
        QCOMPARE(arbre().size(), 2);
        QVERIFY(!f()->arbreFavoris->currentItem());

        // Oui : la rubrique part, ses flux restent dans la base avec son nom.
        f()->arbreFavoris->setCurrentItem(f()->arbreFavoris->topLevelItem(0));
        b->dialogues.repondre({Reponse::Oui});
        f()->supprimerRubrique->trigger();
        QCOMPARE(arbre(), QStringList{QStringLiteral("Sciences[Source 2]")});
        QCOMPARE(combo(), QStringList{QStringLiteral("Sciences")});
        QCOMPARE(fluxBase().at(1)->rubriquesAssociees.size(), 2);
        QCOMPARE(f()->listeRssSources->count(), 4);
    }

    void rangerDesFluxDansUneRubrique()
    {
        remplirBase();
        // Sans rubrique choisie : rien, les coches restent.
        cocher({0, 3});
        cliquer(f()->btAjouterFavoris);
        QCOMPARE(f()->listeRssSources->item(0)->checkState(), Qt::Checked);

        f()->cbListeFavoris->setCurrentIndex(1);
        cliquer(f()->btAjouterFavoris);
        QCOMPARE(arbre().last(), QStringLiteral("Sciences[Source 0,Source 2,Source 3]"));
        QCOMPARE(f()->listeRssSources->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(f()->listeRssSources->item(3)->checkState(), Qt::Unchecked);
        QVERIFY(b->dialogues.boites.isEmpty());
        // Rangé deux fois : montré deux fois.
        cocher({0});
        f()->cbListeFavoris->setCurrentIndex(1);
        f()->ajouterFluxDansRubrique->trigger();
        QCOMPARE(arbre().last(), QStringLiteral("Sciences[Source 0,Source 0,Source 2,Source 3]"));
        QCOMPARE(fluxBase().at(0)->rubriquesAssociees, QList<TexteEtroit>({"Sciences", "Sciences"}));
    }

    void retirerUnFavori()
    {
        remplirBase();
        QTreeWidgetItem *actualites = f()->arbreFavoris->topLevelItem(0);
        // Une rubrique choisie : rien.
        f()->arbreFavoris->setCurrentItem(actualites);
        f()->supprimerFluxDeRubrique->trigger();
        QVERIFY(b->dialogues.boites.isEmpty());

        // La boîte fermée sans réponse laisse le favori.
        f()->arbreFavoris->setCurrentItem(actualites->child(0));
        b->dialogues.repondre({Reponse::Fermee});
        f()->supprimerFluxDeRubrique->trigger();
        QCOMPARE(b->dialogues.boites.at(0).texte,
                 QStringLiteral("Etes-vous sûr de vouloir supprimer \nle flux 'Source 1' \nde la rubrique de favoris "
                                "'Actualités' ?\n"));
        QCOMPARE(b->dialogues.boites.at(0).type, TypeBoite::Confirmation);
        QCOMPARE(b->dialogues.boites.at(0).boutons, BoutonsBoite::OuiNon);
        QCOMPARE(arbre().first(), QStringLiteral("Actualités[Source 1,Source 1,Source 2]"));

        // Oui : une seule des deux entrées part.
        b->dialogues.repondre({Reponse::Oui});
        f()->supprimerFluxDeRubrique->trigger();
        QCOMPARE(arbre().first(), QStringLiteral("Actualités[Source 1,Source 2]"));
        QCOMPARE(fluxBase().at(1)->rubriquesAssociees.size(), 1);
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestSourcesFavoris)
#include "tst_sources_favoris.moc"
