// Les contrôles peints : couleurs des rangées des dégradés (valeurs de référence), place de la
// légende, fonds des barres, et l'aspect enfoncé des deux boutons qui en ont un, lu à l'écran.

#include "paint/Peinture.h"
#include "paint/TBarrePeinte.h"
#include "paint/TBoitePeinte.h"
#include "ui/TmainForm.h"

#include <QAction>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {

using Degrade = std::function<void(QPainter &, int, int)>;

const QRgb temoin = qRgb(1, 2, 3); // couleur de fond, jamais produite par un dégradé

// Un dégradé de hauteur h et de largeur w peint sur une image plus grande, remplie du témoin.
QImage peindre(const Degrade &degrade, int h, int w, int hauteurImage, int largeurImage)
{
    QImage image(largeurImage, hauteurImage, QImage::Format_RGB32);
    image.fill(temoin);
    QPainter canevas(&image);
    degrade(canevas, h, w);
    return image;
}

QString hex(QRgb c)
{
    return QColor(c).name(QColor::HexRgb).toUpper();
}

// Les colonnes où la légende a mis du blanc pur (hors du dégradé, qui n'est jamais blanc).
QPair<int, int> colonnesBlanches(const QImage &image)
{
    int gauche = image.width(), droite = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                gauche = std::min(gauche, x);
                droite = std::max(droite, x);
            }
    return {gauche, droite};
}

int pixelsBlancs(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == qRgb(255, 255, 255);
    return n;
}

// Ce que l'écran montre d'un contrôle (et non ce qu'une nouvelle peinture donnerait).
QImage ecran(QWidget *w)
{
    const QPoint origine = w->mapToGlobal(QPoint(0, 0));
    return w->screen()->grabWindow(0, origine.x(), origine.y(), w->width(), w->height()).toImage();
}

QImage peindreBoite(const std::function<void(QPainter &, const QWidget &, const QString &)> &dessin,
                    const QWidget &boite, const QString &legende)
{
    QImage image(boite.size(), QImage::Format_RGB32);
    image.fill(temoin);
    QPainter canevas(&image);
    canevas.setFont(boite.font());
    dessin(canevas, boite, legende);
    return image;
}

} // namespace

class TestPeinture : public QObject
{
    Q_OBJECT

private slots:
    void degrades_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<int>("hauteur");
        QTest::addColumn<QString>("premiere");
        QTest::addColumn<QString>("derniere");
        QTest::newRow("rouge 20") << u"rouge"_qs << 20 << u"#FF9696"_qs << u"#8D5D5D"_qs;
        QTest::newRow("rouge 25") << u"rouge"_qs << 25 << u"#FF9696"_qs << u"#874E4E"_qs;
        QTest::newRow("rouge 17") << u"rouge"_qs << 17 << u"#FF9696"_qs << u"#8F5656"_qs;
        QTest::newRow("rouge 130, pas nul") << u"rouge"_qs << 130 << u"#FF9696"_qs << u"#FF9696"_qs;
        QTest::newRow("bleu 17") << u"bleu"_qs << 17 << u"#BEF2FF"_qs << u"#6E82FF"_qs;
        QTest::newRow("bleu 24") << u"bleu"_qs << 24 << u"#BEF2FF"_qs << u"#797FFF"_qs;
        QTest::newRow("fond 41") << u"fond"_qs << 41 << u"#DCFAFF"_qs << u"#B4AAFF"_qs;
        QTest::newRow("rouge 1") << u"rouge"_qs << 1 << u"#FF9696"_qs << u"#FF9696"_qs;
    }

    void degrades()
    {
        QFETCH(QString, routine);
        QFETCH(int, hauteur);
        QFETCH(QString, premiere);
        QFETCH(QString, derniere);
        const Degrade degrade = routine == u"rouge"_qs ? Degrade(degradeRouge)
                              : routine == u"bleu"_qs  ? Degrade(degradeBleu)
                                                       : Degrade(degradeFondCommandes);
        const int w = 30;
        const QImage image = peindre(degrade, hauteur, w, hauteur + 2, w + 2);
        QCOMPARE(hex(image.pixel(0, 0)), premiere);
        QCOMPARE(hex(image.pixel(w - 1, 0)), premiere);
        QCOMPARE(hex(image.pixel(0, hauteur - 1)), derniere);
        QCOMPARE(hex(image.pixel(w - 1, hauteur - 1)), derniere);
        // Une ligne par rangée, d'une seule couleur, qui s'arrête avant x = w ; rien sous la dernière.
        for (int y = 0; y < hauteur; ++y) {
            for (int x = 1; x < w; ++x)
                QCOMPARE(image.pixel(x, y), image.pixel(0, y));
            QCOMPARE(image.pixel(w, y), temoin);
        }
        QCOMPARE(image.pixel(0, hauteur), temoin);
    }

    void pasDesCanaux()
    {
        // Les pas viennent de divisions entières : 7 en rouge pour h = 17, 6 pour 20, 5 pour 25 ;
        // 5 sur le rouge du bleu pour h = 17, 3 pour 24.
        const QImage r17 = peindre(degradeRouge, 17, 4, 17, 4);
        QCOMPARE(qRed(r17.pixel(0, 0)) - qRed(r17.pixel(0, 1)), 7);
        const QImage r20 = peindre(degradeRouge, 20, 4, 20, 4);
        QCOMPARE(qRed(r20.pixel(0, 0)) - qRed(r20.pixel(0, 1)), 6);
        QCOMPARE(qGreen(r20.pixel(0, 0)) - qGreen(r20.pixel(0, 1)), 3);
        const QImage r25 = peindre(degradeRouge, 25, 4, 25, 4);
        QCOMPARE(qRed(r25.pixel(0, 0)) - qRed(r25.pixel(0, 1)), 5);
        const QImage b17 = peindre(degradeBleu, 17, 4, 17, 4);
        QCOMPARE(qRed(b17.pixel(0, 0)) - qRed(b17.pixel(0, 1)), 5);
        const QImage b24 = peindre(degradeBleu, 24, 4, 24, 4);
        QCOMPARE(qRed(b24.pixel(0, 0)) - qRed(b24.pixel(0, 1)), 3);
        // Le bleu reste à 255 ; le pas du vert du fond des commandes pour 41 rangées est 2.
        QCOMPARE(qBlue(b24.pixel(0, 23)), 255);
        const QImage f41 = peindre(degradeFondCommandes, 41, 4, 41, 4);
        QCOMPARE(qGreen(f41.pixel(0, 0)) - qGreen(f41.pixel(0, 1)), 2);
        QCOMPARE(qRed(f41.pixel(0, 0)) - qRed(f41.pixel(0, 1)), 1);
    }

    void degradeInverse()
    {
        // La rangée i tombe sur y = h - i : la rangée 0 juste sous la surface, y = 0 jamais dessinée.
        const int h = 17;
        const QImage image = peindre(degradeBleuInverse, h, 10, h + 3, 10);
        QCOMPARE(image.pixel(3, 0), temoin);
        QCOMPARE(hex(image.pixel(3, 1)), u"#6E82FF"_qs);
        QCOMPARE(hex(image.pixel(3, h - 1)), u"#B9EBFF"_qs);
        QCOMPARE(hex(image.pixel(3, h)), u"#BEF2FF"_qs);
        QCOMPARE(image.pixel(3, h + 1), temoin);
    }

    void hauteurNulle()
    {
        for (const Degrade &d : {Degrade(degradeRouge), Degrade(degradeBleu), Degrade(degradeBleuInverse),
                                 Degrade(degradeFondCommandes)}) {
            const QImage image = peindre(d, 0, 20, 5, 20);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 20; ++x)
                    QCOMPARE(image.pixel(x, y), temoin);
            // Une largeur nulle non plus.
            const QImage etroite = peindre(d, 5, 0, 6, 3);
            QCOMPARE(etroite.pixel(0, 1), temoin);
        }
        // Une boîte de hauteur nulle : ni dégradé ni légende, et pas d'erreur.
        QWidget plate;
        plate.resize(80, 0);
        plate.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        QImage image(80, 20, QImage::Format_RGB32);
        image.fill(temoin);
        {
            QPainter canevas(&image);
            dessinerBouton(canevas, plate, QStringLiteral("Ouvrir RSS"));
            dessinerBoutonEnfonce(canevas, plate, QStringLiteral("Ouvrir RSS"));
            dessinerTitre(canevas, plate, QStringLiteral("FAVORIS"));
        }
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x)
                QCOMPARE(image.pixel(x, y), temoin);
        TBoitePeinte boite(TBoitePeinte::Dessin::Bouton, QStringLiteral("Ajouter"));
        boite.resize(80, 0);
        boite.show();
        QTest::qWait(20);
        QVERIFY(boite.grab().isNull() || boite.grab().height() == 0);
    }

    void placeDeLaLegende()
    {
        // Mesurée dans la police de la boîte (non grasse), écrite en 8 points gras blanc :
        // x = (w - largeur - 10) / 2 pour un bouton, (w - largeur) / 2 pour un titre.
        QWidget boite;
        boite.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        boite.resize(200, 20);
        const QString legende = QStringLiteral("Supprimer RSS");
        const int largeur = QFontMetrics(boite.font()).horizontalAdvance(legende);
        QFont gras = boite.font();
        gras.setBold(true);
        QVERIFY(QFontMetrics(gras).horizontalAdvance(legende) > largeur + 2); // sinon le test ne dit rien

        const QImage bouton = peindreBoite(dessinerBouton, boite, legende);
        const auto [gaucheBouton, droiteBouton] = colonnesBlanches(bouton);
        const int attenduBouton = (200 - largeur - 10) / 2;
        QVERIFY2(gaucheBouton >= attenduBouton && gaucheBouton <= attenduBouton + 2,
                 qPrintable(QStringLiteral("%1 / %2").arg(gaucheBouton).arg(attenduBouton)));
        QVERIFY(droiteBouton - gaucheBouton > largeur - 4); // écrite en gras, plus large que mesurée
        QVERIFY(pixelsBlancs(bouton) > 20);
        QCOMPARE(hex(bouton.pixel(1, 0)), u"#FF9696"_qs);
        QCOMPARE(hex(bouton.pixel(1, 19)), u"#8D5D5D"_qs);

        const QImage titre = peindreBoite(dessinerTitre, boite, legende);
        const int attenduTitre = (200 - largeur) / 2;
        const int gaucheTitre = colonnesBlanches(titre).first;
        QVERIFY2(gaucheTitre >= attenduTitre && gaucheTitre <= attenduTitre + 2,
                 qPrintable(QStringLiteral("%1 / %2").arg(gaucheTitre).arg(attenduTitre)));
        QCOMPARE(hex(titre.pixel(1, 0)), u"#BEF2FF"_qs);

        // Verticalement : (h - hauteur du texte) / 2, hauteur mesurée dans la police de la boîte.
        int haut = -1;
        for (int y = 0; y < bouton.height() && haut < 0; ++y)
            for (int x = 0; x < bouton.width(); ++x)
                if (bouton.pixel(x, y) == qRgb(255, 255, 255)) {
                    haut = y;
                    break;
                }
        QVERIFY(haut >= (20 - QFontMetrics(boite.font()).height()) / 2);

        // Une légende plus large que la boîte n'est ni coupée en lignes ni raccourcie : elle déborde.
        QWidget etroite;
        etroite.setFont(boite.font());
        etroite.resize(30, 20);
        const QImage deborde = peindreBoite(dessinerBouton, etroite, QStringLiteral("HHHHHHHHHHHHHHHH"));
        QVERIFY(colonnesBlanches(deborde).first < 10);
        QVERIFY(colonnesBlanches(deborde).second >= 20);
    }

    void aspectEnfonceGardeLaGraisseDuCanevas()
    {
        QWidget boite;
        boite.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        boite.resize(120, 20);
        QImage image(boite.size(), QImage::Format_RGB32);
        image.fill(temoin);
        QPainter canevas(&image);
        canevas.setFont(boite.font());
        canevas.setPen(Qt::black);
        // Sur un canevas neuf, noir et maigre : la légende n'est pas blanche.
        dessinerBoutonEnfonce(canevas, boite, QStringLiteral("Connexion RSS"));
        QCOMPARE(image.pixel(5, 0), temoin); // la ligne du haut n'est pas redessinée
        QCOMPARE(hex(image.pixel(5, 1)), u"#8D5D5D"_qs);
        QCOMPARE(hex(image.pixel(5, 19)), u"#F99393"_qs);
        QCOMPARE(pixelsBlancs(image), 0);
        // Après un dessin normal, le canevas est blanc et gras : l'aspect enfoncé en hérite.
        dessinerBouton(canevas, boite, QStringLiteral("Connexion RSS"));
        dessinerBoutonEnfonce(canevas, boite, QStringLiteral("Connexion RSS"));
        canevas.end();
        QVERIFY(pixelsBlancs(image) > 20);
        QCOMPARE(hex(image.pixel(5, 0)), u"#FF9696"_qs);
        QCOMPARE(hex(image.pixel(5, 1)), u"#8D5D5D"_qs);
    }

    void controlesDeLaFenetre()
    {
        TmainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        struct Attendu
        {
            QWidget *controle;
            const char *haut, *bas;
        };
        const Attendu attendus[] = {
            {f.btAjouterRSS, "#FF9696", "#8D5D5D"},      // bouton de 20
            {f.btOuvrirFond, "#FF9696", "#874E4E"},      // bouton de 25
            {f.btTitreFavoris, "#BEF2FF", "#6E82FF"},    // titre de 17
            {f.pbTitreFlux, "#BEF2FF", "#797FFF"},       // titre du flux, 24
            {f.commandFond, "#DCFAFF", "#B4AAFF"},       // fond des commandes, 41
        };
        for (const Attendu &a : attendus) {
            const QImage image = a.controle->grab().toImage();
            QCOMPARE(hex(image.pixel(1, 0)), QString::fromLatin1(a.haut));
            QCOMPARE(hex(image.pixel(image.width() - 1, 0)), QString::fromLatin1(a.haut));
            QCOMPARE(hex(image.pixel(1, image.height() - 1)), QString::fromLatin1(a.bas));
        }
        // « - » au centre du titre du flux tant qu'aucun flux n'est montré, puis le titre donné.
        const QImage tiret = f.pbTitreFlux->grab().toImage();
        const auto [g, d] = colonnesBlanches(tiret);
        QVERIFY(g > 0);
        QVERIFY(qAbs((g + d) / 2 - f.pbTitreFlux->width() / 2) <= 3);
        f.pbTitreFlux->setIndice(QStringLiteral("Le journal des sciences"));
        QCOMPARE(f.pbTitreFlux->toolTip(), QStringLiteral("Le journal des sciences"));
        const auto [g2, d2] = colonnesBlanches(f.pbTitreFlux->grab().toImage());
        QVERIFY(d2 - g2 > 3 * (d - g));
        f.pbTitreFlux->setIndice(QStringLiteral("-"));

        // Les fonds des barres : degradeBleu pour barreOutils, degradeBleuInverse pour ToolBar2,
        // lus à droite, là où aucun bouton ne se dessine.
        const QImage outils = f.barreOutils->grab().toImage();
        const int xo = outils.width() - 2;
        QCOMPARE(outils.height(), 24);
        QCOMPARE(hex(outils.pixel(xo, 0)), u"#BEF2FF"_qs);
        QCOMPARE(hex(outils.pixel(xo, 23)), u"#797FFF"_qs);
        const QImage menu = f.ToolBar2->grab().toImage();
        const int xm = menu.width() - 2;
        QCOMPARE(menu.height(), 25);
        QCOMPARE(hex(menu.pixel(xm, 1)), u"#7692FF"_qs);  // rangée 24
        QCOMPARE(hex(menu.pixel(xm, 24)), u"#BBEEFF"_qs); // rangée 1
    }

    void aspectEnfonce()
    {
        TmainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.affichageFluxExecute();
        QTest::qWait(100);
        TBoitePeinte *connexion = f.btConnexionFond;
        const QPoint centre = connexion->rect().center();
        auto estEnfonce = [](QWidget *w) {
            const QImage image = ecran(w);
            return hex(image.pixel(2, 1)) == u"#8D5D5D"_qs && hex(image.pixel(2, image.height() - 1)) == u"#F99393"_qs;
        };
        auto estNormal = [](QWidget *w) {
            const QImage image = ecran(w);
            return hex(image.pixel(2, 0)) == u"#FF9696"_qs && hex(image.pixel(2, 1)) != u"#8D5D5D"_qs
                   && hex(image.pixel(2, image.height() - 1)) == u"#8D5D5D"_qs;
        };
        QTRY_VERIFY(estNormal(connexion));
        QSignalSpy connecter(f.connexionRSS_HTTP, &QAction::triggered);
        QSignalSpy ouvrir(f.ouvrirRSS, &QAction::triggered);

        // Bouton droit : l'aspect enfoncé tout de suite, sur ce bouton seulement, puis l'aspect
        // normal au relâché, sans commande.
        QTest::mousePress(connexion, Qt::RightButton, {}, centre);
        QTRY_VERIFY(estEnfonce(connexion));
        QCOMPARE(hex(ecran(connexion).pixel(2, 0)), u"#FF9696"_qs); // la ligne du haut reste
        QVERIFY(hex(ecran(f.btOuvrirFond).pixel(2, 24)) == u"#874E4E"_qs);
        QTest::mouseRelease(connexion, Qt::RightButton, {}, centre);
        QTRY_VERIFY(estNormal(connexion));
        QCOMPARE(connecter.size(), 0);

        // Bouton gauche relâché hors du bouton : pas de clic, l'aspect normal revient.
        QTest::mousePress(connexion, Qt::LeftButton, {}, centre);
        QTRY_VERIFY(estEnfonce(connexion));
        QTest::mouseRelease(connexion, Qt::LeftButton, {}, QPoint(centre.x(), connexion->height() + 30));
        QTRY_VERIFY(estNormal(connexion));
        QCOMPARE(connecter.size(), 0);

        // Un clic : la commande tourne jusqu'au bout sous l'aspect enfoncé, l'aspect normal vient après.
        bool enfonceDurantLaCommande = false;
        connect(f.connexionRSS_HTTP, &QAction::triggered, this,
                [&] { enfonceDurantLaCommande = QTest::qWaitFor([&] { return estEnfonce(connexion); }); });
        QTest::mousePress(connexion, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(connexion, Qt::LeftButton, {}, centre);
        QCOMPARE(connecter.size(), 1);
        QVERIFY(enfonceDurantLaCommande);
        QTRY_VERIFY(estNormal(connexion));
        QCOMPARE(ouvrir.size(), 0);

        // Une nouvelle peinture pendant l'appui montre toujours l'aspect normal.
        QTest::mousePress(connexion, Qt::LeftButton, {}, centre);
        QTRY_VERIFY(estEnfonce(connexion));
        connexion->repaint();
        QTRY_VERIFY(estNormal(connexion));
        QTest::mouseRelease(connexion, Qt::LeftButton, {}, QPoint(-40, -40));

        // Les autres boutons peints n'ont pas d'aspect enfoncé.
        QTest::mousePress(f.btAjouterRSS, Qt::LeftButton, {}, f.btAjouterRSS->rect().center());
        QTest::qWait(200);
        QVERIFY(estNormal(f.btAjouterRSS));
        QTest::mouseRelease(f.btAjouterRSS, Qt::LeftButton, {}, QPoint(-40, -40));

        // « Ouvrir RSS » a le même comportement.
        f.affichageFavorisExecute();
        QTest::qWait(50);
        QTest::mousePress(f.btOuvrirFond, Qt::RightButton, {}, f.btOuvrirFond->rect().center());
        QTRY_COMPARE(hex(ecran(f.btOuvrirFond).pixel(2, 1)), u"#874E4E"_qs);
        QTest::mouseRelease(f.btOuvrirFond, Qt::RightButton, {}, f.btOuvrirFond->rect().center());
        QTRY_COMPARE(hex(ecran(f.btOuvrirFond).pixel(2, 24)), u"#874E4E"_qs);
        QCOMPARE(ouvrir.size(), 0);
    }
};

QTEST_MAIN(TestPeinture)
#include "tst_peinture.moc"
