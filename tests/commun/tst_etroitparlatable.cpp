// La conversion en Windows-1252 par table : chaque unité UTF-16, une à une, et les ajouts.

#include "commun/TexteEtroit.h"

#include <QTest>

class TestEtroitParLaTable : public QObject
{
    Q_OBJECT

private slots:
    void chaqueUniteDonneSonOctetOuPointDInterrogation()
    {
        // Les 256 caractères de Windows-1252 font l'aller-retour ; tout autre devient « ? ».
        QSet<char16_t> representables;
        for (int octet = 0; octet < 256; ++octet) {
            const TexteEtroit e(1, char(octet));
            const QString large = depuisEtroit(e);
            QCOMPARE(large.size(), 1);
            QCOMPARE(versEtroit(large), e);
            representables.insert(large.at(0).unicode());
        }
        QCOMPARE(representables.size(), 256);
        for (int u = 0; u < 0x10000; ++u) {
            if (representables.contains(char16_t(u)))
                continue;
            QCOMPARE(versEtroit(QString(QChar(char16_t(u)))), TexteEtroit("?"));
        }
        QCOMPARE(depuisEtroit("\x80\x9F\xE9"), QStringLiteral("€Ÿé"));
    }

    void lesPairesEtLesAjouts()
    {
        QCOMPARE(versEtroit(QStringLiteral("a😀b")), TexteEtroit("a?b"));
        QCOMPARE(versEtroit(QString(QChar(0xD800)) + u"x" + QChar(0xDC00)), TexteEtroit("?x?"));
        QCOMPARE(versEtroit(QString(QChar(0xD800))), TexteEtroit("?"));
        TexteEtroit sortie("d\xE9" "but ");
        ajouterEtroit(sortie, u"été 中");
        ajouterEtroit(sortie, QStringView());
        QCOMPARE(sortie, TexteEtroit("d\xE9" "but \xE9t\xE9 ?"));
    }
};

QTEST_GUILESS_MAIN(TestEtroitParLaTable)
#include "tst_etroitparlatable.moc"
