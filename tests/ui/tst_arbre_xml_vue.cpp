// La vue de l'arbre XML : même forme que le document, libellés étroits, images, nœuds repliés,
// reconstruction complète, apparence de la vue, document très profond.

#include "ChaineProfonde.h"
#include "OutilsTests.h"

#include "commun/Erreurs.h"
#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"
#include "ui/ArbreXMLVue.h"
#include "ui/ListeImages.h"

#include <atomic>
#include <QApplication>
#include <QDirIterator>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace {

const QByteArray fluxRss2 =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<rss version=\"2.0\">\n"
    "  <channel>\n"
    "    <title>Actualités</title>\n"
    "    <link>http://127.0.0.1/</link>\n"
    "    <description><![CDATA[<p>Le <b>flux</b></p>]]></description>\n"
    "    <!-- commentaire -->\n"
    "    <language>fr</language>\n"
    "    <copyright>Libre</copyright>\n"
    "    <webmaster>moi</webmaster>\n"
    "    <Title>casse</Title>\n"
    "    <item>\n"
    "      <title>Prix 5 \xE2\x82\xAC \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC</title>\n"
    "      <pubDate>Mon, 07 Dec 2026 07:00:00 GMT</pubDate>\n"
    "      <description/>\n"
    "    </item>\n"
    "    <item><title>item</title></item>\n"
    "  </channel>\n"
    "</rss>\n";

const QByteArray fluxRss1 =
    "<?xml version=\"1.0\"?>\n"
    "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\">\n"
    "  <channel rdf:about=\"x\"><title>Un</title></channel>\n"
    "  <image rdf:about=\"y\"><url>http://127.0.0.1/i.png</url></image>\n"
    "  <item rdf:about=\"z\"><title>Deux</title></item>\n"
    "</rdf:RDF>\n";

// La forme attendue, transcrite directement de la règle : pour chaque enfant, dans l'ordre, le
// libellé (valeur d'un texte ou d'une section CDATA, nom sinon) passé en texte étroit, l'image
// de ce libellé, puis les enfants. Une ligne par nœud : retrait, libellé affiché, index d'image.
void ajouterReference(const QDomNode &noeud, int profondeur, QStringList &lignes)
{
    for (QDomNode enfant = noeud.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const int type = NoeudXML::type(enfant);
        const QString large = (type == 3 || type == 4) ? NoeudXML::valeur(enfant).toString() : NoeudXML::nom(enfant);
        const TexteEtroit libelle = versEtroit(large);
        lignes.append(QString(profondeur, u' ') + depuisEtroit(libelle) + u'|'
                      + QString::number(ArbreXML::indexImage(libelle)));
        ajouterReference(enfant, profondeur + 1, lignes);
    }
}

QStringList formeAttendue(const QDomNode &racine)
{
    QStringList lignes;
    ajouterReference(racine, 0, lignes);
    return lignes;
}

// L'index de ListeImages dont l'icône est celle du nœud, -1 sans icône, -2 pour une autre image.
int indexIcone(const QTreeWidgetItem *element)
{
    const QIcon icone = element->icon(0);
    if (icone.isNull())
        return ArbreXML::aucuneImage;
    const QImage vue = icone.pixmap(ListeImages::taille).toImage();
    for (int i = 0; i < ListeImages::nombre; ++i) {
        if (ListeImages::image(i).toImage() == vue)
            return i;
    }
    return -2;
}

// La même chose, lue dans la vue ; vérifie au passage que tout est replié et sans autre colonne.
QStringList formeVue(const QList<QTreeWidgetItem *> &premierNiveau, bool &toutReplie)
{
    QStringList lignes;
    toutReplie = true;
    QList<std::pair<QTreeWidgetItem *, int>> pile;
    for (auto it = premierNiveau.rbegin(); it != premierNiveau.rend(); ++it)
        pile.append({*it, 0});
    while (!pile.isEmpty()) {
        const auto [element, profondeur] = pile.takeLast();
        lignes.append(QString(profondeur, u' ') + element->text(0) + u'|' + QString::number(indexIcone(element)));
        toutReplie = toutReplie && !element->isExpanded();
        for (int i = element->childCount() - 1; i >= 0; --i)
            pile.append({element->child(i), profondeur + 1});
    }
    return lignes;
}

QList<QTreeWidgetItem *> premierNiveau(QTreeWidget &vue)
{
    QList<QTreeWidgetItem *> liste;
    for (int i = 0; i < vue.topLevelItemCount(); ++i)
        liste.append(vue.topLevelItem(i));
    return liste;
}

} // namespace

class TestArbreXMLVue : public QObject
{
    Q_OBJECT

    TDocumentXML m_document;
    std::unique_ptr<QTreeWidget> m_vue;

    QDomElement charger(const QByteArray &octets)
    {
        m_document.chargerOctets(octets);
        return m_document.elementDocument();
    }

    void verifierFormeDeLaVue(const QDomNode &racine)
    {
        bool toutReplie = false;
        const QStringList vue = formeVue(premierNiveau(*m_vue), toutReplie);
        QCOMPARE(vue, formeAttendue(racine));
        QVERIFY(toutReplie);
    }

private slots:
    void init()
    {
        m_vue = std::make_unique<QTreeWidget>();
        preparerVueArbreXML(m_vue.get());
        m_vue->show();
    }

    void cleanup() { m_vue.reset(); }

    void rss2MemeFormeQueLeDocument()
    {
        const QDomElement racine = charger(fluxRss2);
        construireArbreXML(m_vue.get(), nullptr, racine);
        QCOMPARE(m_vue->topLevelItemCount(), 1);
        QTreeWidgetItem *canal = m_vue->topLevelItem(0);
        QCOMPARE(canal->text(0), u"channel"_qs);
        QCOMPARE(indexIcone(canal), 51);
        verifierFormeDeLaVue(racine);

        QTreeWidgetItem *titre = canal->child(0);
        QCOMPARE(titre->text(0), u"title"_qs);
        QCOMPARE(indexIcone(titre), 33);
        QCOMPARE(titre->childCount(), 1);
        QCOMPARE(titre->child(0)->text(0), u"Actualités"_qs);
        QVERIFY(titre->child(0)->icon(0).isNull());
        // Section CDATA, commentaire, noms hors tableau, élément vide, texte « item ».
        QCOMPARE(canal->child(2)->child(0)->text(0), u"<p>Le <b>flux</b></p>"_qs);
        QCOMPARE(canal->child(3)->text(0), u"#comment"_qs);
        QCOMPARE(canal->child(3)->childCount(), 0);
        QCOMPARE(indexIcone(canal->child(4)), 107);
        QCOMPARE(indexIcone(canal->child(5)), 119);
        QCOMPARE(indexIcone(canal->child(6)), -1); // webmaster
        QCOMPARE(indexIcone(canal->child(7)), -1); // Title
        QTreeWidgetItem *info = canal->child(8);
        QCOMPARE(indexIcone(info), 3);
        // Le libellé passe par le texte étroit : « 日本 » devient « ?? », « € » reste.
        QCOMPARE(info->child(0)->child(0)->text(0), u"Prix 5 € — ??"_qs);
        QCOMPARE(indexIcone(info->child(1)), 39);
        QCOMPARE(info->child(2)->text(0), u"description"_qs);
        QCOMPARE(indexIcone(info->child(2)), 108);
        QCOMPARE(info->child(2)->childCount(), 0);
        QCOMPARE(indexIcone(canal->child(9)->child(0)->child(0)), 3);
    }

    void rss1EtImageSelectionnee()
    {
        const QDomElement racine = charger(fluxRss1);
        construireArbreXML(m_vue.get(), nullptr, racine);
        QCOMPARE(m_vue->topLevelItemCount(), 3);
        verifierFormeDeLaVue(racine);
        QTreeWidgetItem *image = m_vue->topLevelItem(1);
        QCOMPARE(indexIcone(image), 81);
        // Sélectionné, le nœud garde la même image.
        m_vue->setCurrentItem(image);
        QVERIFY(image->isSelected());
        QCOMPARE(image->icon(0).pixmap(ListeImages::taille, QIcon::Selected).toImage(),
                 ListeImages::image(81).toImage());
    }

    void construitEnFondCommeSurPlace_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("montrerExplicitement");
        QTest::newRow("RSS 2.0, montrer()") << fluxRss2 << true;
        QTest::newRow("RSS 1.0, sortie de portée") << fluxRss1 << false;
    }

    void construitEnFondCommeSurPlace()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, montrerExplicitement);
        // La vue tient déjà un autre arbre, qui est remplacé.
        construireArbreXML(m_vue.get(), nullptr, charger(fluxRss1 == document ? fluxRss2 : fluxRss1));
        const QDomElement racine = charger(document);
        QStringList lueEnMemeTemps;
        {
            ArbreXMLEnFond arbre(m_vue.get(), racine);
            // Le fil de la fenêtre lit le même document pendant la construction.
            lueEnMemeTemps = formeAttendue(racine);
            if (montrerExplicitement) {
                arbre.montrer();
                verifierFormeDeLaVue(racine);
            }
        }
        verifierFormeDeLaVue(racine);
        QCOMPARE(lueEnMemeTemps, formeAttendue(racine));
    }

    void reconstructionRemplaceTout()
    {
        construireArbreXML(m_vue.get(), nullptr, charger(fluxRss2));
        m_vue->topLevelItem(0)->setExpanded(true);
        viderArbreXML(m_vue.get());
        QCOMPARE(m_vue->topLevelItemCount(), 0);
        const QDomElement racine = charger(fluxRss1);
        construireArbreXML(m_vue.get(), nullptr, racine);
        verifierFormeDeLaVue(racine);
        // Vider une vue vide ne fait rien.
        viderArbreXML(m_vue.get());
        viderArbreXML(m_vue.get());
        QCOMPARE(m_vue->topLevelItemCount(), 0);
    }

    void viderDetacheToutDeSuiteEtDetruitPlusTard()
    {
        // Des nœuds qui se comptent : 1 + 3 + 3 × 40 par sous-arbre, deux sous-arbres.
        static std::atomic<int> vivants = 0;
        struct NoeudCompte : QTreeWidgetItem
        {
            NoeudCompte() : QTreeWidgetItem(QStringList(u"n"_qs)) { ++vivants; }
            ~NoeudCompte() override { --vivants; }
        };
        auto remplir = [this] {
            for (int r = 0; r < 2; ++r) {
                auto *racine = new NoeudCompte;
                for (int i = 0; i < 3; ++i) {
                    auto *branche = new NoeudCompte;
                    for (int j = 0; j < 40; ++j)
                        branche->addChild(new NoeudCompte);
                    racine->addChild(branche);
                }
                m_vue->addTopLevelItem(racine);
            }
        };
        remplir();
        QCOMPARE(vivants, 2 * 124);
        viderArbreXML(m_vue.get());
        // La vue est vide au retour ; les nœuds détachés sont détruits ensuite, tous.
        QCOMPARE(m_vue->topLevelItemCount(), 0);
        QTRY_COMPARE(vivants, 0);
        // Ce qui reste à détruire quand la vue disparaît l'est avant qu'elle ne soit détruite.
        for (int i = 0; i < 3; ++i) {
            remplir();
            viderArbreXML(m_vue.get());
        }
        m_vue.reset();
        QCOMPARE(vivants, 0);
    }

    void sousUnNoeudExistant()
    {
        auto *parent = new QTreeWidgetItem(QStringList(u"dessus"_qs));
        parent->addChild(new QTreeWidgetItem(QStringList(u"déjà là"_qs)));
        m_vue->addTopLevelItem(parent);
        construireArbreXML(m_vue.get(), parent, charger(fluxRss1));
        QCOMPARE(m_vue->topLevelItemCount(), 1);
        QCOMPARE(parent->childCount(), 4);
        QCOMPARE(parent->child(0)->text(0), u"déjà là"_qs);
        QCOMPARE(parent->child(1)->text(0), u"channel"_qs);
        QCOMPARE(parent->child(3)->text(0), u"item"_qs);
        QCOMPARE(parent->child(3)->child(0)->child(0)->text(0), u"Deux"_qs);
        // Un nœud sans enfant n'ajoute rien.
        construireArbreXML(m_vue.get(), parent, charger("<rss/>"));
        QCOMPARE(parent->childCount(), 4);
    }

    void apparence()
    {
        QVERIFY(m_vue->isHeaderHidden());
        QCOMPARE(m_vue->indentation(), 19);
        QCOMPARE(m_vue->columnCount(), 1);
        QCOMPARE(m_vue->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(m_vue->font().bold());
        QCOMPARE(m_vue->font().pointSize(), 8);
        QCOMPARE(m_vue->iconSize(), QSize(16, 16));
    }

    void corpusMemeFormeQueLaReference()
    {
        const QString corpus = OutilsTests::dossierCorpus();
        if (corpus.isEmpty())
            QSKIP("Corpus externe absent.");
        int arbres = 0;
        QDirIterator it(corpus, {u"*.xml"_qs, u"*.rss"_qs, u"*.rdf"_qs, u"*.atom"_qs}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString chemin = it.next();
            try {
                m_document.chargerOctets(OutilsTests::lireFichier(chemin));
            } catch (const ErreurLecteur &) {
                continue;
            }
            viderArbreXML(m_vue.get());
            construireArbreXML(m_vue.get(), nullptr, m_document.elementDocument());
            bool toutReplie = false;
            const QStringList vue = formeVue(premierNiveau(*m_vue), toutReplie);
            QVERIFY2(vue == formeAttendue(m_document.elementDocument()), qPrintable(chemin));
            QVERIFY(toutReplie);
            ++arbres;
        }
        qInfo("%d arbres comparés", arbres);
        QVERIFY(arbres > 1000);
    }

    void documentTresProfond()
    {
        // 100 000 niveaux : construire, vider, reconstruire et détruire la vue sans déborder la pile.
        constexpr int niveaux = 100000;
        OutilsTests::chargerChaineProfonde(m_document, niveaux, u"title"_qs, u"fond"_qs);
        construireArbreXML(m_vue.get(), nullptr, m_document.elementDocument());
        int profondeur = 0;
        const QTreeWidgetItem *element = m_vue->topLevelItem(0);
        for (; element->childCount() == 1; element = element->child(0))
            ++profondeur;
        QCOMPARE(profondeur, niveaux - 1);
        QCOMPARE(element->text(0), u"fond"_qs);
        viderArbreXML(m_vue.get());
        QCOMPARE(m_vue->topLevelItemCount(), 0);
        construireArbreXML(m_vue.get(), nullptr, m_document.elementDocument());
        m_vue.reset();
    }
};

QTEST_MAIN(TestArbreXMLVue)
#include "tst_arbre_xml_vue.moc"
