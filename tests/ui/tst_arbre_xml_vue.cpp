// La vue de l'arbre XML : même forme que le document, libellés étroits, images, nœuds repliés,
// reconstruction complète, document tenu par la vue, apparence de la vue, document très profond.

#include "ChaineProfonde.h"
#include "FormeArbre.h"
#include "OutilsTests.h"

#include "commun/Erreurs.h"
#include "reading/ArbreXML.h"
#include "reading/DocumentXML.h"
#include "ui/ArbreXMLVue.h"
#include "ui/ListeImages.h"

#include <QApplication>
#include <QDirIterator>
#include <QTest>
#include <QThreadPool>
#include <QTreeView>
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
// de ce libellé, puis les enfants ; un texte fait seulement de blancs XML n'a pas de ligne. Une
// ligne par nœud : retrait, libellé affiché, index d'image.
void ajouterReference(const QDomNode &noeud, int profondeur, QStringList &lignes)
{
    for (QDomNode enfant = noeud.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const int type = NoeudXML::type(enfant);
        const QString large = (type == 3 || type == 4) ? NoeudXML::valeur(enfant).toString() : NoeudXML::nom(enfant);
        if (type == 3 && std::all_of(large.begin(), large.end(), [](QChar c) { return QStringView(u" \t\r\n").contains(c); }))
            continue;
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
int indexIcone(const QModelIndex &noeud)
{
    const QIcon icone = noeud.data(Qt::DecorationRole).value<QIcon>();
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
QStringList formeVue(const QTreeView &vue, bool &toutReplie)
{
    const QAbstractItemModel &modele = *vue.model();
    toutReplie = modele.columnCount() == 1;
    return formeArbre(modele, [&](const QModelIndex &noeud) {
        toutReplie = toutReplie && !vue.isExpanded(noeud) && modele.hasChildren(noeud) == (modele.rowCount(noeud) > 0);
        return QString::number(indexIcone(noeud));
    });
}

} // namespace

class TestArbreXMLVue : public QObject
{
    Q_OBJECT

    TDocumentXML m_document;
    std::unique_ptr<QTreeView> m_vue;

    QDomElement charger(const QByteArray &octets)
    {
        m_document.chargerOctets(octets);
        return m_document.elementDocument();
    }

    void verifierFormeDeLaVue(const QDomNode &racine)
    {
        bool toutReplie = false;
        const QStringList vue = formeVue(*m_vue, toutReplie);
        QCOMPARE(vue, formeAttendue(racine));
        QVERIFY(toutReplie);
    }

private slots:
    void init()
    {
        m_vue = std::make_unique<QTreeView>();
        preparerVueArbreXML(m_vue.get());
        m_vue->show();
    }

    void cleanup() { m_vue.reset(); }

    QModelIndex premier(int ligne) const { return m_vue->model()->index(ligne, 0); }

    void memeFormeQueLeDocument_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("RSS 2.0") << fluxRss2;
        QTest::newRow("RSS 1.0") << fluxRss1;
    }

    void memeFormeQueLeDocument()
    {
        QFETCH(QByteArray, document);
        const QDomElement racine = charger(document);
        construireArbreXML(m_vue.get(), racine);
        verifierFormeDeLaVue(racine);
    }

    void reconstructionRemplaceTout()
    {
        construireArbreXML(m_vue.get(), charger(fluxRss2));
        m_vue->expand(premier(0));
        construireArbreXML(m_vue.get(), QDomNode());
        QCOMPARE(m_vue->model()->rowCount(), 0);
        // Un document remplace le précédent, déplié, par ses nœuds repliés.
        construireArbreXML(m_vue.get(), charger(fluxRss1));
        m_vue->expand(premier(2));
        const QDomElement autre = charger(fluxRss2);
        construireArbreXML(m_vue.get(), autre);
        verifierFormeDeLaVue(autre);
    }

    void laVueTientSonDocument()
    {
        // La vue montre le document qu'on lui a donné, même quand celui qui le tenait passe au
        // suivant et abandonne le sien : rien de ce qu'elle lit n'est libéré sous elle.
        const QDomElement racine = charger(fluxRss2);
        const QStringList attendue = formeAttendue(racine);
        construireArbreXML(m_vue.get(), racine);
        m_vue->expand(premier(0));
        charger(fluxRss1);
        m_document.setActive(false);
        QCoreApplication::processEvents();
        QThreadPool::globalInstance()->waitForDone();
        m_vue->grab(); // la vue se peint : elle lit le document
        bool toutReplie = false;
        QCOMPARE(formeVue(*m_vue, toutReplie), attendue);
    }

    void apparence()
    {
        QVERIFY(m_vue->isHeaderHidden());
        QCOMPARE(m_vue->indentation(), 19);
        QCOMPARE(m_vue->model()->columnCount(), 1);
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
            construireArbreXML(m_vue.get(), m_document.elementDocument());
            bool toutReplie = false;
            const QStringList vue = formeVue(*m_vue, toutReplie);
            QVERIFY2(vue == formeAttendue(m_document.elementDocument()), qPrintable(chemin));
            QVERIFY(toutReplie);
            ++arbres;
        }
        qInfo("%d arbres comparés", arbres);
        QVERIFY(arbres > 1000);
    }

    void documentTresProfond()
    {
        // 100 000 niveaux : montrer, descendre jusqu'au fond, remonter et détruire la vue sans
        // déborder la pile.
        constexpr int niveaux = 100000;
        OutilsTests::chargerChaineProfonde(m_document, niveaux, u"title"_qs, u"fond"_qs);
        construireArbreXML(m_vue.get(), m_document.elementDocument());
        const QAbstractItemModel &modele = *m_vue->model();
        int profondeur = 0;
        QModelIndex noeud = premier(0);
        for (; modele.rowCount(noeud) == 1; noeud = modele.index(0, 0, noeud))
            ++profondeur;
        QCOMPARE(profondeur, niveaux - 1);
        QCOMPARE(noeud.data().toString(), u"fond"_qs);
        for (; noeud.parent().isValid(); noeud = noeud.parent())
            --profondeur;
        QCOMPARE(profondeur, 0);
        m_vue.reset();
    }
};

QTEST_MAIN(TestArbreXMLVue)
#include "tst_arbre_xml_vue.moc"
