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

// « adresse|titre|lien|rubrique » par abonnement, séparés par « ; ».
QString decrire(const QList<AbonnementOpml> &abonnements)
{
    QStringList lignes;
    for (const AbonnementOpml &a : abonnements)
        lignes << QStringList{a.adresse, a.titre, a.lien, a.rubrique}.join(u'|');
    return lignes.join(u';');
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

// Le corps d'une liste écrite : « Dossier[titre,titre] » par dossier, puis les titres du premier
// niveau ; « +h » marque un flux qui porte un htmlUrl.
QString decrireListe(const QByteArray &octets)
{
    QDomDocument document;
    if (!document.setContent(octets))
        return u"<mal formé>"_qs;
    QStringList parties;
    const QDomElement corps = document.documentElement().firstChildElement(u"body"_qs);
    for (QDomElement o = corps.firstChildElement(); !o.isNull(); o = o.nextSiblingElement()) {
        const auto decrireFlux = [](const QDomElement &f) -> QString {
            return f.attribute(u"title"_qs) + (f.hasAttribute(u"htmlUrl"_qs) ? u"+h"_qs : QString());
        };
        if (o.hasAttribute(u"xmlUrl"_qs)) {
            parties << decrireFlux(o);
            continue;
        }
        QStringList enfants;
        for (QDomElement f = o.firstChildElement(); !f.isNull(); f = f.nextSiblingElement())
            enfants << decrireFlux(f);
        parties << o.attribute(u"text"_qs) + u'[' + enfants.join(u',') + u']';
    }
    return parties.join(u' ');
}

} // namespace

class TestOpml : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dossier;
    int m_numero = 0;

    QList<AbonnementOpml> lire(const QByteArray &document)
    {
        return lireListeOpml(
            OutilsTests::ecrireFichier(m_dossier.filePath(QStringLiteral("liste%1.opml").arg(++m_numero)), document));
    }

private slots:
    void lecture_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("à plat") << opml("<outline text=\"T\" xmlUrl=\"u1\"/><outline text=\"U\" xmlUrl=\"u2\"/>")
                                << u"u1|T||;u2|U||"_qs;
        QTest::newRow("title avant text, htmlUrl")
            << opml("<outline text=\"Te\" title=\"Ti\" xmlUrl=\"u\" htmlUrl=\"h\"/>") << u"u|Ti|h|"_qs;
        QTest::newRow("le dossier le plus proche")
            << opml("<outline text=\"A\"><outline text=\"B\"><outline text=\"x\" xmlUrl=\"u1\"/></outline>"
                    "<outline text=\"y\" xmlUrl=\"u2\"/></outline><outline text=\"z\" xmlUrl=\"u3\"/>")
            << u"u1|x||B;u2|y||A;u3|z||"_qs;
        QTest::newRow("dossier nommé par title") << opml("<outline title=\"D\"><outline xmlUrl=\"u\"/></outline>")
                                                 << u"u|||D"_qs;
        QTest::newRow("flux dans un flux")
            << opml("<outline text=\"A\"><outline text=\"p\" xmlUrl=\"u1\"><outline text=\"e\" xmlUrl=\"u2\"/>"
                    "</outline></outline>")
            << u"u1|p||A;u2|e||A"_qs;
        QTest::newRow("dossier sans nom") << opml("<outline text=\"A\"><outline><outline xmlUrl=\"u\"/></outline></outline>")
                                          << u"u|||"_qs;
        QTest::newRow("OPML 1.0, hors outline ignoré")
            << QByteArray("<opml version=\"1.0\"><head><title>t</title></head><body><autre><outline xmlUrl=\"cache\"/>"
                          "</autre><outline text=\"t\" xmlUrl=\"u\" xmlurl=\"v\"/><outline xmlurl=\"w\"/></body></opml>")
            << u"u|t||"_qs;
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
        const QList<AbonnementOpml> liste{{u"a"_qs, u"Autre titre"_qs, u"h"_qs, u"Y"_qs},
                                          {u"c"_qs, u"C"_qs, u"hc"_qs, u"Z"_qs},
                                          {u"c"_qs, u"C2"_qs, QString(), u"Z"_qs},
                                          {u"c"_qs, QString(), QString(), u"X"_qs},
                                          {u"b"_qs, QString(), QString(), QString()},
                                          {u"d"_qs, u"D"_qs, QString(), u"Économie 日本"_qs}};
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
        const QList<PFlux> fluxBase{flux(u"u1"_qs, u"f1"_qs, {"X", "X"}, u"http://127.0.0.1/1"_qs),
                                    flux(u"u2"_qs, u"f2"_qs, {"Orphelin"}),
                                    flux(u"u3"_qs, u"f3 & <co>"_qs),
                                    flux(u"u4"_qs, u"f4"_qs, {""}),
                                    flux(u"u5"_qs, u"f5"_qs, {"Orphelin", "X"})};
        const QList<PRubrique> rubriques{std::make_shared<TRubrique>(u"X"_qs), std::make_shared<TRubrique>(u"Vide"_qs),
                                         std::make_shared<TRubrique>(u"X"_qs)};
        const QByteArray liste = ecrireListeOpml(fluxBase, rubriques);
        QVERIFY(liste.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QCOMPARE(decrireListe(liste), u"X[f1+h,f5] Vide[] Orphelin[f2,f5] f3 & <co> f4"_qs);

        // Relue dans une base vide : chaque flux, son titre et ses rubriques (un nom une fois).
        QList<PFlux> relus;
        QList<PRubrique> rubriquesRelues;
        importerAbonnements(lire(liste), relus, rubriquesRelues);
        const QList<PFlux> attendus{flux(u"u1"_qs, u"f1"_qs, {"X"}, u"http://127.0.0.1/1"_qs),
                                    flux(u"u5"_qs, u"f5"_qs, {"X", "Orphelin"}), flux(u"u2"_qs, u"f2"_qs, {"Orphelin"}),
                                    flux(u"u3"_qs, u"f3 & <co>"_qs), flux(u"u4"_qs, u"f4"_qs)};
        const QList<PRubrique> rubriquesAttendues{std::make_shared<TRubrique>(u"X"_qs),
                                                  std::make_shared<TRubrique>(u"Orphelin"_qs)};
        QCOMPARE(decrireBase(relus, rubriquesRelues), decrireBase(attendus, rubriquesAttendues));
    }
};

QTEST_GUILESS_MAIN(TestOpml)
#include "tst_opml.moc"
