// « Actualiser les sources » tel qu'un utilisateur le vit, dans la vraie fenêtre, contre un vrai
// serveur de 127.0.0.1 : trois sources (deux informations nouvelles, un 304, un échec). F9 ; la
// fenêtre reste disponible (Ctrl+O ouvre la vraie boîte de choix, Échap la ferme) ; les nombres,
// la marque d'échec et sa bulle ; « Source suivante non lue » montre les deux « Nouveau » et remet
// le nombre à zéro ; après un redémarrage, l'état est là ; un état illisible est gardé à côté sans
// bloquer le démarrage ; Échap dans la fenêtre arrête une actualisation.

#include "BancFenetre.h"

#include "base/EtatLecture.h"
#include "commun/Emplacement.h"
#include "reading/Actualisation.h"
#include "ui/DelegueNouvelles.h"
#include "ui/DialoguesQt.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

using namespace BancFenetre;

namespace {

// Les dialogues scriptés, sauf le choix d'un fichier : la vraie boîte de Qt.
class DialoguesDuParcours : public DialoguesScriptes
{
public:
    std::optional<QString> choisirFichier(const QString &titre, const QString &dossierInitial,
                                          const QString &dernierChoix) override
    {
        return m_vrais.choisirFichier(titre, dossierInitial, dernierChoix);
    }

private:
    DialoguesQt m_vrais;
};

QByteArray fluxAvecGuids(const QStringList &guids)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Deux</title>";
    for (const QString &guid : guids)
        xml += "<item><title>Titre " + guid.toUtf8() + "</title><guid>" + guid.toUtf8() + "</guid></item>";
    return xml + "</channel></rss>\n";
}

bool attendre(const std::function<bool()> &condition, int delaiMs = 15000)
{
    QElapsedTimer chrono;
    chrono.start();
    while (!condition() && chrono.elapsed() < delaiMs)
        QTest::qWait(20);
    return condition();
}

} // namespace

class TestActualisation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Fenetre> b;
    DialoguesDuParcours dialogues;
    ServeurHTTPTest serveur;
    QStringList adresses;

    TmainForm *f() const { return b->f.get(); }

    // La fenêtre (re)démarrée sur le dossier, la base lue par la minuterie de démarrage.
    bool demarrer()
    {
        b->f = std::make_unique<TmainForm>();
        b->module = std::make_unique<TdmRSS>(dialogues);
        application()->setDialogues(&dialogues);
        f()->setDmRSS(b->module.get());
        f()->show();
        f()->activateWindow();
        return QTest::qWaitForWindowActive(f()) && attendre([this] { return f()->listeRssSources->count() == 3; });
    }

    void fermer()
    {
        dialogues.repondre({Reponse::Oui, Reponse::Non}); // quitter, sans sauvegarder la base
        QVERIFY(f()->close());
        b->f.reset();
        b->module.reset();
    }

    bool actualiser()
    {
        QSignalSpy fin(f()->actualisation, &TActualisation::terminee);
        QTest::keyClick(f(), Qt::Key_F9);
        return f()->actualisation->enCours() && fin.wait(20000);
    }

    // Ce que montre la ligne de la source i : son texte dessiné, en gras ou non, sa marque d'échec.
    struct Ligne
    {
        QString texte;
        bool gras;
        QString echec;
    };
    Ligne ligne(int i) const
    {
        QStyleOptionViewItem option;
        const QModelIndex index = f()->listeRssSources->model()->index(i, 0);
        static_cast<TDelegueNouvelles *>(f()->listeRssSources->itemDelegate())->initStyleOption(&option, index);
        return {option.text, option.font.bold(), index.data(TDelegueNouvelles::RoleEchec).toString()};
    }

private slots:
    void initTestCase()
    {
        b = std::make_unique<Fenetre>(false);
        b->f.reset();
        b->module.reset();
        ReponseHTTP deux = ReponseHTTP::ok(fluxAvecGuids({QStringLiteral("a1"), QStringLiteral("a2")}));
        deux.delaiMs = 1500; // l'actualisation dure pendant que la boîte de choix est ouverte
        serveur.definir("/deux", deux);
        ReponseHTTP inchange = ReponseHTTP::ok(fluxAvecGuids({QStringLiteral("b1")}));
        inchange.etag = "\"v1\"";
        serveur.definir("/inchange", inchange);
        adresses = {serveur.url(QStringLiteral("/deux")), serveur.url(QStringLiteral("/inchange")),
                    serveur.url(QStringLiteral("/absent"))};
        // La base : la première source est aussi un favori ; l'état connaît déjà la deuxième.
        QByteArray base = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE><racine><listeFlux>";
        for (const QString &adresse : adresses)
            base += "<flux><titre>T" + adresse.toUtf8() + "</titre><urlrss>" + adresse.toUtf8()
                + "</urlrss><rubriquesAssociees><rubrique><nom>R</nom></rubrique></rubriquesAssociees></flux>";
        base += "</listeFlux><listeRubriques><rubrique><nom>R</nom></rubrique></listeRubriques></racine></LecteurRSS_BASE>";
        b->dossier.ecrire(QStringLiteral("baseFlux.xml"), base);
        TEtatLecture etat;
        ResultatActualisation lu;
        lu.adresse = adresses.at(1);
        lu.issue = ResultatActualisation::Issue::Lue;
        lu.cles = QStringList{QStringLiteral("b1")};
        lu.etag = "\"v1\"";
        etat.appliquer(lu);
        etat.marquerLues(lu.adresse, lu.cles);
        etat.ecrire(Emplacement::cheminEtatLecture());
    }

    void cleanupTestCase()
    {
        if (b && b->f)
            fermer();
        b.reset();
    }

    void parcours()
    {
        const QByteArray base = OutilsTests::lireFichier(Emplacement::cheminBase());
        QVERIFY(demarrer());

        // F9 : pendant l'actualisation, Ctrl+O ouvre la vraie boîte, Échap la ferme.
        QSignalSpy fin(f()->actualisation, &TActualisation::terminee);
        QTest::keyClick(f(), Qt::Key_F9);
        QVERIFY(f()->actualisation->enCours());
        QCOMPARE(f()->actualiserSources->text(), QStringLiteral("Arrêter l'actualisation"));
        QVERIFY(attendre([this] { return f()->pbarGenerale->isVisible(); }));
        QCOMPARE(f()->pbarGenerale->text(), QStringLiteral("Actualisation : %1 / 3").arg(f()->pbarGenerale->value()));
        bool boiteVuePendant = false;
        QTimer::singleShot(0, this, [&] {
            attendre([] { return qobject_cast<QFileDialog *>(QApplication::activeModalWidget()) != nullptr; });
            auto *boite = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            boiteVuePendant = boite && f()->actualisation->enCours();
            if (boite)
                QTest::keyClick(boite, Qt::Key_Escape);
        });
        QTest::keyClick(f(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(boiteVuePendant);
        QCOMPARE(f()->ongletsPages->count(), 0);
        QVERIFY(attendre([&] { return fin.count() == 1; }));
        QCOMPARE(fin.first().first().toBool(), false); // l'Échap de la boîte ne l'a pas arrêtée

        // 2, 0 et la marque d'échec, à côté des adresses que les commandes lisent.
        QCOMPARE(ligne(0).texte, adresses.at(0) + QStringLiteral(" (2)"));
        QVERIFY(ligne(0).gras);
        QCOMPARE(ligne(1).texte, adresses.at(1));
        QVERIFY(!ligne(1).gras && ligne(1).echec.isEmpty());
        QVERIFY(ligne(2).echec.contains(QStringLiteral("Réponse HTTP 404")));
        QCOMPARE(textesDe(f()->listeRssSources), adresses);
        QCOMPARE(f()->arbreFavoris->topLevelItem(0)->child(0)->data(0, TDelegueNouvelles::RoleNouvelles).toInt(), 2);
        QVERIFY(f()->pbarGenerale->isHidden());
        QCOMPARE(f()->actualiserSources->text(), QStringLiteral("Actualiser les sources"));
        QVERIFY(!QFileInfo::exists(Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(adresses.at(1))));
        QVERIFY(dialogues.boites.isEmpty());

        // Source suivante non lue : la première, ses deux nouvelles marquées, puis lues.
        QSignalSpy page(f()->pageHTML, &QWebEngineView::loadFinished);
        QTest::keyClick(f(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(attendreChargement(f()->pageHTML, page));
        QCOMPARE(texteDeLaPage(b->page()).count(QStringLiteral("Nouveau")), 2);
        QCOMPARE(ligne(0).texte, adresses.at(0));
        QVERIFY(!ligne(0).gras);

        // Redémarrage : l'état est là (la première n'a rien de nouveau, la deuxième répond 304).
        fermer();
        QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminBase()), base);
        QVERIFY(demarrer());
        QVERIFY(ligne(2).echec.contains(QStringLiteral("Réponse HTTP 404")));
        serveur.oublierRequetes();
        QVERIFY(actualiser());
        QCOMPARE(ligne(0).texte, adresses.at(0));
        QCOMPARE(f()->etatLecture().source(adresses.at(1))->resultat, QStringLiteral("inchange"));

        // Échap dans la fenêtre arrête l'actualisation.
        QSignalSpy arret(f()->actualisation, &TActualisation::terminee);
        QTest::keyClick(f(), Qt::Key_F9);
        QTest::keyClick(f(), Qt::Key_Escape);
        QVERIFY(arret.wait(1000));
        QCOMPARE(arret.first().first().toBool(), true);

        // Un état illisible : gardé à côté, le démarrage continue sans boîte qui bloque.
        fermer();
        OutilsTests::ecrireFichier(Emplacement::cheminEtatLecture(), "{ pas du json");
        QVERIFY(demarrer());
        const QStringList gardes =
            QDir(Emplacement::dossierExecutable()).entryList({QStringLiteral("etatLecture.json.illisible-*")});
        QCOMPARE(gardes.size(), 1);
        QCOMPARE(OutilsTests::lireFichier(Emplacement::dossierExecutable() + gardes.first()), QByteArray("{ pas du json"));
        const auto *avertissement = f()->findChild<QMessageBox *>(QStringLiteral("avertissementEtatLecture"));
        QVERIFY(avertissement && avertissement->isVisible() && !avertissement->isModal());
        QVERIFY(ligne(2).echec.isEmpty());
    }
};

LECTEUR_TEST_FENETRE_MAIN(TestActualisation)
#include "tst_actualisation.moc"
