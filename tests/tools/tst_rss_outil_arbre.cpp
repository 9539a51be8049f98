// rss-outil arbre : l'arbre XML d'un document en JSON, de bout en bout avec le vrai programme.

#include "OutilsTests.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

using Resultat = OutilsTests::ResultatOutil;
const auto lancer = OutilsTests::lancerRssOutil;

QJsonObject noeud(const QString &label, int image, const QJsonArray &enfants = {})
{
    return QJsonObject{{u"label"_qs, label}, {u"image"_qs, image}, {u"enfants"_qs, enfants}};
}

QJsonArray arbreDe(const Resultat &r)
{
    QJsonParseError erreur;
    const QJsonDocument document = QJsonDocument::fromJson(r.sortie, &erreur);
    if (erreur.error != QJsonParseError::NoError || !document.isArray())
        qWarning("sortie JSON invalide : %s", qPrintable(erreur.errorString()));
    return document.array();
}

} // namespace

class TestRssOutilArbre : public QObject
{
    Q_OBJECT

private slots:
    void arbreEnJson()
    {
        OutilsTests::DossierExecutable dossier;
        // Guillemets, barre oblique inverse, fin de ligne et tabulation dans un texte ; caractères
        // hors Windows-1252 (« ? ») et dans Windows-1252 (gardés) ; commentaire ; élément vide.
        const QString source = dossier.ecrire(
            u"flux.xml"_qs,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<rss version=\"2.0\">\n"
            "  <channel>\n"
            "    <title>Le \"fil\" \\ \xC3\xA9t\xC3\xA9 5 \xE2\x82\xAC \xE6\x97\xA5\xF0\x9F\x98\x80</title>\n"
            "    <description><![CDATA[ligne 1\nligne\t2]]></description>\n"
            "    <!-- note -->\n"
            "    <item><link/><dc:date>2026</dc:date></item>\n"
            "  </channel>\n"
            "</rss>\n");
        const Resultat r = lancer({u"arbre"_qs, source});
        QCOMPARE(r.code, 0);
        const QJsonArray attendu{noeud(
            u"channel"_qs, 51,
            {noeud(u"title"_qs, 33, {noeud(u"Le \"fil\" \\ été 5 € ??"_qs, -1)}),
             noeud(u"description"_qs, 108, {noeud(u"ligne 1\nligne\t2"_qs, -1)}),
             noeud(u"#comment"_qs, -1),
             noeud(u"item"_qs, 3, {noeud(u"link"_qs, 13), noeud(u"dc:date"_qs, 39, {noeud(u"2026"_qs, -1)})})})};
        QCOMPARE(arbreDe(r), attendu);
    }

    void fluxDExempleRss1()
    {
        const Resultat r = lancer({u"arbre"_qs, QStringLiteral(DOSSIER_BIN "/rss/journal-des-sciences.rdf")});
        QCOMPARE(r.code, 0);
        const QJsonArray arbre = arbreDe(r);
        QStringList premierNiveau;
        for (const QJsonValue &v : arbre)
            premierNiveau.append(v[u"label"].toString());
        QCOMPARE(premierNiveau, (QStringList{u"channel"_qs, u"image"_qs, u"item"_qs, u"item"_qs}));
        QCOMPARE(arbre[0][u"image"].toInt(), 51);
        QCOMPARE(arbre[2][u"image"].toInt(), 3);
        QCOMPARE(arbre[2][u"enfants"][0][u"enfants"][0][u"label"].toString(), u"Une comète visible à l'œil nu"_qs);
    }

    void documentProfond()
    {
        // L'écriture ne passe pas par QJsonDocument (récursif) : on compare le texte produit.
        constexpr int niveaux = 3000;
        OutilsTests::DossierExecutable dossier;
        QByteArray document;
        QByteArray attendu = "[";
        for (int i = 0; i < niveaux; ++i) {
            document.append("<a>");
            if (i > 0)
                attendu.append("{\"label\":\"a\",\"image\":-1,\"enfants\":[");
        }
        document.append("url");
        attendu.append("{\"label\":\"url\",\"image\":8,\"enfants\":[]}");
        for (int i = 0; i < niveaux; ++i) {
            document.append("</a>");
            if (i > 0)
                attendu.append("]}");
        }
        attendu.append("]\n");
        const Resultat r = lancer({u"arbre"_qs, dossier.ecrire(u"profond.xml"_qs, document)});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.sortie.size(), attendu.size());
        QVERIFY(r.sortie == attendu);
    }

    void echecsEtArguments()
    {
        OutilsTests::DossierExecutable dossier;
        const Resultat illisible = lancer({u"arbre"_qs, dossier.ecrire(u"x.xml"_qs, "<rss><channel>")});
        QCOMPARE(illisible.code, 1);
        QVERIFY(illisible.sortie.isEmpty());
        QVERIFY(illisible.erreur.contains("Une erreur est survenue lors de l'analyse du fichier."));
        const Resultat absent = lancer({u"arbre"_qs, dossier.chemin(u"absent.xml"_qs)});
        QCOMPARE(absent.code, 1);
        QVERIFY(absent.sortie.isEmpty());
        // Une racine sans enfant : un arbre vide, pas une erreur.
        const Resultat vide = lancer({u"arbre"_qs, dossier.ecrire(u"vide.xml"_qs, "<rss version=\"2.0\"/>")});
        QCOMPARE(vide.code, 0);
        QCOMPARE(vide.sortie, QByteArray("[]\n"));
        QCOMPARE(lancer({u"arbre"_qs}).code, 64);
        QCOMPARE(lancer({u"arbre"_qs, u"a.xml"_qs, u"b.xml"_qs}).code, 64);
        QVERIFY(lancer({u"--help"_qs}).sortie.contains("arbre SOURCE"));
    }
};

QTEST_GUILESS_MAIN(TestRssOutilArbre)
#include "tst_rss_outil_arbre.moc"
