// L'écriture JSON de rss-outil : octet pour octet ce qu'écrit QJsonDocument::toJson(Indented)
// pour le même document, textes difficiles compris (échappements, paires de substitution
// entières ou isolées, caractères hors du plan de base, conteneurs vides et imbriqués).

#include "EcritureJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Le même document des deux façons : { "a": texte, "b": [ {"c": texte, "d": []}, texte ],
// "e": {} }, puis un tableau de textes au premier niveau.
void comparerAvecQt(const QString &texte)
{
    QByteArray ecrit;
    {
        EcritureJson json(ecrit);
        json.ouvrirObjet();
        json.membre("a", texte);
        json.cle("b");
        json.ouvrirTableau();
        json.ouvrirObjet();
        json.membre("c", texte);
        json.cle("d");
        json.ouvrirTableau();
        json.fermerTableau();
        json.fermerObjet();
        json.texte(texte);
        json.fermerTableau();
        json.cle("e");
        json.ouvrirObjet();
        json.fermerObjet();
        json.fermerObjet();
    }
    const QJsonObject objet{{u"a"_qs, texte},
                            {u"b"_qs, QJsonArray{QJsonObject{{u"c"_qs, texte}, {u"d"_qs, QJsonArray()}}, texte}},
                            {u"e"_qs, QJsonObject()}};
    QCOMPARE(ecrit, QJsonDocument(objet).toJson(QJsonDocument::Indented));

    QByteArray tableau;
    {
        EcritureJson json(tableau);
        json.ouvrirTableau();
        json.texte(texte);
        json.texte(QString());
        json.fermerTableau();
    }
    QCOMPARE(tableau, QJsonDocument(QJsonArray{texte, QString()}).toJson(QJsonDocument::Indented));
}

} // namespace

class TestEcritureJson : public QObject
{
    Q_OBJECT

private slots:
    void commeQJsonDocument_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::newRow("vide") << QString();
        QTest::newRow("ascii") << u"Un flux, 100 % libre."_qs;
        QTest::newRow("guillemets et barres") << u"\"cité\" \\ / \\\\"_qs;
        QTest::newRow("contrôles") << QString::fromUtf16(u"\x01\x08\t\n\x0B\x0C\r\x1F\x7F");
        QTest::newRow("accents et symboles") << u"été — 5 € ± ½ 日本"_qs;
        QTest::newRow("hors du plan de base") << u"😀 𝄞"_qs;
        QTest::newRow("moitié haute isolée") << QString(QChar(0xD83D)) + u"a"_qs;
        QTest::newRow("moitié haute en fin") << u"a"_qs + QChar(0xD83D);
        QTest::newRow("moitié basse isolée") << QString(QChar(0xDE00)) + u"b"_qs;
        QTest::newRow("non-caractères") << QString::fromUtf16(u"\uFFFE\uFFFF\uFDD0");
        QTest::newRow("nul") << QString(QChar(0));
    }

    void commeQJsonDocument()
    {
        QFETCH(QString, texte);
        comparerAvecQt(texte);
    }

    void textesAuHasard()
    {
        const char16_t alphabet[] = u"aZ \"\\/\t\n\x01\x1F\x7F\x80\u00E9\u07FF\u0800\u20AC\xD83D\xDE00\uFFFF";
        QRandomGenerator hasard(7);
        for (int essai = 0; essai < 3000; ++essai) {
            QString texte;
            const int longueur = int(hasard.bounded(12));
            for (int k = 0; k < longueur; ++k)
                texte += QChar(alphabet[hasard.bounded(int(std::size(alphabet)) - 1)]);
            comparerAvecQt(texte);
        }
    }
};

QTEST_APPLESS_MAIN(TestEcritureJson)
#include "tst_ecriture_json.moc"
