// Tout le corpus externe passé par rss-outil analyser, page et arbre : aucun plantage, aucun
// blocage, des codes de sortie connus et du JSON valide quand la commande réussit ; un flux
// Atom lu donne une information par entrée.

#include "OutilsTests.h"

#include <QDirIterator>
#include <QDomDocument>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <deque>
#include <memory>

namespace {

struct Tache
{
    QString commande;
    QString fichier;
};

struct Lancee
{
    Tache tache;
    std::unique_ptr<QProcess> processus;
    qint64 debut;
};

// Le nombre d'éléments « entry » enfants d'une racine « feed », ou -1 pour un autre document.
int entreesAtom(const QString &fichier)
{
    QDomDocument document;
    if (!document.setContent(OutilsTests::lireFichier(fichier), false) || document.documentElement().tagName() != u"feed")
        return -1;
    int n = 0;
    for (QDomElement e = document.documentElement().firstChildElement(u"entry"_qs); !e.isNull();
         e = e.nextSiblingElement(u"entry"_qs))
        ++n;
    return n;
}

} // namespace

class TestBalayageCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpusEntierSansPlantageNiBlocage()
    {
        const QString corpus = OutilsTests::dossierCorpus();
        if (corpus.isEmpty())
            QSKIP("Corpus externe absent.");
        OutilsTests::DossierExecutable dossier;

        std::deque<Tache> aFaire;
        QDirIterator it(corpus, {u"*.xml"_qs}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString fichier = it.next();
            for (const char *commande : {"analyser", "page", "arbre"})
                aFaire.push_back({QString::fromLatin1(commande), fichier});
        }
        QVERIFY(aFaire.size() > 3000);
        const std::size_t total = aFaire.size();

        const int enParallele = std::max(2, QThread::idealThreadCount());
        const qint64 delaiMs = 60000; // au-delà, la commande est tenue pour bloquée
        QElapsedTimer horloge;
        horloge.start();
        std::vector<Lancee> enCours;
        int reussites = 0, refus = 0, atomLus = 0, atomAvecEntrees = 0;
        while (!aFaire.empty() || !enCours.empty()) {
            while (!aFaire.empty() && static_cast<int>(enCours.size()) < enParallele) {
                Tache tache = aFaire.front();
                aFaire.pop_front();
                auto processus = std::make_unique<QProcess>();
                QStringList arguments{tache.commande, tache.fichier};
                if (tache.commande == u"page")
                    arguments << u"--dossier"_qs << dossier.chemin();
                processus->start(QStringLiteral(DOSSIER_BIN "/rss-outil"), arguments);
                enCours.push_back({tache, std::move(processus), horloge.elapsed()});
            }
            for (auto e = enCours.begin(); e != enCours.end();) {
                QProcess &p = *e->processus;
                if (!p.waitForFinished(5)) {
                    if (horloge.elapsed() - e->debut > delaiMs) {
                        p.kill();
                        QFAIL(qPrintable(QStringLiteral("bloqué : %1 %2").arg(e->tache.commande, e->tache.fichier)));
                    }
                    ++e;
                    continue;
                }
                const QString quoi = e->tache.commande + u' ' + e->tache.fichier;
                QVERIFY2(p.exitStatus() == QProcess::NormalExit, qPrintable(u"planté : "_qs + quoi));
                const int code = p.exitCode();
                // analyser : 1 document illisible, 2 racine sans enfant ; page : 1 et 2 de même ;
                // arbre : 1 document illisible.
                const int codeMaximal = e->tache.commande == u"arbre" ? 1 : 2;
                QVERIFY2(code >= 0 && code <= codeMaximal, qPrintable(QStringLiteral("code %1 : ").arg(code) + quoi));
                if (code == 0 && e->tache.commande != u"page") {
                    QJsonParseError erreur;
                    const QJsonDocument json = QJsonDocument::fromJson(p.readAllStandardOutput(), &erreur);
                    QVERIFY2(erreur.error == QJsonParseError::NoError, qPrintable(u"JSON invalide : "_qs + quoi));
                    // Un flux Atom (le document a été accepté, on peut le relire ici) : une
                    // information par entrée, dans les flux qui en ont.
                    const int entrees = e->tache.commande == u"analyser" ? entreesAtom(e->tache.fichier) : -1;
                    if (entrees >= 0) {
                        const qsizetype infos = json.object().value(u"infos").toArray().size();
                        QVERIFY2(infos == entrees, qPrintable(QStringLiteral("%1 informations pour %2 entrées : ")
                                                                  .arg(infos).arg(entrees) + quoi));
                        ++atomLus;
                        atomAvecEntrees += entrees > 0;
                    }
                }
                code == 0 ? ++reussites : ++refus;
                e = enCours.erase(e);
            }
        }
        qInfo("%zu commandes : %d réussies, %d refus propres, en %lld s ; %d flux Atom lus, %d avec entrées", total,
              reussites, refus, horloge.elapsed() / 1000, atomLus, atomAvecEntrees);
        // Le corpus compte quelque 2 300 flux Atom, dont plus de 1 600 avec des entrées.
        QVERIFY2(atomAvecEntrees > 1500, "trop peu de flux Atom lus avec leurs entrées");
    }
};

QTEST_GUILESS_MAIN(TestBalayageCorpus)
#include "tst_balayage_corpus.moc"
