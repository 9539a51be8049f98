// Écriture du fichier de base : ordre des éléments, modèle relu à chaque fois, remplacement
// d'un seul coup, et allers-retours de bases tirées au hasard.

#include "DescriptionBase.h"
#include "DialoguesScriptes.h"
#include "LimiteEcriture.h"
#include "OutilsTests.h"

#include "base/CodageBase.h"
#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QDir>
#include <QDomDocument>
#include <QRandomGenerator>
#include <QTest>

namespace {

// L'arbre d'un fichier écrit, un élément par ligne : profondeur, nom et valeur texte.
QStringList arbre(const QByteArray &contenu)
{
    QDomDocument document;
    if (!document.setContent(contenu))
        return {QStringLiteral("illisible")};
    QStringList lignes;
    std::function<void(const QDomNode &, int)> parcourir = [&](const QDomNode &noeud, int profondeur) {
        for (QDomNode e = noeud.firstChild(); !e.isNull(); e = e.nextSibling()) {
            if (e.isElement()) {
                QString ligne = QString(profondeur * 2, QLatin1Char(' ')) + e.nodeName();
                if (e.firstChild().isText())
                    ligne += QStringLiteral(" = ") + texteLisible(e.firstChild().nodeValue());
                lignes << ligne;
                parcourir(e, profondeur + 1);
            }
        }
    };
    parcourir(document, 0);
    return lignes;
}

// Des valeurs tirées au hasard parmi ce qui met un fichier XML en difficulté.
class Tirage
{
public:
    explicit Tirage(quint32 graine) : m_hasard(graine) {}

    int entier(int borne) { return int(m_hasard.bounded(borne)); }

    QString valeur()
    {
        switch (entier(10)) {
        case 0:
            return QString();
        case 1: // rien que des blancs
        {
            static const QStringList blancs = {QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("\n"),
                                               QStringLiteral("\r"), QStringLiteral("\r\n"), QStringLiteral("\u00A0"),
                                               QStringLiteral("\u3000"), QStringLiteral("\u2028"), QStringLiteral("\u0085")};
            QString v;
            for (int i = 0, n = 1 + entier(4); i < n; ++i)
                v += blancs.at(entier(int(blancs.size())));
            return v;
        }
        case 2: // un long texte
        {
            QString v;
            while (v.size() < 3000 + entier(3000))
                v += morceau();
            return v;
        }
        default: {
            QString v;
            for (int i = 0, n = 1 + entier(6); i < n; ++i)
                v += morceau();
            return v;
        }
        }
    }

    TexteEtroit etroit()
    {
        TexteEtroit v;
        for (int i = 0, n = entier(8); i < n; ++i)
            v += char(entier(256));
        return v;
    }

private:
    QString morceau()
    {
        static const QStringList morceaux = {
            QStringLiteral("mot"), QStringLiteral(" "), QStringLiteral("  début"), QStringLiteral("fin  "),
            QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n"),
            QStringLiteral("<b>"), QStringLiteral("&amp;"), QStringLiteral("&"), QStringLiteral("<"), QStringLiteral(">"),
            QStringLiteral("]]>"), QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("<![CDATA[x]]>"),
            QStringLiteral("<!-- c -->"), QStringLiteral("é"), QStringLiteral("Œ€"), QStringLiteral("中文"),
            QStringLiteral("😀"), QStringLiteral("\u00A0"), QStringLiteral("\uFDD0"), QStringLiteral("\uFDD00041"),
            QStringLiteral("\uFDD0zz"), QStringLiteral("\uFEFF"), QStringLiteral("\u0081"), QStringLiteral("%1"),
        };
        switch (entier(8)) {
        case 0: // un caractère que XML 1.0 ne peut pas porter
        {
            static const char16_t interdits[] = {0x0000, 0x0001, 0x0008, 0x000B, 0x000C, 0x001F,
                                                 0xFFFE, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF};
            return QString(QChar(interdits[entier(std::size(interdits))]));
        }
        case 1: // n'importe quelle unité UTF-16
            return QString(QChar(char16_t(entier(0x10000))));
        default:
            return morceaux.at(entier(int(morceaux.size())));
        }
    }

    QRandomGenerator m_hasard;
};

void remplirAuHasard(TdmRSS &module, Tirage &t)
{
    QList<TexteEtroit> noms;
    for (int i = 0, n = t.entier(4); i < n; ++i)
        noms << t.etroit();
    for (int i = 0, n = t.entier(5); i < n; ++i) {
        auto flux = std::make_shared<TFlux>();
        for (int k = 0, m = t.entier(5); k < m; ++k) {
            auto info = std::make_shared<TInfo>();
            info->setDonnees(t.valeur(), t.valeur(), t.valeur(), t.valeur());
            info->setTitreEnTexte(t.entier(2));
            flux->infos.append(info);
            // Parfois le même objet deux fois.
            if (t.entier(8) == 0)
                flux->infos.append(info);
        }
        if (t.entier(2)) {
            auto image = std::make_unique<TImageFlux>();
            image->setDonnees(t.valeur(), t.valeur(), t.valeur());
            image->setDescription(t.valeur());
            image->setHauteur(t.valeur());
            image->setLargeur(t.valeur());
            flux->setImage(std::move(image));
        }
        for (int k = 0, m = t.entier(4); k < m; ++k)
            flux->rubriquesAssociees << (noms.isEmpty() || t.entier(3) == 0 ? t.etroit() : noms.at(t.entier(int(noms.size()))));
        flux->setDonnees(t.valeur(), t.valeur(), t.valeur(), t.valeur(), t.valeur(), t.valeur(), t.valeur());
        flux->setTitreEnTexte(t.entier(2));
        flux->setCopyrightEnTexte(t.entier(2));
        flux->setUrlRss(t.valeur());
        module.getFluxBase().append(flux);
    }
    for (int i = 0, n = t.entier(5); i < n; ++i) {
        auto rubrique = std::make_shared<TRubrique>(t.entier(4) == 0 || noms.isEmpty() ? t.valeur()
                                                                                       : depuisEtroit(noms.at(t.entier(int(noms.size())))));
        rubrique->setCouleur(t.etroit());
        rubrique->setIcone(t.valeur());
        module.getRubriquesBase().append(rubrique);
    }
}

} // namespace

class TestSauvegardeBase : public QObject
{
    Q_OBJECT

    DialoguesScriptes m_dialogues;

private slots:
    void cleanup() { QVERIFY(m_dialogues.boites.isEmpty()); }

    void lesElementsSontEcritsDansLOrdre()
    {
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        auto flux = std::make_shared<TFlux>();
        flux->setDonnees(QStringLiteral("T"), QStringLiteral("L"), QStringLiteral("D"), QStringLiteral("C"),
                         QStringLiteral("P"), QStringLiteral("fr"), QStringLiteral("A"));
        flux->setUrlRss(QStringLiteral("U"));
        auto info = std::make_shared<TInfo>();
        info->setDonnees(QStringLiteral("it"), QStringLiteral("il"), QStringLiteral("id"), QString());
        info->setTitreEnTexte(true);
        flux->infos << info;
        flux->rubriquesAssociees << "\xC9t\xE9";
        module.getFluxBase() << flux << std::make_shared<TFlux>();
        auto rubrique = std::make_shared<TRubrique>(QStringLiteral("R"));
        rubrique->setCouleur("\x80");
        module.getRubriquesBase() << rubrique;

        const QString chemin = module.sauvegarderBase();
        QCOMPARE(chemin, dossier.chemin(QStringLiteral("baseFlux.xml")));
        const QByteArray contenu = OutilsTests::lireFichier(chemin);
        QVERIFY(contenu.startsWith("<?xml version='1.0' encoding='UTF-8'?>"));
        // Le fichier est en UTF-8.
        QVERIFY(contenu.contains("<nom>\xC3\x89t\xC3\xA9</nom>"));
        QVERIFY(contenu.contains("<couleur>\xE2\x82\xAC</couleur>"));
        const QString image = QStringLiteral("        image|          titre|          lien|          url|"
                                             "          description|          hauteur|          largeur|");
        const QString texte = QStringLiteral(
            "LecteurRSS_BASE|  racine|    listeFlux|"
            "      flux|        titre = T|        description = D|        lien = L|        datePub = P|"
            "        langue = fr|        auteur = A|        copyright = C|        urlrss = U|")
            + image
            + QStringLiteral("        infos|          info|            titre = it|            titreEnTexte = oui|            lien = il|"
                             "            description = id|            datePub|"
                             "        rubriquesAssociees|          rubrique|            nom = \\u00c9t\\u00e9|"
                             "      flux|        titre|        description|        lien|        datePub|"
                             "        langue|        auteur|        copyright|        urlrss|")
            + image
            + QStringLiteral("        infos|        rubriquesAssociees|"
                             "    listeRubriques|      rubrique|        nom = R|        couleur = \\u20ac|        icone");
        const QStringList attendu = texte.split(QLatin1Char('|'));
        QCOMPARE(arbre(contenu), attendu);
    }

    void desListesVidesDonnentDesListesVides()
    {
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        const QByteArray contenu = OutilsTests::lireFichier(module.sauvegarderBase());
        QCOMPARE(arbre(contenu), QStringList({QStringLiteral("LecteurRSS_BASE"), QStringLiteral("  racine"),
                                              QStringLiteral("    listeFlux"), QStringLiteral("    listeRubriques")}));
    }

    void deuxSauvegardesDonnentLeMemeFichier()
    {
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        Tirage tirage(7);
        remplirAuHasard(module, tirage);
        const QByteArray premier = OutilsTests::lireFichier(module.sauvegarderBase());
        const QByteArray second = OutilsTests::lireFichier(module.sauvegarderBase());
        QCOMPARE(second, premier);
        QCOMPARE(module.XMLDocWriter.elementDocument().elementsByTagName(QStringLiteral("racine")).size(), 1);
        // Aucun fichier temporaire ne reste à côté.
        QCOMPARE(QDir(dossier.chemin()).entryList(QDir::Files).size(), 2);
    }

    void uneRubriqueDetruiteResteNommeeParSesFlux()
    {
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        auto flux = std::make_shared<TFlux>();
        flux->rubriquesAssociees << "Sport" << "Sport";
        module.getFluxBase() << flux;
        module.sauvegarderBase();
        TdmRSS relu(m_dialogues);
        relu.chargerBase(Emplacement::cheminBase());
        QCOMPARE(relu.getFluxBase()[0]->rubriquesAssociees, QList<TexteEtroit>({"Sport", "Sport"}));
        QVERIFY(relu.getRubriquesBase().isEmpty());
    }

    void unModeleDUnAutreCodageDonneUnFichierUtf8()
    {
        OutilsTests::DossierExecutable dossier;
        dossier.ecrire(QStringLiteral("baseFluxModèle.xml"),
                       "<?xml version='1.0' encoding='ISO-8859-1' standalone='yes'?>\n<!-- mod\xE8le -->\n<LecteurRSS_BASE/>\n");
        TdmRSS module(m_dialogues);
        auto flux = std::make_shared<TFlux>();
        flux->setDonnees(QStringLiteral("été 中文"), {}, {}, {}, {}, {}, {});
        module.getFluxBase() << flux;
        const QByteArray contenu = OutilsTests::lireFichier(module.sauvegarderBase());
        QVERIFY(contenu.startsWith("<?xml version='1.0' encoding='UTF-8' standalone='yes'?>"));
        QVERIFY(contenu.contains("<!-- mod\xC3\xA8le -->"));
        TdmRSS relu(m_dialogues);
        relu.chargerBase(Emplacement::cheminBase());
        QCOMPARE(relu.getFluxBase()[0]->getTitre(), QStringLiteral("été 中文"));
    }

    void unEchecLaisseLAncienFichierIntact_data()
    {
        QTest::addColumn<QByteArray>("modele");
        QTest::addColumn<bool>("ecritureLimitee");
        QTest::newRow("modèle absent") << QByteArray() << false;
        QTest::newRow("modèle mal formé") << QByteArray("<?xml version=\"1.0\"?>\n<LecteurRSS_BASE>") << false;
        QTest::newRow("modèle sans racine") << QByteArray("<?xml version=\"1.0\"?>\n<!-- rien -->\n") << false;
        QTest::newRow("écriture impossible") << QByteArray("<LecteurRSS_BASE/>") << true;
    }

    void unEchecLaisseLAncienFichierIntact()
    {
        QFETCH(QByteArray, modele);
        QFETCH(bool, ecritureLimitee);
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        Tirage tirage(11);
        while (module.getFluxBase().size() < 3)
            remplirAuHasard(module, tirage);
        const QByteArray ancien = "<?xml version=\"1.0\"?><LecteurRSS_BASE><racine><listeFlux/></racine></LecteurRSS_BASE>"
                                + QByteArray(4000, ' ');
        dossier.ecrire(QStringLiteral("baseFlux.xml"), ancien);
        if (modele.isEmpty())
            QVERIFY(QFile::remove(Emplacement::cheminModeleBase()));
        else
            dossier.ecrire(QStringLiteral("baseFluxModèle.xml"), modele);
        const QStringList avant = decrireBase(module.getFluxBase(), module.getRubriquesBase());

        if (ecritureLimitee) {
            // Le système refuse d'écrire plus de 1 000 octets par fichier.
            LimiteEcriture limite(1000);
            QVERIFY_THROWS_EXCEPTION(ErreurEcriture, module.sauvegarderBase());
        } else {
            QVERIFY_THROWS_EXCEPTION(ErreurChargementXML, module.sauvegarderBase());
        }
        QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminBase()), ancien);
        QCOMPARE(decrireBase(module.getFluxBase(), module.getRubriquesBase()), avant);
        const QStringList fichiers = QDir(dossier.chemin()).entryList(QDir::Files);
        QCOMPARE(fichiers.size(), modele.isEmpty() ? 1 : 2);

        // Une fois la cause levée, la même base s'écrit et se relit.
        dossier.ecrire(QStringLiteral("baseFluxModèle.xml"), "<LecteurRSS_BASE/>");
        module.sauvegarderBase();
        TdmRSS relu(m_dialogues);
        relu.chargerBase(Emplacement::cheminBase());
        QCOMPARE(decrireBase(relu.getFluxBase(), relu.getRubriquesBase()), avant);
    }

    void unDossierSansDroitDEcritureFaitEchouer()
    {
        OutilsTests::DossierExecutable dossier;
        TdmRSS module(m_dialogues);
        QVERIFY_THROWS_EXCEPTION(ErreurEcriture,
                                 module.sauvegarderBase(Emplacement::cheminModeleBase(), dossier.chemin(QStringLiteral("absent/baseFlux.xml"))));
    }

    void leCodageRendChaqueValeur()
    {
        // Une valeur ordinaire s'écrit telle quelle ; toute valeur revient à l'identique.
        QCOMPARE(CodageBase::encoder(QStringLiteral("  <b>é</b> &amp; 中文 😀\r\n")),
                 QStringLiteral("  <b>é</b> &amp; 中文 😀\r\n"));
        QCOMPARE(CodageBase::encoder(QStringLiteral("\u00A0 ")), QStringLiteral("\uFDD000A0 "));
        QCOMPARE(CodageBase::encoder(QString(QChar(0)) + u"a\uFDD0"), QStringLiteral("\uFDD00000a\uFDD0FDD0"));
        QCOMPARE(CodageBase::decoder(QStringLiteral("\uFDD0zz\uFDD0004")), QStringLiteral("\uFDD0zz\uFDD0004"));
        QCOMPARE(CodageBase::decoder(QStringLiteral("\uFDD0004a\uFDD0004A")), QStringLiteral("JJ"));
        Tirage tirage(3);
        for (int i = 0; i < 20000; ++i) {
            const QString valeur = tirage.valeur();
            const QString ecrite = CodageBase::encoder(valeur);
            QCOMPARE(CodageBase::decoder(ecrite), valeur);
            // Ce qui est écrit ne contient que des caractères XML 1.0 et n'est jamais fait que de blancs.
            QVERIFY(ecrite.isEmpty() || !ecrite.trimmed().isEmpty());
            for (qsizetype k = 0; k < ecrite.size(); ++k) {
                const char16_t u = ecrite.at(k).unicode();
                QVERIFY(u >= 0x20 || u == 0x9 || u == 0xA || u == 0xD);
                QVERIFY(u != 0xFFFE && u != 0xFFFF);
                if (QChar::isHighSurrogate(u))
                    QVERIFY(k + 1 < ecrite.size() && ecrite.at(++k).isLowSurrogate());
                else
                    QVERIFY(!QChar::isLowSurrogate(u));
            }
        }
    }

    void desBasesAuHasardSeRelisentALIdentique()
    {
        OutilsTests::DossierExecutable dossier;
        const quint32 graineDepart = QRandomGenerator::global()->generate();
        for (quint32 n = 0; n < 300; ++n) {
            const quint32 graine = graineDepart + n;
            Tirage tirage(graine);
            TdmRSS module(m_dialogues);
            remplirAuHasard(module, tirage);
            const QStringList ecrite = decrireBase(module.getFluxBase(), module.getRubriquesBase());
            module.sauvegarderBase();
            const QByteArray premier = OutilsTests::lireFichier(Emplacement::cheminBase());
            // Le fichier porte exactement les octets que toByteArray(2) donne de l'arbre décrit.
            module.construireArbreDeSauvegarde(true);
            module.sauvegarderBase();
            QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminBase()), premier);
            QCOMPARE(premier, module.XMLDocWriter.dom().toByteArray(2));
            TdmRSS relu(m_dialogues);
            relu.chargerBase(Emplacement::cheminBase());
            const QStringList lue = decrireBase(relu.getFluxBase(), relu.getRubriquesBase());
            if (lue != ecrite)
                qWarning("graine %u", graine);
            QCOMPARE(lue, ecrite);
            // Relue puis réécrite, la base donne le même fichier.
            relu.sauvegarderBase();
            QCOMPARE(OutilsTests::lireFichier(Emplacement::cheminBase()), premier);
        }
    }
};

QTEST_GUILESS_MAIN(TestSauvegardeBase)
#include "tst_sauvegardebase.moc"
