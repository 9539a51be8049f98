// La page d'un flux, comparée octet pour octet à des fichiers attendus écrits à la main ; chaque
// description y reste dans sa cellule, lue par un analyseur HTML5.

#include "DialoguesScriptes.h"
#include "LecturePage.h"
#include "OutilsTests.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "render/PoidsPage.h"

#include <QDir>
#include <QTest>

class TestPageFlux : public QObject
{
    Q_OBJECT

private:
    QByteArray attendu(const QString &nom) { return OutilsTests::lireFichier(OutilsTests::donnees(QStringLiteral("page/") + nom)); }

    // Une page de document pour le flux de test donné.
    QString pageDocument(TdmRSS &module, const QString &flux)
    {
        if (!module.chargerDocumentXML(OutilsTests::donnees(QStringLiteral("page/") + flux)))
            return QString();
        return module.genererPageDocument();
    }

private slots:
    void pageDuDocumentOctetPourOctet_data()
    {
        QTest::addColumn<QString>("flux");
        QTest::addColumn<QString>("page");
        // Trois items teintés un sur deux, image, balisage et « & » tels quels (un titre qui ouvre
        // un élément sans le fermer, réécrit et fermé), caractères hors de Windows-1252 en « ? »
        // (une paire de substitution en un seul), saut de ligne gardé dans sa ligne, champ vide.
        QTest::newRow("trois items") << QStringLiteral("flux-trois-items.xml") << QStringLiteral("page-trois-items.html");
        // Ni image, ni item, ni description, ni pied renseigné : toutes les pièces fixes restent.
        QTest::newRow("flux vide") << QStringLiteral("flux-vide.xml") << QStringLiteral("page-vide.html");
    }

    void pageDuDocumentOctetPourOctet()
    {
        QFETCH(QString, flux);
        QFETCH(QString, page);
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        const QString chemin = pageDocument(module, flux);
        QCOMPARE(chemin, dossier.chemin(QStringLiteral("rss-temps.html")));
        QCOMPARE(chemin, Emplacement::cheminPage());
        const QByteArray obtenu = OutilsTests::lireFichier(chemin);
        QVERIFY(!obtenu.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(obtenu, attendu(page));
        QVERIFY(dialogues.boites.isEmpty());
    }

    void pageDesInformationsSauvegardees()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        module.chargerBase(OutilsTests::donnees(QStringLiteral("page/base-sauvegardees.xml")));
        const PFlux stocke = module.chercherFluxParUrl(QStringLiteral("http://127.0.0.1/favori.xml"));
        QVERIFY(stocke);
        pageDocument(module, QStringLiteral("flux-vide.xml"));
        const QString chemin = module.genererPageInfosSauvegardees(*stocke);
        QCOMPARE(chemin, Emplacement::cheminPage());
        const QByteArray obtenu = OutilsTests::lireFichier(chemin);
        QCOMPARE(obtenu, attendu(QStringLiteral("page-sauvegardees.html")));
        QCOMPARE(obtenu.count("<b>Informations sauvegard\xE9" "es</b>\r\n"), 1);
        QCOMPARE(obtenu.count("<center><h5><i>RSS - lang : "), 2);
    }

    void unFluxStockeSansInformationGardeSaBanniereEtUneTableVide()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        pageDocument(module, QStringLiteral("flux-vide.xml"));
        TFlux stocke;
        module.genererPageInfosSauvegardees(stocke);
        const QList<TexteEtroit> lignes = module.getLignesPage();
        // La page du document (15 lignes sans item), la bannière, puis une seconde page sans item.
        QCOMPARE(lignes.size(), 15 + 6 + 15);
        QCOMPARE(lignes.at(15), QByteArray("<hr>"));
        QCOMPARE(lignes.at(20), QByteArray("<hr>"));
        QCOMPARE(lignes.at(21 + 12), QByteArray("<table width=\"100%\" border=\"0\">"));
        QCOMPARE(lignes.at(21 + 13), QByteArray("</table>"));
    }

    void chaquePageRemplaceLaPrecedente()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        pageDocument(module, QStringLiteral("flux-trois-items.xml"));
        const QString chemin = pageDocument(module, QStringLiteral("flux-vide.xml"));
        QCOMPARE(OutilsTests::lireFichier(chemin), attendu(QStringLiteral("page-vide.html")));
        pageDocument(module, QStringLiteral("flux-trois-items.xml"));
        QCOMPARE(OutilsTests::lireFichier(chemin), attendu(QStringLiteral("page-trois-items.html")));
        // Aucun fichier temporaire laissé à côté.
        QCOMPARE(QDir(dossier.chemin()).entryList({QStringLiteral("rss-temps*")}, QDir::Files).size(), 1);
    }

    void genererPageFluxAjouteSansVider()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        TFlux flux;
        module.genererPageFlux(flux);
        module.genererPageFlux(flux);
        QCOMPARE(module.getLignesPage().size(), 30);
        QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminPage()).count("</i></h5></center>\r\n"), 2);
        pageDocument(module, QStringLiteral("flux-vide.xml"));
        QCOMPARE(module.getLignesPage().size(), 15);
    }

    void lesItemsAlternentLaCouleurDonnee()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        TFlux flux;
        for (int i = 0; i < 4; ++i)
            flux.infos.append(std::make_shared<TInfo>());
        module.ecrirePageFlux(flux, QStringLiteral("vert pâle"));
        const QList<TexteEtroit> lignes = module.getLignesPage();
        QCOMPARE(lignes.size(), 15 + 4 * 5);
        const QByteArray teinte("   <tr><td bgcolor=\"vert p\xE2le\">");
        QCOMPARE(lignes.at(13), teinte);
        QCOMPARE(lignes.at(18), QByteArray("   <tr><td>"));
        QCOMPARE(lignes.at(23), teinte);
        QCOMPARE(lignes.at(28), QByteArray("   <tr><td>"));
        QCOMPARE(lignes.at(14), QByteArray("      <a href=\"\"><h2></h2></a>"));
    }

    // Une description qui ouvrirait quelque chose sans le fermer : la page garde sa forme (chaque
    // information dans sa cellule, le pied en dernier) et la description son texte visible. Une
    // description sans rien à réparer est écrite telle quelle. De même quand la lecture d'un flux
    // sous xml:base l'a déjà lue pour ses adresses, et quand la page est réécrite avec les
    // descriptions que ses informations gardent.
    void descriptionsEquilibrees_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("visible");
        QTest::addColumn<bool>("telleQuelle");
        QTest::newRow("rien à réparer") << u"<p>Un <b>gras</b> &amp; <a href=\"http://127.0.0.1/\">lien</a><br></p>"_qs
                                        << u"Un gras & lien"_qs << true;
        QTest::newRow("plaintext") << u"a<plaintext>b <i>c</i>"_qs << u"ab <i>c</i>"_qs << false;
        QTest::newRow("table ouverte") << u"<table><tr><td>x"_qs << u"x"_qs << false;
        QTest::newRow("lien ouvert") << u"<a href=\"http://127.0.0.1/\">lien"_qs << u"lien"_qs << false;
        QTest::newRow("textarea ouvert") << u"<textarea>t"_qs << u"t"_qs << false;
        QTest::newRow("title ouvert") << u"v<title>t"_qs << u"v"_qs << false;
        QTest::newRow("commentaire ouvert") << u"a<!-- b"_qs << u"a"_qs << false;
        QTest::newRow("xmp ouvert") << u"<xmp>x<y>"_qs << u"x<y>"_qs << false;
        QTest::newRow("style ouvert") << u"v<style>p{}"_qs << u"v"_qs << false;
        QTest::newRow("script ouvert") << u"v<script><!--<script>"_qs << u"v"_qs << false;
        QTest::newRow("noscript ouvert") << u"<noscript><p>n"_qs << u"n"_qs << false;
        QTest::newRow("iframe ouvert") << u"v<iframe>x"_qs << u"v"_qs << false;
        QTest::newRow("fermetures de la page") << u"a</p></td></tr></table>b"_qs << u"ab"_qs << false;
        QTest::newRow("cellule hors table") << u"<td>x</td><tr>"_qs << u"x"_qs << false;
        QTest::newRow("balise inachevée") << u"a<img src=\"x"_qs << u"a"_qs << false;
        QTest::newRow("référence hors Windows-1252") << u"&#x4E2D;<b>x"_qs << u"中x"_qs << false;
    }

    void descriptionsEquilibrees()
    {
        QFETCH(QString, description);
        QFETCH(QString, visible);
        QFETCH(bool, telleQuelle);
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        TFlux flux;
        for (const auto &[titre, texte, date] : {std::tuple(u"T"_qs, description, u"D"_qs), std::tuple(u"Suivant"_qs, u"S"_qs, u"D2"_qs)}) {
            auto info = std::make_shared<TInfo>();
            info->setDonnees(titre, QString(), texte, date);
            flux.infos.append(info);
        }
        const QByteArray atom = "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"http://127.0.0.1/\"><entry><title>T</title>"
                                "<summary type=\"html\">" + description.toHtmlEscaped().toUtf8() + "</summary><updated>D</updated></entry>"
                                "<entry><title>Suivant</title><summary>S</summary><updated>D2</updated></entry></feed>";
        QVERIFY(module.chargerDocumentXML(dossier.ecrire(u"flux.xml"_qs, atom)));
        const PFlux lu = module.analyserFlux(module.XMLDoc);
        for (const TFlux *source : {&flux, &flux, lu.get(), lu.get()}) {
            TdmRSS ecrivain(dialogues);
            ecrivain.genererPageFlux(*source);
            const std::optional<QStringList> cellules = LecturePage::cellulesDesInformations(OutilsTests::lireFichier(Emplacement::cheminPage()));
            QVERIFY(cellules);
            QCOMPARE(*cellules, (QStringList{QString(u"T "_qs + visible + u" D"_qs).simplified(), u"Suivant S D2"_qs}));
            QCOMPARE(ecrivain.getLignesPage().at(15) == versEtroit(u"      <p>"_qs + description + u"</p>"_qs), telleQuelle);
        }
        // Une description changée ne garde rien de la précédente.
        flux.infos[0]->setDonnees(u"T"_qs, QString(), u"<b>neuf"_qs, u"D"_qs);
        module.genererPageFlux(flux);
        QCOMPARE(module.getLignesPage().at(15), versEtroit(u"      <p><b>neuf</b></p>"_qs));
    }

    // Une page qui passerait sa borne montre les informations qui tiennent, et dit combien la liste
    // en a de plus ; une valeur d'en-tête trop longue n'y est pas. La borne compte les octets, et
    // les éléments d'une description faite de balises seules, qui coûtent bien plus à la vue.
    void laPageSArreteASaBorne_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("montrees");
        QTest::addColumn<int>("restantes");
        QTest::addColumn<QByteArray>("nombreEcrit");
        const QString texte(TdmRSS::poidsMaxPage / PoidsPage::parOctet / 5, u'd');
        QTest::newRow("texte") << texte << 4 << 3 << QByteArray("3");
        QTest::newRow("balises") << u"<br>"_qs.repeated(TdmRSS::poidsMaxPage / PoidsPage::parNoeud / 10) << 7 << 3
                                 << QByteArray("3");
        // L'espace fine de la locale n'est pas en Windows-1252 : une espace insécable la remplace.
        QTest::newRow("milliers") << texte << 4 << 1000 << QByteArray("1\xA0" "000");
    }

    void laPageSArreteASaBorne()
    {
        QFETCH(QString, description);
        QFETCH(int, montrees);
        QFETCH(int, restantes);
        QFETCH(QByteArray, nombreEcrit);
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TFlux flux;
        flux.setDonnees(QString(TdmRSS::poidsMaxPage / PoidsPage::parOctet, u't'), QString(), QString(), QString(),
                        QString(), u"fr"_qs, QString());
        for (int i = 0; i < montrees + restantes; ++i) {
            flux.infos.append(std::make_shared<TInfo>());
            flux.infos.last()->setDonnees(u"titre"_qs, QString(), description, QString());
        }
        // La page réécrite, ses descriptions gardées, pèse ce que pesait la première.
        for (int fois = 0; fois < 2; ++fois) {
            TdmRSS ecrivain(dialogues);
            ecrivain.genererPageFlux(flux);
            const QByteArray page = OutilsTests::lireFichier(Emplacement::cheminPage());
            QCOMPARE(page.count("<h2>titre</h2>"), montrees);
            QVERIFY(page.contains("<b>(trop long pour la page)</b>"));
            const QByteArray fin = "<p><i>La page s'arr\xEAte ici : " + nombreEcrit
                + " informations de plus sont dans la liste.</i></p>\r\n<center><h5><i>RSS - lang : fr - ";
            QVERIFY(page.contains(fin));
        }
    }

    void uneEcritureImpossibleRemonteEtGardeLaPagePrecedente()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        const QString chemin = pageDocument(module, QStringLiteral("flux-vide.xml"));
        const QByteArray avant = OutilsTests::lireFichier(chemin);
        // Le dossier de l'exécutable n'existe plus : la page ne peut pas s'écrire.
        Emplacement::definirDossierExecutable(dossier.chemin(QStringLiteral("absent")));
        QVERIFY_THROWS_EXCEPTION(ErreurEcriture, pageDocument(module, QStringLiteral("flux-trois-items.xml")));
        QCOMPARE(OutilsTests::lireFichier(chemin), avant);
    }

    void unDocumentInactifNeDonnePasDePage()
    {
        OutilsTests::DossierExecutable dossier;
        DialoguesScriptes dialogues;
        TdmRSS module(dialogues);
        QVERIFY_THROWS_EXCEPTION(ErreurDocumentInactif, module.genererPageDocument());
        QVERIFY(!QFile::exists(Emplacement::cheminPage()));
    }
};

QTEST_GUILESS_MAIN(TestPageFlux)
#include "tst_pageflux.moc"
