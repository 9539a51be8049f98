// Une sauvegarde tuée net (SIGKILL) à un moment quelconque ne laisse jamais un baseFlux.xml
// à moitié écrit : le fichier se charge et vaut soit la base d'avant, soit celle d'après.

#include "DescriptionBase.h"
#include "DialoguesScriptes.h"
#include "OutilsTests.h"

#include "base/TdmRSS.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTest>

namespace {

// Une base assez grosse pour que sa sauvegarde dure : nombreFlux flux de 40 informations.
void remplirBase(TdmRSS &module, int nombreFlux, const QString &marque)
{
    for (int f = 0; f < nombreFlux; ++f) {
        auto flux = std::make_shared<TFlux>();
        for (int i = 0; i < 40; ++i) {
            auto info = std::make_shared<TInfo>();
            info->setDonnees(QStringLiteral("%1 — information %2 du flux %3").arg(marque).arg(i).arg(f),
                             QStringLiteral("http://127.0.0.1/%1/%2").arg(f).arg(i),
                             QStringLiteral("<p>Description &amp; détails, été %1</p>").arg(i).repeated(4),
                             QStringLiteral("2026-12-%1").arg(1 + i % 28));
            flux->infos.append(info);
        }
        flux->rubriquesAssociees.append(versEtroit(marque));
        flux->setDonnees(marque + QString::number(f), u"http://127.0.0.1/"_qs, u"desc"_qs, {}, {}, u"fr"_qs, {});
        flux->setUrlRss(QStringLiteral("http://127.0.0.1/%1/%2.xml").arg(marque).arg(f));
        module.getFluxBase().append(flux);
    }
    module.getRubriquesBase().append(std::make_shared<TRubrique>(marque));
}

QStringList decrireFichier(const QString &chemin)
{
    DialoguesScriptes dialogues;
    TdmRSS module(dialogues);
    module.chargerBase(chemin);
    return decrireBase(module.getFluxBase(), module.getRubriquesBase());
}

} // namespace

class TestSauvegardeInterrompue : public QObject
{
    Q_OBJECT

private slots:
    void centSauvegardesTueesNet()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;

        // La base d'avant, déjà sur le disque, et la base d'après, dans un autre fichier.
        TdmRSS avant(dialogues);
        remplirBase(avant, 150, u"avant"_qs);
        avant.sauvegarderBase();
        const QByteArray octetsAvant = OutilsTests::lireFichier(Emplacement::cheminBase());
        const QStringList descriptionAvant = decrireBase(avant.getFluxBase(), avant.getRubriquesBase());
        TdmRSS apres(dialogues);
        remplirBase(apres, 150, u"après"_qs);
        const QString cheminApres = dossier.chemin(u"apres.xml"_qs);
        apres.sauvegarderBase(Emplacement::cheminModeleBase(), cheminApres);
        const QStringList descriptionApres = decrireBase(apres.getFluxBase(), apres.getRubriquesBase());

        // Durée d'une réécriture complète, pour tuer au hasard pendant ce temps.
        QElapsedTimer chrono;
        chrono.start();
        const auto complet = OutilsTests::lancerRssOutil({u"base"_qs, cheminApres, u"--reecrire"_qs, dossier.chemin()});
        QCOMPARE(complet.code, 0);
        const qint64 duree = std::max<qint64>(chrono.elapsed(), 20);
        QCOMPARE(decrireFichier(Emplacement::cheminBase()), descriptionApres);

        int tueesEnCours = 0, resteAvant = 0, devenueApres = 0;
        auto *hasard = QRandomGenerator::global();
        for (int essai = 0; essai < 100; ++essai) {
            OutilsTests::ecrireFichier(Emplacement::cheminBase(), octetsAvant);
            QProcess processus;
            processus.start(QStringLiteral(DOSSIER_BIN "/rss-outil"),
                            {u"base"_qs, cheminApres, u"--reecrire"_qs, dossier.chemin()});
            QVERIFY(processus.waitForStarted());
            QThread::msleep(static_cast<unsigned long>(hasard->bounded(duree + duree / 4)));
            if (processus.state() == QProcess::Running)
                ++tueesEnCours;
            processus.kill(); // SIGKILL
            processus.waitForFinished();

            const QStringList lue = decrireFichier(Emplacement::cheminBase());
            if (lue == descriptionAvant)
                ++resteAvant;
            else if (lue == descriptionApres)
                ++devenueApres;
            else
                QFAIL(qPrintable(QStringLiteral("Essai %1 : baseFlux.xml ne vaut ni la base d'avant ni celle d'après.")
                                     .arg(essai)));
        }
        qInfo("100 essais : %d tués en cours d'exécution ; %d fois la base d'avant, %d fois celle d'après",
              tueesEnCours, resteAvant, devenueApres);
        QVERIFY2(tueesEnCours >= 50, "les processus devaient être tués pendant leur travail");
    }

    void lesRestesDUneSauvegardeTueeSontEffaces_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<bool>("efface");
        QTest::newRow("six lettres") << QStringLiteral("baseFlux.xml.AbCdEf") << true;
        QTest::newRow("un chiffre") << QStringLiteral("baseFlux.xml.AbCd3f") << false;
        QTest::newRow("cinq lettres") << QStringLiteral("baseFlux.xml.AbCdE") << false;
        QTest::newRow("sept lettres") << QStringLiteral("baseFlux.xml.AbCdEfG") << false;
        QTest::newRow("autre fichier") << QStringLiteral("baseFluxModèle.xml.AbCdEf") << false;
        QTest::newRow("copie d'une base illisible")
            << QStringLiteral("baseFlux.xml.illisible-20261207-101500") << false;
        QTest::newRow("la base elle-même") << QStringLiteral("baseFlux.xml") << false;
    }

    void lesRestesDUneSauvegardeTueeSontEffaces()
    {
        QFETCH(QString, nom);
        QFETCH(bool, efface);
        OutilsTests::DossierExecutable dossier;
        dossier.ecrire(nom, "reste");
        QCOMPARE(supprimerRestesEcriture(Emplacement::cheminBase()), efface ? 1 : 0);
        QCOMPARE(QFileInfo::exists(dossier.chemin(nom)), !efface);
        QVERIFY(QFileInfo::exists(Emplacement::cheminModeleBase()));
    }

    void lesNomsTiresParQtSontReconnus()
    {
        // Les fichiers temporaires nommés d'après baseFlux.xml, tirés par le même générateur que
        // celui de QSaveFile quand le système de fichiers ne sait pas les garder anonymes.
        OutilsTests::DossierExecutable dossier;
        for (int i = 0; i < 20; ++i) {
            QTemporaryFile reste(Emplacement::cheminBase());
            reste.setAutoRemove(false);
            QVERIFY(reste.open());
            // Le nom le fait exister sur le disque, comme un reste d'écriture.
            QVERIFY(QFileInfo(reste.fileName()).fileName().startsWith(u"baseFlux.xml."));
        }
        QCOMPARE(QDir(dossier.chemin()).entryList(QDir::Files).size(), 21);
        QCOMPARE(supprimerRestesEcriture(Emplacement::cheminBase()), 20);
        QCOMPARE(QDir(dossier.chemin()).entryList(QDir::Files), QStringList{u"baseFluxModèle.xml"_qs});
    }
};

QTEST_GUILESS_MAIN(TestSauvegardeInterrompue)
#include "tst_sauvegarde_interrompue.moc"
