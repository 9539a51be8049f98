// Listes d'abonnements OPML : lecture des outlines et de leurs dossiers, fusion dans les listes
// de la base, écriture de la liste et aller-retour.

#include "DescriptionBase.h"
#include "OutilsTests.h"

#include "base/ExportOpml.h"
#include "base/ImportOpml.h"
#include "commun/Erreurs.h"

#include <QDomDocument>
#include <QTest>

namespace {

QByteArray opml(const QByteArray &corps) { return "<?xml version=\"1.0\"?><opml version=\"2.0\"><head/><body>" + corps + "</body></opml>"; }

// « adresse|titre|lien|rubrique » par abonnement, séparés par « ; », puis « #N » pour N outlines
// écartés.
QString decrire(const ListeOpml &liste)
{
    QStringList lignes;
    for (const AbonnementOpml &a : liste.abonnements)
        lignes << QStringList{a.adresse, a.titre, a.lien, a.rubrique}.join(u'|');
    return lignes.join(u';') + (liste.ignores ? u'#' + QString::number(liste.ignores) : QString());
}

PFlux flux(const QString &adresse, const QString &titre, const QList<TexteEtroit> &rubriques = {},
           const QString &lien = QString())
{
    auto f = std::make_shared<TFlux>();
    f->setDonnees(titre, lien, QString(), QString(), QString(), QString(), QString());
    f->setUrlRss(adresse);
    f->rubriquesAssociees = rubriques;
    return f;
}

// Un niveau d'une liste écrite : « Dossier[...] » par dossier, le titre de chaque flux ; « +h »
// marque un flux qui porte un htmlUrl.
QString decrireNiveau(const QDomElement &parent)
{
    QStringList parties;
    for (QDomElement o = parent.firstChildElement(); !o.isNull(); o = o.nextSiblingElement()) {
        if (o.hasAttribute(u"xmlUrl"_qs))
            parties << o.attribute(u"title"_qs) + (o.hasAttribute(u"htmlUrl"_qs) ? u"+h"_qs : QString());
        else
            parties << o.attribute(u"text"_qs) + u'[' + decrireNiveau(o) + u']';
    }
    return parties.join(u',');
}

QString decrireListe(const QByteArray &octets)
{
    QDomDocument document;
    if (!document.setContent(octets))
        return u"<mal formé>"_qs;
    return decrireNiveau(document.documentElement().firstChildElement(u"body"_qs));
}

} // namespace

class TestOpml : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dossier;
    int m_numero = 0;

    ListeOpml lire(const QByteArray &document)
    {
        return lireListeOpml(
            OutilsTests::ecrireFichier(m_dossier.filePath(QStringLiteral("liste%1.opml").arg(++m_numero)), document));
    }

private slots:
    void lecture_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("à plat") << opml("<outline text=\"T\" xmlUrl=\"http://u1\"/><outline text=\"U\" xmlUrl=\"https://u2/f\"/>")
                                << u"http://u1|T||;https://u2/f|U||"_qs;
        QTest::newRow("title avant text, htmlUrl")
            << opml("<outline text=\"Te\" title=\"Ti\" xmlUrl=\"http://u\" htmlUrl=\"h\"/>") << u"http://u|Ti|h|"_qs;
        QTest::newRow("chemin des dossiers, pas le plus proche seul")
            << opml("<outline text=\"Tech\"><outline text=\"News\"><outline text=\"x\" xmlUrl=\"http://u1\"/></outline>"
                    "<outline text=\"y\" xmlUrl=\"http://u2\"/></outline><outline text=\"World\"><outline text=\"News\">"
                    "<outline text=\"z\" xmlUrl=\"http://u3\"/></outline></outline>")
            << u"http://u1|x||Tech / News;http://u2|y||Tech;http://u3|z||World / News"_qs;
        QTest::newRow("dossier nommé par title") << opml("<outline title=\"D\"><outline xmlUrl=\"http://u\"/></outline>")
                                                 << u"http://u|||D"_qs;
        QTest::newRow("flux dans un flux")
            << opml("<outline text=\"A\"><outline text=\"p\" xmlUrl=\"http://u1\"><outline text=\"e\" xmlUrl=\"http://u2\"/>"
                    "</outline></outline>")
            << u"http://u1|p||A;http://u2|e||A"_qs;
        QTest::newRow("dossier sans nom transparent")
            << opml("<outline text=\"A\"><outline><outline xmlUrl=\"http://u\"/></outline></outline>") << u"http://u|||A"_qs;
        QTest::newRow("OPML 1.0, hors outline ignoré, noms d'attributs sans casse")
            << QByteArray("<opml version=\"1.0\"><head><title>t</title></head><body><autre><outline xmlUrl=\"http://cache\"/>"
                          "</autre><outline text=\"t\" xmlUrl=\"http://u\" xmlurl=\"http://v\"/><outline TITLE=\"w\" "
                          "xmlurl=\"http://w\" HtmlUrl=\"h\"/></body></opml>")
            << u"http://u|t||;http://w|w|h|"_qs;
        // Un dossier de recherche, et des adresses qui ne mènent pas à un flux : écartés et comptés.
        QTest::newRow("adresses qui ne sont pas des flux")
            << opml("<outline title=\"Non lus\" text=\"Non lus\" type=\"vfolder\" xmlUrl=\"vfolder\"/>"
                    "<outline text=\"T\"><outline xmlUrl=\"/rel.xml\"/><outline xmlUrl=\"file:///etc/passwd\"/>"
                    "<outline xmlUrl=\"https://\"/><outline xmlUrl=\" HTTPS://H/f \"/><outline xmlUrl=\"  \"/></outline>")
            << u"HTTPS://H/f|||T#4"_qs;
    }

    void lecture()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, attendu);
        QCOMPARE(decrire(lire(document)), attendu);
    }

    void listeRefusee_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("pas du XML") << QByteArray("opml");
        QTest::newRow("mal formé") << QByteArray("<opml><body><outline></body></opml>");
        QTest::newRow("autre racine") << QByteArray("<rss><body/></rss>");
        QTest::newRow("sans body") << QByteArray("<opml><head/></opml>");
    }

    void listeRefusee()
    {
        QFETCH(QByteArray, document);
        QVERIFY_THROWS_EXCEPTION(ErreurChargementXML, lire(document));
    }

    void fusionDansLaBase()
    {
        QList<PFlux> fluxBase{flux(u"a"_qs, u"A"_qs, {"X"}), flux(u"b"_qs, u"B"_qs)};
        QList<PRubrique> rubriques{std::make_shared<TRubrique>(u"X"_qs), std::make_shared<TRubrique>(u"Y"_qs)};
        const ListeOpml liste{{{u"a"_qs, u"Autre titre"_qs, u"h"_qs, u"Y"_qs},
                                          {u"c"_qs, u"C"_qs, u"hc"_qs, u"Z"_qs},
                                          {u"c"_qs, u"C2"_qs, QString(), u"Z"_qs},
                                          {u"c"_qs, QString(), QString(), u"X"_qs},
                                          {u"b"_qs, QString(), QString(), QString()},
                                          {u"d"_qs, u"D"_qs, QString(), u"Économie 日本"_qs}}};
        const BilanImportOpml bilan = importerAbonnements(liste, fluxBase, rubriques);
        QCOMPARE(bilan.fluxAjoutes, 2);
        QCOMPARE(bilan.dejaPresents, 4);
        QCOMPARE(bilan.rubriquesCreees, 2);

        // La base d'avant reste telle quelle et en tête ; les flux nouveaux suivent.
        QList<PFlux> attendus{flux(u"a"_qs, u"A"_qs, {"X", "Y"}), flux(u"b"_qs, u"B"_qs),
                              flux(u"c"_qs, u"C"_qs, {"Z", "X"}, u"hc"_qs),
                              flux(u"d"_qs, u"D"_qs, {versEtroit(u"Économie ??"_qs)})};
        const QList<PRubrique> rubriquesAttendues{
            std::make_shared<TRubrique>(u"X"_qs), std::make_shared<TRubrique>(u"Y"_qs),
            std::make_shared<TRubrique>(u"Z"_qs), std::make_shared<TRubrique>(u"Économie ??"_qs)};
        QCOMPARE(decrireBase(fluxBase, rubriques), decrireBase(attendus, rubriquesAttendues));

        // Le même import une seconde fois ne change rien.
        const BilanImportOpml encore = importerAbonnements(liste, fluxBase, rubriques);
        QCOMPARE(encore.fluxAjoutes + encore.rubriquesCreees, 0);
        QCOMPARE(encore.dejaPresents, 6);
        QCOMPARE(decrireBase(fluxBase, rubriques), decrireBase(attendus, rubriquesAttendues));
    }

    void ecritureEtAllerRetour()
    {
        // « Tech / News » en dossiers imbriqués ; un caractère que XML refuse devient U+FFFD, compté.
        const QString titreInterdit = u"f4"_qs + QChar(0xD800) + u'\x01';
        const QList<PFlux> fluxBase{flux(u"http://u1"_qs, u"f1"_qs, {"X", "X"}, u"http://127.0.0.1/1"_qs),
                                    flux(u"http://u2"_qs, u"f2"_qs, {"Orphelin"}),
                                    flux(u"http://u3"_qs, u"f3 & <co>"_qs),
                                    flux(u"http://u4"_qs, titreInterdit, {""}),
                                    flux(u"http://u5"_qs, u"f5"_qs, {"Orphelin", "X"}),
                                    flux(u"http://u6"_qs, u"f6"_qs, {"Tech / News\x1f"}),
                                    flux(u"http://u7"_qs, u"f7"_qs, {"Tech"})};
        const QList<PRubrique> rubriques{std::make_shared<TRubrique>(u"X"_qs), std::make_shared<TRubrique>(u"Vide"_qs),
                                         std::make_shared<TRubrique>(u"X"_qs)};
        int remplacees = -1;
        const QByteArray liste = ecrireListeOpml(fluxBase, rubriques, &remplacees);
        QVERIFY(liste.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QCOMPARE(decrireListe(liste), u"X[f1+h,f5],Vide[],Orphelin[f2,f5],Tech[News\uFFFD[f6],f7],f3 & <co>,f4\uFFFD\uFFFD"_qs);
        QCOMPARE(remplacees, 2);

        // Relue dans une base vide : chaque flux, son titre et ses rubriques (un nom une fois).
        QList<PFlux> relus;
        QList<PRubrique> rubriquesRelues;
        importerAbonnements(lire(liste), relus, rubriquesRelues);
        const QList<PFlux> attendus{flux(u"http://u1"_qs, u"f1"_qs, {"X"}, u"http://127.0.0.1/1"_qs),
                                    flux(u"http://u5"_qs, u"f5"_qs, {"X", "Orphelin"}),
                                    flux(u"http://u2"_qs, u"f2"_qs, {"Orphelin"}),
                                    flux(u"http://u6"_qs, u"f6"_qs, {"Tech / News?"}),
                                    flux(u"http://u7"_qs, u"f7"_qs, {"Tech"}),
                                    flux(u"http://u3"_qs, u"f3 & <co>"_qs),
                                    flux(u"http://u4"_qs, u"f4\uFFFD\uFFFD"_qs)};
        const QList<PRubrique> rubriquesAttendues{
            std::make_shared<TRubrique>(u"X"_qs), std::make_shared<TRubrique>(u"Orphelin"_qs),
            std::make_shared<TRubrique>(u"Tech / News?"_qs), std::make_shared<TRubrique>(u"Tech"_qs)};
        QCOMPARE(decrireBase(relus, rubriquesRelues), decrireBase(attendus, rubriquesAttendues));
    }
};

QTEST_GUILESS_MAIN(TestOpml)
#include "tst_opml.moc"
