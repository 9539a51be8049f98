// Lecture de fichiers de base écrits à la main : chaque règle de lecture, les doublons,
// les éléments inconnus et les échecs.

#include "DescriptionBase.h"
#include "DialoguesScriptes.h"
#include "OutilsTests.h"

#include "base/TdmRSS.h"
#include "commun/Erreurs.h"

#include <QTest>

namespace {

QByteArray base(const QByteArray &contenuRacine)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE>\n<racine>\n" + contenuRacine
         + "\n</racine>\n</LecteurRSS_BASE>\n";
}

} // namespace

class TestChargementBase : public QObject
{
    Q_OBJECT

    OutilsTests::DossierExecutable *m_dossier = nullptr;
    DialoguesScriptes m_dialogues;
    std::unique_ptr<TdmRSS> m_module;

    // Charge le contenu donné comme fichier de base dans un module neuf.
    TdmRSS &charger(const QByteArray &contenu)
    {
        m_module = std::make_unique<TdmRSS>(m_dialogues);
        const QString chemin = m_dossier->ecrire(QStringLiteral("baseFlux.xml"), contenu);
        m_module->chargerBase(versEtroit(chemin));
        return *m_module;
    }

private slots:
    void init() { m_dossier = new OutilsTests::DossierExecutable; }
    void cleanup()
    {
        m_module.reset();
        delete m_dossier;
        QVERIFY(m_dialogues.boites.isEmpty());
    }

    void uneBaseCompleteSeLitChampParChamp()
    {
        TdmRSS &module = charger(base(R"(
<listeFlux>
  <flux>
    <titre>Le Monde &amp; co</titre><description>&lt;p&gt;Info&lt;/p&gt;</description>
    <lien>http://127.0.0.1/monde</lien><datePub>hier</datePub><langue>fr</langue>
    <auteur>redac@monde.example</auteur><copyright>© Monde</copyright>
    <urlrss>http://127.0.0.1/monde.xml</urlrss>
    <image><titre>Logo</titre><lien>http://127.0.0.1/l</lien><url>http://127.0.0.1/l.png</url>
      <description>Le logo</description><hauteur>31 px</hauteur><largeur>quatre-vingt-huit</largeur></image>
    <infos>
      <info><titre>Un</titre><titreEnTexte>oui</titreEnTexte><lien>http://127.0.0.1/1</lien><description>Premier</description><datePub>lundi</datePub></info>
      <info><titre>Deux</titre><lien>http://127.0.0.1/2</lien><description>Second</description><datePub></datePub></info>
    </infos>
    <rubriquesAssociees><rubrique><nom>Économie</nom></rubrique><rubrique><nom>Sport</nom></rubrique></rubriquesAssociees>
  </flux>
</listeFlux>
<listeRubriques>
  <rubrique><nom>Économie</nom><couleur>€ rouge</couleur><icone>icône 3</icone></rubrique>
</listeRubriques>)"));
        const QStringList attendu = {
            QStringLiteral("flux[0].titre = [Le Monde & co]"),
            // Un titre sans marque « titreEnTexte » est du HTML, comme dans toute base d'avant.
            QStringLiteral("flux[0].titreEnTexte = [0]"),
            QStringLiteral("flux[0].copyrightEnTexte = [0]"),
            QStringLiteral("flux[0].lien = [http://127.0.0.1/monde]"),
            QStringLiteral("flux[0].description = [<p>Info</p>]"),
            QStringLiteral("flux[0].copyright = [\\u00a9 Monde]"),
            QStringLiteral("flux[0].datePub = [hier]"),
            QStringLiteral("flux[0].langue = [fr]"),
            QStringLiteral("flux[0].auteur = [redac@monde.example]"),
            QStringLiteral("flux[0].urlrss = [http://127.0.0.1/monde.xml]"),
            QStringLiteral("flux[0].image.titre = [Logo]"),
            QStringLiteral("flux[0].image.lien = [http://127.0.0.1/l]"),
            QStringLiteral("flux[0].image.url = [http://127.0.0.1/l.png]"),
            QStringLiteral("flux[0].image.description = [Le logo]"),
            QStringLiteral("flux[0].image.hauteur = [31 px]"),
            QStringLiteral("flux[0].image.largeur = [quatre-vingt-huit]"),
            QStringLiteral("flux[0].infos[0].titre = [Un]"),
            QStringLiteral("flux[0].infos[0].titreEnTexte = [1]"),
            QStringLiteral("flux[0].infos[0].lien = [http://127.0.0.1/1]"),
            QStringLiteral("flux[0].infos[0].description = [Premier]"),
            QStringLiteral("flux[0].infos[0].datePub = [lundi]"),
            QStringLiteral("flux[0].infos[1].titre = [Deux]"),
            QStringLiteral("flux[0].infos[1].titreEnTexte = [0]"),
            QStringLiteral("flux[0].infos[1].lien = [http://127.0.0.1/2]"),
            QStringLiteral("flux[0].infos[1].description = [Second]"),
            QStringLiteral("flux[0].infos[1].datePub = []"),
            // Les noms de rubrique d'un flux et la couleur sont rangés en Windows-1252.
            QStringLiteral("flux[0].rubriquesAssociees[0] = [c9 63 6f 6e 6f 6d 69 65 ]"),
            QStringLiteral("flux[0].rubriquesAssociees[1] = [53 70 6f 72 74 ]"),
            QStringLiteral("rubriques[0].nom = [\\u00c9conomie]"),
            QStringLiteral("rubriques[0].couleur = [80 20 72 6f 75 67 65 ]"),
            QStringLiteral("rubriques[0].icone = [ic\\u00f4ne 3]"),
            QStringLiteral("1 flux, 1 rubriques"),
        };
        QCOMPARE(decrireBase(module.getFluxBase(), module.getRubriquesBase()), attendu);
    }

    void chaqueValeurSeLitSeuleEtRepartDeVide()
    {
        TdmRSS &module = charger(base(R"(
<listeFlux>
  <flux><titre>A</titre><auteur></auteur><langue/><copyright>© A</copyright><datePub>d</datePub></flux>
  <flux><titre>B</titre><auteur/><langue></langue></flux>
</listeFlux>)"));
        const QList<PFlux> &flux = module.getFluxBase();
        QCOMPARE(flux.size(), 2);
        QCOMPARE(flux[0]->getAuteur(), QString());
        QCOMPARE(flux[0]->getLangue(), QString());
        QCOMPARE(flux[0]->getCopyright(), QStringLiteral("© A"));
        // Le second flux n'a pas de copyright : rien ne vient du premier.
        QCOMPARE(flux[1]->getCopyright(), QString());
        QCOMPARE(flux[1]->getDatePub(), QString());
        QCOMPARE(flux[1]->getTitre(), QStringLiteral("B"));
        // Un flux sans image garde son image vide.
        QCOMPARE(flux[1]->getImage().getUrl(), QString());
    }

    void valeurDUnElement_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("CDATA") << QByteArray("<![CDATA[caché]]>") << QStringLiteral("caché");
        QTest::newRow("commentaire à côté") << QByteArray("texte<!-- note -->") << QStringLiteral("texte");
        QTest::newRow("sous-élément") << QByteArray("<b>gras</b>") << QString();
        QTest::newRow("texte et sous-élément") << QByteArray("avant<b>gras</b>") << QString();
        QTest::newRow("blancs seuls") << QByteArray("   \n  ") << QString();
        QTest::newRow("vide") << QByteArray("") << QString();
    }

    void valeurDUnElement()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(QString, attendu);
        TdmRSS &module = charger(base("<listeFlux><flux><titre>" + contenu + "</titre><lien>L</lien></flux></listeFlux>"));
        QCOMPARE(module.getFluxBase().size(), 1);
        QCOMPARE(module.getFluxBase()[0]->getTitre(), attendu);
        QCOMPARE(module.getFluxBase()[0]->getLien(), QStringLiteral("L"));
    }

    void lesDoublonsEtLesInconnus()
    {
        TdmRSS &module = charger(base(R"(
<inconnu><flux><titre>jamais lu</titre></flux></inconnu>
<listeRubriques><rubrique><nom>R1</nom><nom>R1 bis</nom><couleur>c</couleur><autre>x</autre></rubrique></listeRubriques>
<listeFlux>
  <flux>
    <titre>premier</titre><titre>second</titre><Titre>casse</Titre><inconnu>x</inconnu>
    <image><url>u1</url><hauteur>10</hauteur></image>
    <image><titre>t2</titre><url>u2</url><url>u3</url></image>
    <infos><info><titre>i1</titre><titre>i1 bis</titre></info><autre/><info><titre>i2</titre></info></infos>
    <infos><info><titre>i3</titre></info></infos>
    <rubriquesAssociees><rubrique><nom>X</nom><nom>Y</nom></rubrique><rubrique/><ref><nom>Z</nom></ref></rubriquesAssociees>
    <rubriquesAssociees><rubrique><nom>X</nom></rubrique></rubriquesAssociees>
  </flux>
  <autre/>
</listeFlux>
<listeRubriques><rubrique><nom>R2</nom></rubrique><rubrique><nom>R2</nom></rubrique></listeRubriques>
<listeFlux><flux><titre>dernier</titre></flux></listeFlux>)"));
        const QList<PFlux> &flux = module.getFluxBase();
        QCOMPARE(flux.size(), 2);
        QCOMPARE(flux[0]->getTitre(), QStringLiteral("second"));
        QCOMPARE(flux[1]->getTitre(), QStringLiteral("dernier"));
        // La seconde image remplace la première en entier : sa hauteur est vide.
        QCOMPARE(flux[0]->getImage().getTitre(), QStringLiteral("t2"));
        QCOMPARE(flux[0]->getImage().getUrl(), QStringLiteral("u3"));
        QCOMPARE(flux[0]->getImage().getHauteur(), QString());
        QStringList titres;
        for (const PInfo &info : flux[0]->infos)
            titres << info->getTitre();
        QCOMPARE(titres, QStringList({QStringLiteral("i1 bis"), QStringLiteral("i2"), QStringLiteral("i3")}));
        // Une référence sans nom ajoute un nom vide ; rien n'est dédoublonné.
        QCOMPARE(flux[0]->rubriquesAssociees, QList<TexteEtroit>({"Y", "", "X"}));
        QStringList noms;
        for (const PRubrique &r : module.getRubriquesBase())
            noms << r->getNom();
        QCOMPARE(noms, QStringList({QStringLiteral("R1 bis"), QStringLiteral("R2"), QStringLiteral("R2")}));
        QCOMPARE(module.getRubriquesBase()[0]->getCouleur(), QByteArray("c"));
        QCOMPARE(module.getRubriquesBase()[1]->getCouleur(), QByteArray());
        QCOMPARE(module.getRubriquesBase()[1]->getIcone(), QString());
    }

    void laRacineEtSonPremierEnfantSeLisentQuelQueSoitLeurNom()
    {
        TdmRSS &module = charger(QByteArrayLiteral(R"(<?xml version="1.0"?>
<AutreBase><premier><listeFlux><flux><titre>lu</titre></flux></listeFlux></premier>
<racine><listeFlux><flux><titre>jamais lu</titre></flux></listeFlux></racine></AutreBase>)"));
        QCOMPARE(module.getFluxBase().size(), 1);
        QCOMPARE(module.getFluxBase()[0]->getTitre(), QStringLiteral("lu"));
    }

    void lesCommentairesAvantLePremierElementSontSautes()
    {
        // Un commentaire, une instruction de traitement et un texte avant le premier élément de la
        // racine ne prennent pas sa place ; les commentaires plus bas ne gênent pas non plus.
        TdmRSS &module = charger(QByteArrayLiteral(R"(<?xml version="1.0"?>
<LecteurRSS_BASE><!-- sauvegarde du 7 décembre --><?note rien?>texte
<racine><!-- ici aussi --><listeFlux><flux><titre>gardé</titre></flux></listeFlux>
<listeRubriques><rubrique><nom>R</nom></rubrique></listeRubriques></racine>
<second><listeFlux><flux><titre>jamais lu</titre></flux></listeFlux></second></LecteurRSS_BASE>)"));
        QCOMPARE(module.getFluxBase().size(), 1);
        QCOMPARE(module.getFluxBase()[0]->getTitre(), QStringLiteral("gardé"));
        QCOMPARE(module.getRubriquesBase().size(), 1);
    }

    void desListesVidesSeLisentVides()
    {
        TdmRSS &module = charger(base("<listeFlux/><listeRubriques></listeRubriques>"));
        QVERIFY(module.getFluxBase().isEmpty());
        QVERIFY(module.getRubriquesBase().isEmpty());
        TdmRSS &autre = charger(base(""));
        QVERIFY(autre.getFluxBase().isEmpty());
    }

    void lesFinsDeLigneSuiventLesReglesXML()
    {
        // Un CR écrit tel quel devient LF ; un CR écrit en référence reste un CR.
        TdmRSS &module = charger(base("<listeFlux><flux><titre>a\r\nb\rc</titre><lien>a&#13;&#10;b&#xD;c</lien>"
                                      "<description>  espaces autour  </description></flux></listeFlux>"));
        const TFlux &flux = *module.getFluxBase()[0];
        QCOMPARE(flux.getTitre(), QStringLiteral("a\nb\nc"));
        QCOMPARE(flux.getLien(), QStringLiteral("a\r\nb\rc"));
        QCOMPARE(flux.getDescription(), QStringLiteral("  espaces autour  "));
    }

    void unNomHorsDeWindows1252DevientPointDInterrogation()
    {
        TdmRSS &module = charger(base("<listeFlux><flux><rubriquesAssociees><rubrique><nom>新闻 €</nom></rubrique>"
                                      "</rubriquesAssociees></flux></listeFlux>"
                                      "<listeRubriques><rubrique><nom>新闻</nom><couleur>绿</couleur></rubrique></listeRubriques>"));
        QCOMPARE(module.getFluxBase()[0]->rubriquesAssociees, QList<TexteEtroit>({"?? \x80"}));
        QCOMPARE(module.getRubriquesBase()[0]->getNom(), QStringLiteral("新闻"));
        QCOMPARE(module.getRubriquesBase()[0]->getCouleur(), QByteArray("?"));
    }

    void leChargementAjouteAuxListes()
    {
        TdmRSS &module = charger(base("<listeFlux><flux><titre>1</titre></flux></listeFlux>"
                                      "<listeRubriques><rubrique><nom>R</nom></rubrique></listeRubriques>"));
        module.chargerBase(m_dossier->chemin(QStringLiteral("baseFlux.xml")));
        QCOMPARE(module.getFluxBase().size(), 2);
        QCOMPARE(module.getRubriquesBase().size(), 2);
        QVERIFY(module.getFluxBase()[0] != module.getFluxBase()[1]);
    }

    void lesEchecsRemontentSansRienAjouter_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<bool>("erreurIndex");
        QTest::newRow("mal formé") << base("<listeFlux><flux><titre>x</flux></listeFlux>") << false;
        QTest::newRow("vide") << QByteArray() << false;
        QTest::newRow("racine sans enfant") << QByteArray("<?xml version=\"1.0\"?><LecteurRSS_BASE/>") << true;
        QTest::newRow("racine de blancs") << QByteArray("<LecteurRSS_BASE>\n   \n</LecteurRSS_BASE>") << true;
        QTest::newRow("racine sans élément") << QByteArray("<LecteurRSS_BASE><!-- rien --></LecteurRSS_BASE>") << true;
    }

    void lesEchecsRemontentSansRienAjouter()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(bool, erreurIndex);
        TdmRSS module(m_dialogues);
        const QString chemin = m_dossier->ecrire(QStringLiteral("baseFlux.xml"), contenu);
        try {
            module.chargerBase(chemin);
            QFAIL("le chargement aurait dû échouer");
        } catch (const ErreurIndexXML &) {
            QVERIFY(erreurIndex);
        } catch (const ErreurChargementXML &e) {
            QVERIFY(!erreurIndex);
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(module.getFluxBase().isEmpty());
        QVERIFY(module.getRubriquesBase().isEmpty());
        QVERIFY_THROWS_EXCEPTION(ErreurChargementXML, module.chargerBase(m_dossier->chemin(QStringLiteral("absent.xml"))));
    }

    // La base est le fichier de l'utilisateur : les budgets d'un flux venu d'ailleurs (1,5 M nœuds)
    // ne la refusent pas.
    void uneBasePlusGrandeQuUnFluxSeLit()
    {
        TdmRSS &module = charger(base("<listeFlux><flux><titre>grand</titre>" + QByteArray("<x/>").repeated(1'600'000)
                                      + "</flux></listeFlux>"));
        QCOMPARE(module.getFluxBase().size(), 1);
        QCOMPARE(module.getFluxBase().at(0)->getTitre(), u"grand"_qs);
    }

    void leDocumentDeLectureNEstPasTouche()
    {
        TdmRSS &module = charger(base("<listeFlux><flux><titre>1</titre></flux></listeFlux>"));
        QVERIFY(!module.XMLDoc.estActif());
        // L'arbre de la base lue ne reste pas en mémoire à côté des listes.
        QVERIFY(!module.XMLDocWriter.estActif());
        QVERIFY(module.XMLDocWriter.dom().isNull());
    }

    void unCheminHorsDeWindows1252SeLitParLaFormeLarge()
    {
        const QString chemin = m_dossier->ecrire(QStringLiteral("базы/baseFlux.xml"),
                                                 base("<listeFlux><flux><titre>ok</titre></flux></listeFlux>"));
        TdmRSS module(m_dialogues);
        module.chargerBase(chemin);
        QCOMPARE(module.getFluxBase().size(), 1);
        // La forme étroite du même chemin n'y mène plus.
        TdmRSS autre(m_dialogues);
        QVERIFY_THROWS_EXCEPTION(ErreurChargementXML, autre.chargerBase(versEtroit(chemin)));
    }
};

QTEST_GUILESS_MAIN(TestChargementBase)
#include "tst_chargementbase.moc"
