// Les octets du document de la base : toujours exactement ceux de QDomDocument::toByteArray(2),
// par le chemin direct (documents de la forme que la sauvegarde construit, textes difficiles
// compris) comme pour tout autre document, confié à toByteArray.

#include "base/OctetsBase.h"

#include <QDomDocument>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QByteArray declarationUtf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

QDomDocument lire(const QByteArray &octets)
{
    QDomDocument document;
    if (!document.setContent(octets))
        qFatal("document de test illisible");
    return document;
}

} // namespace

class TestOctetsBase : public QObject
{
    Q_OBJECT

private slots:
    void commeToByteArray_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("direct"); // le chemin direct le prend-il ?
        QTest::newRow("modèle vide") << declarationUtf8 + "<LecteurRSS_BASE/>" << true;
        QTest::newRow("sans déclaration") << QByteArray("<a><b>x</b><c/></a>") << true;
        QTest::newRow("déclaration sans codage") << QByteArray("<?xml version=\"1.0\"?><a><b>t</b></a>") << true;
        QTest::newRow("codage en minuscules, apostrophes") << QByteArray("<?xml version='1.0' encoding='utf-8'?><a/>") << true;
        QTest::newRow("autre codage") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xe9t\xe9</a>") << false;
        QTest::newRow("textes à échapper")
            << declarationUtf8 + "<a><b>&lt;p&gt; &amp; ]]&gt; ]&gt; \"'</b><c>&#xd;\r\n\t \xc3\xa9 \xf0\x9f\x98\x80</c></a>"
            << true;
        QTest::newRow("profond") << QByteArray("<a><b><c><d><e>fond</e></d></c></b><f/></a>") << true;
        QTest::newRow("attribut") << declarationUtf8 + "<a x=\"1\"><b>t</b></a>" << false;
        QTest::newRow("attribut plus bas") << QByteArray("<a><b y=\"&quot;\">t</b></a>") << false;
        QTest::newRow("commentaire") << declarationUtf8 + "<!-- modèle --><a><b>t</b></a>" << false;
        QTest::newRow("commentaire dans la racine") << QByteArray("<a><!-- c --><b/></a>") << false;
        QTest::newRow("CDATA") << QByteArray("<a><b><![CDATA[<x>]]></b></a>") << false;
        QTest::newRow("contenu mêlé") << QByteArray("<a>avant<b>t</b>après</a>") << false;
        QTest::newRow("deux textes") << QByteArray("<a><b>un<!-- -->deux</b></a>") << false;
        QTest::newRow("espace de noms") << QByteArray("<a xmlns=\"urn:x\"><b>t</b></a>") << false;
        QTest::newRow("préfixe") << QByteArray("<p:a xmlns:p=\"urn:x\"><p:b>t</p:b></p:a>") << false;
        QTest::newRow("type de document") << QByteArray("<!DOCTYPE a><a><b>t</b></a>") << false;
        QTest::newRow("instruction") << QByteArray("<?xml version=\"1.0\"?><?style x?><a/>") << false;
    }

    void commeToByteArray()
    {
        QFETCH(QByteArray, source);
        QFETCH(bool, direct);
        const QDomDocument document = lire(source);
        QCOMPARE(octetsDuDocument(document), document.toByteArray(2));
        const std::optional<QByteArray> directs = octetsDirectsDuDocument(document);
        QCOMPARE(directs.has_value(), direct);
        if (directs)
            QCOMPARE(*directs, document.toByteArray(2));
    }

    // Des arbres construits par l'API du DOM, comme la sauvegarde les construit, avec des textes
    // tirés d'un alphabet difficile (moitiés de paire isolées comprises).
    void arbresAuHasard()
    {
        const char16_t alphabet[] = u"a<>]&\"'\r\n\t \u00e9\u20ac\xD83D\xDE00\uFDD0";
        const QString noms[] = {u"flux"_qs, u"titre"_qs, u"info"_qs, u"x"_qs};
        QRandomGenerator hasard(11);
        for (int essai = 0; essai < 300; ++essai) {
            QDomDocument document = lire(declarationUtf8 + "<LecteurRSS_BASE/>");
            QList<QDomElement> ouverts{document.documentElement()};
            const int noeuds = int(hasard.bounded(40));
            for (int n = 0; n < noeuds; ++n) {
                QDomElement parent = ouverts.at(int(hasard.bounded(int(ouverts.size()))));
                // Un élément qui porte un texte ne reçoit plus d'enfant.
                if (parent.firstChild().isText())
                    continue;
                QDomElement element = document.createElement(noms[hasard.bounded(4)]);
                parent.appendChild(element);
                if (hasard.bounded(2) == 0) {
                    QString texte;
                    for (int k = int(hasard.bounded(8)); k > 0; --k)
                        texte += QChar(alphabet[hasard.bounded(int(std::size(alphabet)) - 1)]);
                    if (!texte.isEmpty())
                        element.appendChild(document.createTextNode(texte));
                } else {
                    ouverts.append(element);
                }
            }
            const std::optional<QByteArray> directs = octetsDirectsDuDocument(document);
            QVERIFY(directs);
            QCOMPARE(*directs, document.toByteArray(2));
        }
    }
};

QTEST_APPLESS_MAIN(TestOctetsBase)
#include "tst_octetsbase.moc"
