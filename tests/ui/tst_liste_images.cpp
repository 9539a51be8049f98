// La liste d'images : 209 images de 16 × 16, une image propre à chaque sens pour les index dont
// le programme se sert, l'image du thème quand il est installé, un dessin sinon.

#include "ui/ListeImages.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// Les index employés par les actions, les pages latérales et l'arbre XML, avec leur sens.
// Un même index sert à plusieurs usages (119 : fermer l'onglet et copyright).
const QList<QPair<int, const char *>> indexEmployes = {
    {197, "ouvrir"}, {138, "connexion, à propos"}, {95, "ajouter une source"}, {119, "fermer l'onglet, copyright"},
    {202, "enregistrer"}, {204, "ajouter une rubrique"}, {205, "supprimer la rubrique"},
    {99, "décocher, enregistrer l'information"}, {153, "supprimer la source"}, {201, "ajouter un favori"},
    {184, "supprimer le favori"}, {128, "charger le fil"}, {118, "quitter"}, {207, "page précédente"},
    {206, "page suivante"}, {116, "actualiser"}, {200, "favoris"}, {91, "gestion des flux"},
    {162, "arbre RSS"}, {166, "recherche"}, {170, "lancer la recherche"}, {96, "charger le flux trouvé"},
    {185, "supprimer l'information"}, {33, "title"}, {13, "link"}, {108, "description"}, {51, "channel"},
    {107, "language"}, {8, "url"}, {3, "item"}, {39, "pubDate"}, {81, "image"}, {117, "actualiser les sources"},
    {126, "échec d'une actualisation"}};

// Nombre de pixels qui ne sont pas transparents.
int pixelsVisibles(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return n;
}

void verifierImagesDistinctes(const std::function<QPixmap(int)> &source)
{
    QList<QImage> vues;
    for (const auto &[index, sens] : indexEmployes) {
        const QImage image = source(index).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(16, 16));
        QVERIFY2(pixelsVisibles(image) >= 30, sens);
        for (qsizetype i = 0; i < vues.size(); ++i)
            QVERIFY2(vues[i] != image, QByteArray(QByteArray(sens) + " = " + indexEmployes[i].second).constData());
        vues.append(image);
    }
    // Un index inemployé montre une image neutre, différente de toutes les autres.
    const QImage neutre = source(0).toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!vues.contains(neutre));
    QCOMPARE(source(208).toImage().convertToFormat(QImage::Format_ARGB32), neutre);
}

} // namespace

class TestListeImages : public QObject
{
    Q_OBJECT

private slots:
    void deuxCentNeufImagesDe16()
    {
        QCOMPARE(ListeImages::nombre, 209);
        for (int i = 0; i < ListeImages::nombre; ++i) {
            QCOMPARE(ListeImages::image(i).size(), QSize(16, 16));
            const QIcon icone = ListeImages::icone(i);
            QVERIFY(!icone.isNull());
            QVERIFY(icone.availableSizes().contains(QSize(16, 16)));
        }
        for (const int horsListe : {-1, -2, 209, 1000})
            QVERIFY(ListeImages::icone(horsListe).isNull() && ListeImages::image(horsListe).isNull()
                    && ListeImages::imageDessinee(horsListe).isNull());
    }

    void chaqueSensSonImage() { verifierImagesDistinctes(ListeImages::image); }

    void dessinsDeRemplacementDistincts() { verifierImagesDistinctes(ListeImages::imageDessinee); }

    void memeImageSelectionnee()
    {
        for (const auto &[index, sens] : indexEmployes) {
            const QIcon icone = ListeImages::icone(index);
            const QImage normale = icone.pixmap(16, QIcon::Normal).toImage();
            QCOMPARE(normale, ListeImages::image(index).toImage());
            QVERIFY2(icone.pixmap(16, QIcon::Selected).toImage() == normale, sens);
        }
    }

    void imagesDuThemeQuandIlEstInstalle()
    {
        if (!QFile::exists(u"/usr/share/icons/Tango/16x16/actions/document-open.png"_qs))
            QSKIP("thème Tango absent : les dessins de remplacement servent");
        // Lue du thème : l'image est exactement celle du fichier.
        QVERIFY(ListeImages::vientDuTheme(197));
        const QImage fichier = QImage(u"/usr/share/icons/Tango/16x16/actions/document-open.png"_qs)
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(ListeImages::image(197).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), fichier);
        // Sans fichier dans le thème : le dessin de remplacement.
        for (const int dessinee : {99, 162, 51}) {
            QVERIFY(!ListeImages::vientDuTheme(dessinee));
            QCOMPARE(ListeImages::image(dessinee).toImage(), ListeImages::imageDessinee(dessinee).toImage());
        }
        QVERIFY(!ListeImages::vientDuTheme(0));
        QVERIFY(!ListeImages::vientDuTheme(-1));
    }

    void sansThemeLesDessins()
    {
        // Relance ce test dans un processus dont les dossiers de données ne contiennent aucun thème.
        if (qEnvironmentVariableIsSet("LISTE_IMAGES_SANS_THEME")) {
            for (const auto &[index, sens] : indexEmployes) {
                QVERIFY2(!ListeImages::vientDuTheme(index), sens);
                QVERIFY2(ListeImages::image(index).toImage() == ListeImages::imageDessinee(index).toImage(), sens);
            }
            verifierImagesDistinctes(ListeImages::image);
            return;
        }
        QProcess processus;
        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        environnement.insert(u"LISTE_IMAGES_SANS_THEME"_qs, u"1"_qs);
        environnement.insert(u"XDG_DATA_DIRS"_qs, u"/nulle-part"_qs);
        environnement.insert(u"XDG_DATA_HOME"_qs, u"/nulle-part"_qs);
        processus.setProcessEnvironment(environnement);
        processus.start(QCoreApplication::applicationFilePath(), {u"sansThemeLesDessins"_qs});
        QVERIFY(processus.waitForFinished(60000));
        const QByteArray sortie = processus.readAllStandardOutput();
        QVERIFY2(processus.exitStatus() == QProcess::NormalExit && processus.exitCode() == 0, sortie.constData());
        QVERIFY2(sortie.contains("Totals: 3 passed, 0 failed"), sortie.constData());
    }
};

QTEST_MAIN(TestListeImages)
#include "tst_liste_images.moc"
