// Les opérations sur la base en mémoire, leurs questions et leurs boîtes (dialogues scriptés).

#include "DialoguesScriptes.h"

#include "base/TdmRSS.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

PFlux fluxNomme(const QString &urlrss)
{
    auto flux = std::make_shared<TFlux>();
    flux->setUrlRss(urlrss);
    return flux;
}

PInfo info(const QString &titre, const QString &lien = QString(), const QString &description = QString(),
           const QString &datePub = QString())
{
    auto i = std::make_shared<TInfo>();
    i->setDonnees(titre, lien, description, datePub);
    return i;
}

QStringList nomsDe(const QList<PRubrique> &rubriques)
{
    QStringList noms;
    for (const PRubrique &r : rubriques)
        noms << r->getNom();
    return noms;
}

} // namespace

class TestOperationsBase : public QObject
{
    Q_OBJECT

    DialoguesScriptes m_dialogues;

private slots:
    void init() { m_dialogues.oublier(); }
    void cleanup()
    {
        QVERIFY(!m_dialogues.questionImprevue);
        QCOMPARE(m_dialogues.reponsesRestantes(), 0);
    }

    void lesAccesseursRendentLesListesDuModule()
    {
        TdmRSS module(m_dialogues);
        module.getFluxBase() << fluxNomme(QStringLiteral("a")) << fluxNomme(QStringLiteral("b"));
        QCOMPARE(module.getFlux(1)->getUrlRss(), QStringLiteral("b"));
        module.getFluxBase().removeAt(0);
        QCOMPARE(module.getFlux(0)->getUrlRss(), QStringLiteral("b"));
        module.getRubriquesBase() << std::make_shared<TRubrique>(QStringLiteral("R"));
        QCOMPARE(module.getRubriquesBase().size(), 1);
    }

    void chercherFluxParUrlRendLePremierExact()
    {
        TdmRSS module(m_dialogues);
        const PFlux premier = fluxNomme(QStringLiteral("http://127.0.0.1/a.xml"));
        const PFlux second = fluxNomme(QStringLiteral("http://127.0.0.1/a.xml"));
        module.getFluxBase() << fluxNomme(QStringLiteral("http://127.0.0.1/A.xml")) << premier << second;
        QCOMPARE(module.chercherFluxParUrl(QStringLiteral("http://127.0.0.1/a.xml")), premier);
        QVERIFY(!module.chercherFluxParUrl(QStringLiteral("http://127.0.0.1/a.xml ")));
        QVERIFY(!module.chercherFluxParUrl(QString()));
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void lesRubriquesDUnFlux()
    {
        TdmRSS module(m_dialogues);
        TFlux flux;
        module.ajouterRubriqueAuFlux(QStringLiteral("Économie"), flux);
        module.ajouterRubriqueAuFlux(QStringLiteral("Sport"), flux);
        module.ajouterRubriqueAuFlux(QStringLiteral("Économie"), flux);
        QCOMPARE(flux.rubriquesAssociees, QList<TexteEtroit>({"\xC9" "conomie", "Sport", "\xC9" "conomie"}));
        QCOMPARE(module.indexRubriqueDuFlux(QStringLiteral("Économie"), flux), 0);
        QCOMPARE(module.indexRubriqueDuFlux(QStringLiteral("sport"), flux), -1);
        module.retirerRubriqueDuFlux(QStringLiteral("Économie"), flux);
        QCOMPARE(flux.rubriquesAssociees, QList<TexteEtroit>({"Sport", "\xC9" "conomie"}));
        module.retirerRubriqueDuFlux(QStringLiteral("Absente"), flux);
        QCOMPARE(flux.rubriquesAssociees.size(), 2);
        // La comparaison se fait sur la forme étroite : deux noms hors de Windows-1252 s'y confondent.
        module.ajouterRubriqueAuFlux(QStringLiteral("新闻"), flux);
        QCOMPARE(module.indexRubriqueDuFlux(QStringLiteral("日本"), flux), 2);
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void ajouterUneInformationNouvelle()
    {
        TdmRSS module(m_dialogues);
        TFlux flux;
        const PInfo premiere = info(QStringLiteral("T"), QStringLiteral("L"), QStringLiteral("D"), QStringLiteral("lundi"));
        QVERIFY(module.ajouterInfo(premiere, flux));
        QCOMPARE(flux.infos.size(), 1);
        QCOMPARE(flux.infos.first(), premiere);
        // Une date différente suffit : pas de question.
        QVERIFY(module.ajouterInfo(info(QStringLiteral("T"), QStringLiteral("L"), QStringLiteral("D"), QStringLiteral("mardi")), flux));
        QVERIFY(module.ajouterInfo(info(QStringLiteral("t"), QStringLiteral("L"), QStringLiteral("D"), QStringLiteral("lundi")), flux));
        QCOMPARE(flux.infos.size(), 3);
        QVERIFY(m_dialogues.boites.isEmpty());
        QVERIFY(module.infoExiste(*info(QStringLiteral("t"), QStringLiteral("L"), QStringLiteral("D"), QStringLiteral("lundi")), flux));
        QVERIFY(!module.infoExiste(*info(QStringLiteral("T")), flux));
    }

    void ajouterUneInformationDejaStockee_data()
    {
        QTest::addColumn<Reponse>("reponse");
        QTest::addColumn<bool>("resultat");
        QTest::newRow("oui") << Reponse::Oui << true;
        QTest::newRow("non") << Reponse::Non << false;
        QTest::newRow("boîte fermée") << Reponse::Fermee << false;
    }

    void ajouterUneInformationDejaStockee()
    {
        QFETCH(Reponse, reponse);
        QFETCH(bool, resultat);
        TdmRSS module(m_dialogues);
        TFlux flux;
        const PInfo stockee = info(QStringLiteral("Titre « 1 »"), QStringLiteral("L"), QString(), QString());
        flux.infos << info(QStringLiteral("autre")) << stockee;
        m_dialogues.repondre({reponse});
        QCOMPARE(module.ajouterInfo(info(QStringLiteral("Titre « 1 »"), QStringLiteral("L")), flux), resultat);
        QCOMPARE(flux.infos.size(), 2);
        QCOMPARE(flux.infos.at(1), stockee);
        QCOMPARE(m_dialogues.boites.size(), 1);
        const BoiteNotee &boite = m_dialogues.boites.first();
        QCOMPARE(boite.type, TypeBoite::Avertissement);
        QCOMPARE(boite.boutons, BoutonsBoite::OuiNon);
        QCOMPARE(boite.titre, QString());
        QCOMPARE(boite.texte, QStringLiteral("L'information 'Titre « 1 »' existe déjà.\n Voulez-vous l'écraser ?\n"));
    }

    void supprimerUneInformationParIdentite()
    {
        TdmRSS module(m_dialogues);
        TFlux flux;
        const PInfo a = info(QStringLiteral("A"));
        const PInfo b = info(QStringLiteral("B"));
        flux.infos << a << b << a;
        const PInfo copie = info(QStringLiteral("B"));
        QVERIFY(!module.supprimerInfo(copie.get(), flux));
        QCOMPARE(flux.infos.size(), 3);
        QVERIFY(module.supprimerInfo(a.get(), flux));
        QCOMPARE(flux.infos, QList<PInfo>({b, a}));
        // L'objet retiré reste valide pour qui le tient encore.
        QCOMPARE(a->getTitre(), QStringLiteral("A"));
        QVERIFY(!module.supprimerInfo(nullptr, flux));
    }

    void lesTestsDeRechercheSurLaFormeEtroite()
    {
        TdmRSS module(m_dialogues);
        const PInfo i = info(QStringLiteral("Élection PRÉSIDENTIELLE à Paris"), QStringLiteral("http://127.0.0.1/a?b=c"),
                             QStringLiteral("<p>中文 et 😀 €</p>"));
        QVERIFY(module.titreContient(QStringLiteral("PRÉSID"), *i));
        QVERIFY(!module.titreContient(QStringLiteral("présid"), *i));
        QVERIFY(!module.titreContient(QStringLiteral("Election"), *i));
        QVERIFY(module.titreContient(QStringLiteral("Élection PRÉSIDENTIELLE à Paris"), *i));
        QVERIFY(!module.titreContient(QStringLiteral("Élection PRÉSIDENTIELLE à Paris!"), *i));
        QVERIFY(!module.titreContient(QString(), *i));
        QVERIFY(!module.titreContient(QStringLiteral("a?b"), *i));
        QVERIFY(module.lienContient(QStringLiteral("a?b"), *i));
        QVERIFY(!module.lienContient(QStringLiteral("Paris"), *i));
        QVERIFY(module.descriptionContient(QStringLiteral("€</p>"), *i));
        // Hors de Windows-1252, chaque caractère (une paire de substitution comprise) devient « ? ».
        QVERIFY(module.descriptionContient(QStringLiteral("?? et ?"), *i));
        QVERIFY(module.descriptionContient(QStringLiteral("日本 et 🎉"), *i));
        QVERIFY(!module.descriptionContient(QStringLiteral("??? et"), *i));
        QVERIFY(!module.descriptionContient(QStringLiteral("x"), *info(QString())));
    }

    void leTestPrepareDonneLaMemeReponseQueLaFormeEtroite()
    {
        // Le texte préparé cherche sans convertir le champ quand il le peut : sa réponse doit
        // rester celle de la comparaison des deux formes étroites.
        const QString alphabet = QStringLiteral("aAéÉ€?\u0081\u0152中😀 \t\r\n<&x");
        QRandomGenerator hasard(42);
        auto texte = [&](int longueur) {
            QString t;
            for (int k = 0; k < longueur; ++k) {
                const int n = int(hasard.bounded(alphabet.size()));
                // La paire de substitution se prend entière.
                if (alphabet.at(n).isLowSurrogate())
                    t += alphabet.mid(n - 1, 2);
                else if (alphabet.at(n).isHighSurrogate())
                    t += alphabet.mid(n, 2);
                else
                    t += alphabet.at(n);
            }
            return t;
        };
        // Le champ d'une information aussi : sa forme étroite, gardée, sert d'une recherche à l'autre.
        TdmRSS module(m_dialogues);
        TInfo information;
        int trouves = 0;
        for (int essai = 0; essai < 20000; ++essai) {
            const QString aiguille = texte(int(hasard.bounded(4)));
            const QString champ = texte(int(hasard.bounded(80)));
            const bool attendu = !aiguille.isEmpty() && versEtroit(champ).contains(versEtroit(aiguille));
            const TexteRecherche prepare(aiguille);
            QCOMPARE(prepare.trouveDans(champ), attendu);
            information.setDonnees(champ, QString(), champ, QString());
            QCOMPARE(module.titreContient(prepare, information), attendu);
            QCOMPARE(module.descriptionContient(prepare, information), attendu);
            // Formes étroites faites d'avance : la recherche passe par elles.
            information.getTitreEtroit();
            QCOMPARE(module.titreContient(prepare, information), attendu);
            trouves += attendu;
        }
        QVERIFY(trouves > 2000);

        // Un flux gardé d'un essai à l'autre, ses informations remplacées ou réécrites : ses formes
        // gardées ne valent plus, et un texte à cheval sur deux champs voisins ne se trouve pas.
        TFlux flux;
        int fluxTrouves = 0;
        for (int essai = 0; essai < 5000; ++essai) {
            const TexteRecherche prepare(texte(1 + int(hasard.bounded(3))));
            if (essai % 2 == 0)
                flux.infos = {info(texte(6), texte(6), texte(6)), info(texte(6), texte(6), texte(6))};
            else
                flux.infos.first()->setDonnees(texte(6), texte(6), texte(6), QString());
            bool attendu = false;
            for (const PInfo &i : std::as_const(flux.infos))
                attendu = attendu || versEtroit(i->getDescription()).contains(prepare.etroit());
            QCOMPARE(module.fluxTrouve(prepare, flux, {false, false, true}), attendu);
            fluxTrouves += attendu;
        }
        QVERIFY(fluxTrouves > 500);
    }

    void fluxTrouveChercheDansLesChampsChoisis()
    {
        TdmRSS module(m_dialogues);
        TFlux flux;
        flux.setDonnees(QStringLiteral("titre du flux"), {}, {}, {}, {}, {}, {});
        const TexteRecherche texte(QStringLiteral("titre"));
        QVERIFY(!module.fluxTrouve(texte, flux, {true, true, true}));
        flux.infos << info(QStringLiteral("rien"), QStringLiteral("http://127.0.0.1/titre"), QStringLiteral("rien"));
        QVERIFY(!module.fluxTrouve(texte, flux, {}));
        QVERIFY(!module.fluxTrouve(texte, flux, {true, false, true}));
        QVERIFY(module.fluxTrouve(texte, flux, {false, true, false}));
        QVERIFY(!module.fluxTrouve(TexteRecherche(QString()), flux, {true, true, true}));
    }

    void creerUneRubrique()
    {
        TdmRSS module(m_dialogues);
        const PRubrique r = module.creerRubrique("\xC9" "conomie");
        QVERIFY(r);
        QCOMPARE(r->getNom(), QStringLiteral("Économie"));
        QCOMPARE(r->getCouleur(), QByteArray());
        QCOMPARE(r->getIcone(), QString());
        QCOMPARE(module.getRubriquesBase(), QList<PRubrique>({r}));
        // Une autre casse fait un autre nom.
        QVERIFY(module.creerRubrique("\xC9" "CONOMIE"));
        QCOMPARE(module.getRubriquesBase().size(), 2);
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void lesDeuxRefusDeCreerRubrique()
    {
        TdmRSS module(m_dialogues);
        module.getRubriquesBase() << std::make_shared<TRubrique>(QStringLiteral("Économie"));

        QVERIFY(!module.creerRubrique(TexteEtroit()));
        QVERIFY(!module.creerRubrique("\xC9" "conomie"));
        QCOMPARE(module.getRubriquesBase().size(), 1);
        QCOMPARE(m_dialogues.boites.size(), 2);
        for (const BoiteNotee &boite : m_dialogues.boites) {
            QCOMPARE(boite.type, TypeBoite::Information);
            QCOMPARE(boite.boutons, BoutonsBoite::Ok);
        }
        QCOMPARE(m_dialogues.boites.at(0).texte, QStringLiteral("Impossible de créer le groupe ''."));
        QCOMPARE(m_dialogues.boites.at(1).texte,
                 QStringLiteral("Impossible de créer le groupe 'Économie'. \nCe groupe existe déjà !"));
    }

    void detruireUneRubrique_data()
    {
        QTest::addColumn<Reponse>("reponse");
        QTest::addColumn<QStringList>("restantes");
        QTest::newRow("oui") << Reponse::Oui << QStringList({QStringLiteral("sport"), QStringLiteral("Autre")});
        QTest::newRow("non") << Reponse::Non
                             << QStringList({QStringLiteral("Sport"), QStringLiteral("sport"), QStringLiteral("Autre"), QStringLiteral("Sport")});
        QTest::newRow("boîte fermée") << Reponse::Fermee
                                      << QStringList({QStringLiteral("Sport"), QStringLiteral("sport"), QStringLiteral("Autre"), QStringLiteral("Sport")});
    }

    void detruireUneRubrique()
    {
        QFETCH(Reponse, reponse);
        QFETCH(QStringList, restantes);
        TdmRSS module(m_dialogues);
        for (const char *nom : {"Sport", "sport", "Autre", "Sport"})
            module.getRubriquesBase() << std::make_shared<TRubrique>(QString::fromLatin1(nom));
        const PFlux flux = fluxNomme(QStringLiteral("u"));
        flux->rubriquesAssociees << "Sport";
        module.getFluxBase() << flux;
        m_dialogues.repondre({reponse});
        module.detruireRubrique(QStringLiteral("Sport"));
        QCOMPARE(nomsDe(module.getRubriquesBase()), restantes);
        QCOMPARE(flux->rubriquesAssociees, QList<TexteEtroit>({"Sport"}));
        QCOMPARE(m_dialogues.boites.size(), 1);
        QCOMPARE(m_dialogues.boites.first().type, TypeBoite::Avertissement);
        QCOMPARE(m_dialogues.boites.first().boutons, BoutonsBoite::OuiNon);
        QCOMPARE(m_dialogues.boites.first().texte,
                 QStringLiteral("Etes-vous sûr de vouloir supprimer la rubrique 'Sport' et tout ce qu'elle contient ?\n"));
    }
};

QTEST_GUILESS_MAIN(TestOperationsBase)
#include "tst_operationsbase.moc"
