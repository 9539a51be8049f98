// Les enregistrements du modèle et le texte étroit.

#include "commun/TexteEtroit.h"
#include "model/TFlux.h"
#include "model/TObjetString.h"
#include "model/TRubrique.h"

#include <QTest>

class TestModele : public QObject
{
    Q_OBJECT

private slots:
    void fluxNeufEstVide()
    {
        TFlux flux;
        QVERIFY(flux.getTitre().isEmpty() && flux.getLien().isEmpty() && flux.getDescription().isEmpty());
        QVERIFY(flux.getCopyright().isEmpty() && flux.getDatePub().isEmpty() && flux.getLangue().isEmpty());
        QVERIFY(flux.getAuteur().isEmpty() && flux.getUrlRss().isEmpty());
        QVERIFY(flux.infos.isEmpty() && flux.rubriquesAssociees.isEmpty());
        const TImageFlux &image = flux.getImage();
        QVERIFY(image.getTitre().isEmpty() && image.getUrl().isEmpty() && image.getLargeur().isEmpty());
    }

    void setDonneesDuFluxBlanchitMaisGardeUrlRss()
    {
        TFlux flux;
        flux.setDonnees(u"t"_qs, u"l"_qs, u"d"_qs, u"c"_qs, u"p"_qs, u"fr"_qs, u"a"_qs);
        flux.setUrlRss(u"http://exemple/rss"_qs);
        flux.setDonnees({}, {}, {}, {}, {}, {}, {});
        QVERIFY(flux.getTitre().isEmpty());
        QVERIFY(flux.getAuteur().isEmpty());
        QCOMPARE(flux.getUrlRss(), u"http://exemple/rss"_qs);
    }

    void setDonneesDeLImageVideLesTroisAutresChamps()
    {
        TImageFlux image;
        image.setDescription(u"desc"_qs);
        image.setHauteur(u"31"_qs);
        image.setLargeur(u"88"_qs);
        image.setDonnees(u"titre"_qs, u"lien"_qs, u"url"_qs);
        QCOMPARE(image.getUrl(), u"url"_qs);
        QVERIFY(image.getDescription().isEmpty() && image.getHauteur().isEmpty() && image.getLargeur().isEmpty());
    }

    void egaliteDesInformations()
    {
        TInfo a, b, c, vide1, vide2;
        a.setDonnees(u"Titre"_qs, u"l"_qs, u"d"_qs, u"date"_qs);
        b.setDonnees(u"Titre"_qs, u"l"_qs, u"d"_qs, u"date"_qs);
        c.setDonnees(u"titre"_qs, u"l"_qs, u"d"_qs, u"date"_qs);
        QVERIFY(a == b);
        QVERIFY(a != c);
        QVERIFY(vide1 == vide2);
        b.setDonnees(u"Titre"_qs, u"l"_qs, u"d"_qs, u"autre date"_qs);
        QVERIFY(a != b);
    }

    void formesEtroitesDUneInformationSuiventSesTextes()
    {
        TInfo a;
        a.setDonnees(u"Été 日本"_qs, u"http://127.0.0.1/?x"_qs, u"« € »"_qs, u"date"_qs);
        QCOMPARE(a.getTitreEtroit(), QByteArray("\xc9t\xe9 ??"));
        QCOMPARE(a.getLienEtroit(), QByteArray("http://127.0.0.1/?x"));
        QCOMPARE(a.getDescriptionEtroit(), QByteArray("\xab \x80 \xbb"));
        // Une copie garde les formes de ses textes, même quand l'original change ensuite.
        const TInfo copie = a;
        a.setDonnees(u"autre"_qs, QString(), u"ą"_qs, QString());
        QCOMPARE(a.getTitreEtroit(), QByteArray("autre"));
        QCOMPARE(a.getLienEtroit(), QByteArray());
        QCOMPARE(a.getDescriptionEtroit(), QByteArray("?"));
        QCOMPARE(copie.getTitreEtroit(), QByteArray("\xc9t\xe9 ??"));
        QCOMPARE(copie.getDescriptionEtroit(), QByteArray("\xab \x80 \xbb"));
    }

    void rubriqueNeuve()
    {
        TRubrique r(u"Actualités"_qs);
        QCOMPARE(r.getNom(), u"Actualités"_qs);
        QVERIFY(r.getCouleur().isEmpty() && r.getIcone().isEmpty());
        QVERIFY(TRubrique(u"Sport"_qs).getNom() != TRubrique(u"sport"_qs).getNom());
    }

    void fichesDOnglet()
    {
        auto flux = std::make_shared<TFlux>();
        TObjetString fichier(u"/tmp/a.xml"_qs, u"Titre lu"_qs);
        QVERIFY(!fichier.getFlux());
        QCOMPARE(fichier.getTexte().value_or(QString()), u"Titre lu"_qs);
        TObjetString source(u"/tmp/copie.html"_qs, flux);
        QVERIFY(!source.getTexte().has_value());
        QCOMPARE(source.getFlux(), flux);
        TObjetString favori(u"/tmp/copie.html"_qs, u"/tmp/rss-temps.html"_qs, flux);
        QCOMPARE(favori.getFlux(), flux);
        QCOMPARE(favori.getTexte().value_or(QString()), u"/tmp/rss-temps.html"_qs);
    }

    // Une information rangée dans un flux de la base survit au flux affiché, qui, lui,
    // est libéré dès que plus rien ne le tient.
    void informationPartageeSurvitAuFluxAffiche()
    {
        TFlux base;
        std::weak_ptr<TFlux> temoin;
        {
            auto affiche = std::make_shared<TFlux>();
            auto info = std::make_shared<TInfo>();
            info->setDonnees(u"gardée"_qs, {}, {}, {});
            affiche->infos.append(info);
            base.infos.append(affiche->infos.first());
            temoin = affiche;
        }
        QVERIFY(temoin.expired());
        QCOMPARE(base.infos.size(), 1);
        QCOMPARE(base.infos.first()->getTitre(), u"gardée"_qs);
    }

    void texteEtroit_data()
    {
        QTest::addColumn<QString>("large");
        QTest::addColumn<QByteArray>("etroit");
        QTest::newRow("ascii") << u"abc <&>"_qs << QByteArray("abc <&>");
        QTest::newRow("latin-1") << u"été ÿ"_qs << QByteArray("\xe9t\xe9 \xff");
        QTest::newRow("plage 80-9F") << u"€ œ Ÿ … ‘’"_qs << QByteArray("\x80 \x9c \x9f \x85 \x91\x92");
        QTest::newRow("hors page de code") << u"日本 ą"_qs << QByteArray("?? ?");
        QTest::newRow("paire de substitution") << QString::fromUcs4(U"a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("vide") << QString() << QByteArray();
    }

    void texteEtroit()
    {
        QFETCH(QString, large);
        QFETCH(QByteArray, etroit);
        QCOMPARE(versEtroit(large), etroit);
    }

    void texteEtroitAllerRetourSurLes256Octets()
    {
        QByteArray tous;
        for (int i = 0; i < 256; ++i)
            tous.append(static_cast<char>(i));
        QCOMPARE(versEtroit(depuisEtroit(tous)), tous);
    }
};

QTEST_GUILESS_MAIN(TestModele)
#include "tst_modele.moc"
