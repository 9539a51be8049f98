// Le côté Qt des dialogues : titres français selon le type, icônes, boutons traduits, réponse
// « fermée » quand on ferme la boîte sans répondre ; boîte de saisie, choix de fichier ; et la
// boîte d'erreur standard de l'application pour une exception qui remonte à la boucle.

#include "commun/Erreurs.h"
#include "ui/DialoguesQt.h"
#include "ui/TApplication.h"

#include "BancFenetre.h"
#include "DialoguesScriptes.h"
#include "OutilsTests.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

Q_DECLARE_METATYPE(TypeBoite)
Q_DECLARE_METATYPE(BoutonsBoite)
Q_DECLARE_METATYPE(Reponse)

using BancFenetre::quandOuverte;

namespace {

QString sansEsperluette(QString texte)
{
    return texte.remove(u'&');
}

// Un objet dont le traitement d'un événement lève l'exception donnée.
class Lanceur : public QObject
{
public:
    std::function<void()> lancer;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            lancer();
        return QObject::event(e);
    }
};

} // namespace

class TestDialoguesQt : public QObject
{
    Q_OBJECT

private slots:
    void boites_data()
    {
        QTest::addColumn<TypeBoite>("type");
        QTest::addColumn<BoutonsBoite>("boutons");
        QTest::addColumn<QString>("titreDonne");
        QTest::addColumn<QString>("titreAttendu");
        QTest::addColumn<int>("icone");
        QTest::addColumn<QString>("geste"); // bouton à cliquer, « fermer » ou « echap »
        QTest::addColumn<Reponse>("reponse");
        QTest::addColumn<QStringList>("textesBoutons");

        const QStringList ok = {QStringLiteral("OK")};
        const QStringList ouiNon = {QStringLiteral("Oui"), QStringLiteral("Non")};
        const QStringList cinq = {QStringLiteral("Oui"), QStringLiteral("Non"), QStringLiteral("Annuler"),
                                  QStringLiteral("Non à tout"), QStringLiteral("Oui à tout")};
        QTest::newRow("avertissement") << TypeBoite::Avertissement << BoutonsBoite::Ok << QString()
                                       << u"Avertissement"_qs << int(QMessageBox::Warning) << u"OK"_qs
                                       << Reponse::Ok << ok;
        QTest::newRow("information") << TypeBoite::Information << BoutonsBoite::Ok << QString() << u"Information"_qs
                                     << int(QMessageBox::Information) << u"OK"_qs << Reponse::Ok << ok;
        QTest::newRow("erreur titrée") << TypeBoite::Erreur << BoutonsBoite::Ok << u"Error"_qs << u"Error"_qs
                                       << int(QMessageBox::Critical) << u"OK"_qs << Reponse::Ok << ok;
        QTest::newRow("erreur") << TypeBoite::Erreur << BoutonsBoite::Ok << QString() << u"Erreur"_qs
                                << int(QMessageBox::Critical) << u"OK"_qs << Reponse::Ok << ok;
        QTest::newRow("personnalisée") << TypeBoite::Personnalisee << BoutonsBoite::Ok << QString()
                                       << u"Brindlewave-LecteurRSS"_qs << int(QMessageBox::NoIcon) << u"OK"_qs
                                       << Reponse::Ok << ok;
        QTest::newRow("confirmation oui") << TypeBoite::Confirmation << BoutonsBoite::OuiNon << QString()
                                          << u"Confirmation"_qs << int(QMessageBox::Question) << u"Oui"_qs
                                          << Reponse::Oui << ouiNon;
        QTest::newRow("confirmation non") << TypeBoite::Confirmation << BoutonsBoite::OuiNon << QString()
                                          << u"Confirmation"_qs << int(QMessageBox::Question) << u"Non"_qs
                                          << Reponse::Non << ouiNon;
        QTest::newRow("confirmation fermée") << TypeBoite::Confirmation << BoutonsBoite::OuiNon << QString()
                                             << u"Confirmation"_qs << int(QMessageBox::Question) << u"fermer"_qs
                                             << Reponse::Fermee << ouiNon;
        QTest::newRow("confirmation échap") << TypeBoite::Confirmation << BoutonsBoite::OuiNon << QString()
                                            << u"Confirmation"_qs << int(QMessageBox::Question) << u"echap"_qs
                                            << Reponse::Fermee << ouiNon;
        QTest::newRow("cinq : oui à tout") << TypeBoite::Avertissement << BoutonsBoite::OuiNonAnnulerNonATousOuiATous
                                           << QString() << u"Avertissement"_qs << int(QMessageBox::Warning)
                                           << u"Oui à tout"_qs << Reponse::OuiATous << cinq;
        QTest::newRow("cinq : non à tout") << TypeBoite::Avertissement << BoutonsBoite::OuiNonAnnulerNonATousOuiATous
                                           << QString() << u"Avertissement"_qs << int(QMessageBox::Warning)
                                           << u"Non à tout"_qs << Reponse::NonATous << cinq;
        QTest::newRow("cinq : annuler") << TypeBoite::Avertissement << BoutonsBoite::OuiNonAnnulerNonATousOuiATous
                                        << QString() << u"Avertissement"_qs << int(QMessageBox::Warning)
                                        << u"Annuler"_qs << Reponse::Annuler << cinq;
        QTest::newRow("cinq : fermée") << TypeBoite::Avertissement << BoutonsBoite::OuiNonAnnulerNonATousOuiATous
                                       << QString() << u"Avertissement"_qs << int(QMessageBox::Warning)
                                       << u"fermer"_qs << Reponse::Fermee << cinq;
    }

    void boites()
    {
        QFETCH(TypeBoite, type);
        QFETCH(BoutonsBoite, boutons);
        QFETCH(QString, titreDonne);
        QFETCH(QString, titreAttendu);
        QFETCH(int, icone);
        QFETCH(QString, geste);
        QFETCH(Reponse, reponse);
        QFETCH(QStringList, textesBoutons);

        QString titreVu, texteVu;
        int iconeVue = -1;
        QStringList boutonsVus;
        Qt::TextFormat format = Qt::AutoText;
        quandOuverte<QMessageBox>([&](QMessageBox *boite) {
            format = boite->textFormat();
            titreVu = boite->windowTitle();
            texteVu = boite->text();
            iconeVue = boite->icon();
            QAbstractButton *aCliquer = nullptr;
            for (QAbstractButton *b : boite->buttons()) {
                boutonsVus << sansEsperluette(b->text());
                if (sansEsperluette(b->text()) == geste)
                    aCliquer = b;
            }
            if (geste == u"fermer"_qs)
                boite->close();
            else if (geste == u"echap"_qs)
                QTest::keyClick(boite, Qt::Key_Escape);
            else if (aCliquer)
                aCliquer->click();
            else
                boite->close();
        });
        DialoguesQt dialogues;
        const QString texte = QStringLiteral("Etes-vous sûr de vouloir supprimer ce flux 'x' ?\nTitre : <b>t</b>");
        QCOMPARE(dialogues.afficher(type, texte, boutons, titreDonne), reponse);
        QCOMPARE(titreVu, titreAttendu);
        QCOMPARE(texteVu, texte);
        QCOMPARE(format, Qt::PlainText); // un titre de flux n'est jamais interprété comme du HTML
        QCOMPARE(iconeVue, icone);
        boutonsVus.sort();
        textesBoutons.sort();
        QCOMPARE(boutonsVus, textesBoutons);
    }

    void raccourcisDuSeam()
    {
        DialoguesQt dialogues;
        quandOuverte<QMessageBox>([](QMessageBox *boite) { boite->close(); });
        QVERIFY(!dialogues.confirmer(TypeBoite::Confirmation, QStringLiteral("Voulez-vous sauvegarder les modifications ?")));
        quandOuverte<QMessageBox>([](QMessageBox *boite) { boite->button(QMessageBox::Yes)->click(); });
        QVERIFY(dialogues.confirmer(TypeBoite::Confirmation, QStringLiteral("Voulez-vous sauvegarder les modifications ?")));
    }

    void saisie()
    {
        DialoguesQt dialogues;
        QString legende, invite, valeurInitiale;
        quandOuverte<QInputDialog>([&](QInputDialog *boite) {
            legende = boite->windowTitle();
            invite = boite->labelText();
            valeurInitiale = boite->textValue();
            boite->setTextValue(QStringLiteral("http://127.0.0.1/flux.xml"));
            boite->accept();
        });
        QCOMPARE(dialogues.saisir(QStringLiteral("Ajout d'un flux RSS"), QStringLiteral("URL : ")),
                 QStringLiteral("http://127.0.0.1/flux.xml"));
        QCOMPARE(legende, QStringLiteral("Ajout d'un flux RSS"));
        QCOMPARE(invite, QStringLiteral("URL : "));
        QCOMPARE(valeurInitiale, QString());

        // Annulée : rien, même si du texte a été tapé.
        quandOuverte<QInputDialog>([](QInputDialog *boite) {
            boite->setTextValue(QStringLiteral("Sport"));
            boite->reject();
        });
        QCOMPARE(dialogues.saisir(QStringLiteral("Ajout d'une rubrique"), QStringLiteral("Nom de la nouvelle rubrique : ")),
                 QString());
    }

    void choixDeFichier()
    {
        OutilsTests::DossierExecutable dossier;
        const QString rss = dossier.chemin(QStringLiteral("rss"));
        const QString fichier = dossier.ecrire(QStringLiteral("rss/journal.xml"), QByteArrayLiteral("<rss/>"));
        dossier.ecrire(QStringLiteral("rss/autre.rdf"), QByteArrayLiteral("<rdf/>"));
        DialoguesQt dialogues;

        QString titre, repertoire;
        QStringList filtres, preselection;

        quandOuverte<QFileDialog>([&](QFileDialog *boite) {
            titre = boite->windowTitle();
            repertoire = boite->directory().absolutePath();
            filtres = boite->nameFilters();
            preselection = boite->selectedFiles();
            QMetaObject::invokeMethod(boite, "accept");
        });
        const auto choisi = dialogues.choisirFichier(QStringLiteral("Ouvrir un fichier rss.xml"), rss,
                                                     QStringLiteral("journal.xml"));
        QVERIFY(choisi.has_value());
        QCOMPARE(QFileInfo(*choisi).canonicalFilePath(), QFileInfo(fichier).canonicalFilePath());
        QCOMPARE(titre, QStringLiteral("Ouvrir un fichier rss.xml"));
        QCOMPARE(QDir(repertoire).canonicalPath(), QDir(rss).canonicalPath());
        QVERIFY(filtres.size() <= 1 && (filtres.isEmpty() || filtres.first().contains(u'*')));
        QCOMPARE(preselection.size(), 1);
        QCOMPARE(QFileInfo(preselection.first()).fileName(), QStringLiteral("journal.xml"));

        // Sans dernier choix, rien n'est présélectionné, même dans une boîte déjà servie.
        quandOuverte<QFileDialog>([&](QFileDialog *boite) {
            preselection = boite->selectedFiles();
            boite->reject();
        });
        QVERIFY(!dialogues.choisirFichier(QStringLiteral("Ouvrir un fichier rss.xml"), rss, QString()).has_value());
        QVERIFY(QFileInfo(preselection.value(0)).fileName() != QStringLiteral("journal.xml"));
    }

    void exceptionsVersLaBoiteDErreur()
    {
        auto application = qobject_cast<TApplication *>(qApp);
        QVERIFY(application);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Brindlewave-LecteurRSS"));
        DialoguesScriptes dialogues;
        application->setDialogues(&dialogues);

        Lanceur lanceur;
        lanceur.lancer = [] { throw ErreurEcriture(QStringLiteral("Écriture impossible : baseFlux.xml")); };
        QCoreApplication::postEvent(&lanceur, new QEvent(QEvent::User));
        QTRY_COMPARE(dialogues.boites.size(), 1);
        QCOMPARE(dialogues.boites[0].type, TypeBoite::Erreur);
        QCOMPARE(dialogues.boites[0].texte, QStringLiteral("Écriture impossible : baseFlux.xml"));
        QCOMPARE(dialogues.boites[0].titre, QStringLiteral("Brindlewave-LecteurRSS"));

        lanceur.lancer = [] { throw std::runtime_error("mauvais format"); };
        QCoreApplication::postEvent(&lanceur, new QEvent(QEvent::User));
        QTRY_COMPARE(dialogues.boites.size(), 2);
        QCOMPARE(dialogues.boites[1].texte, QStringLiteral("mauvais format"));

        // Ce qui n'est pas une exception : un message vide, montré de la même façon.
        lanceur.lancer = [] { throw 42; };
        QCoreApplication::postEvent(&lanceur, new QEvent(QEvent::User));
        QTRY_COMPARE(dialogues.boites.size(), 3);
        QCOMPARE(dialogues.boites[2].type, TypeBoite::Erreur);
        QCOMPARE(dialogues.boites[2].texte, QString());

        // Une commande qui échoue s'arrête là ; la boucle continue et la commande suivante s'exécute.
        QAction commande;
        int executions = 0;
        connect(&commande, &QAction::triggered, this, [&executions] {
            ++executions;
            if (executions == 1)
                throw ErreurLecteur(QStringLiteral("échec"));
        });
        QTimer::singleShot(0, &commande, &QAction::trigger);
        QTRY_COMPARE(dialogues.boites.size(), 4);
        QTimer::singleShot(0, &commande, &QAction::trigger);
        QTRY_COMPARE(executions, 2);
        QCOMPARE(dialogues.boites.size(), 4);
        application->setDialogues(nullptr);
    }
};

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    TestDialoguesQt test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogues_qt.moc"
