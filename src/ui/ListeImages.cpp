#include "ui/ListeImages.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <array>
#include <optional>
#include <vector>

namespace ListeImages {

namespace {

using Dessin = void (*)(QPainter &);

// Petite pastille posée en bas à droite d'une image du thème : ajouter ou retirer.
enum class Marque { Aucune, Plus, Moins };

// Une image de la liste : le fichier du thème Tango (catégorie/nom, sans extension, ou nul pour
// une image toujours dessinée), la pastille ajoutée, et le dessin de remplacement.
struct Recette
{
    int index;
    const char *theme;
    Marque marque;
    Dessin dessin;
};

// --- Outils de dessin (repère 16 × 16) ---

const QColor contour(0x55, 0x57, 0x53);
const QColor blanc(0xFF, 0xFF, 0xFF);
const QColor jaune(0xED, 0xD4, 0x00);
const QColor vert(0x4E, 0x9A, 0x06);
const QColor vertClair(0x8A, 0xE2, 0x34);
const QColor rouge(0xCC, 0x00, 0x00);
const QColor bleu(0x34, 0x65, 0xA4);
const QColor bleuClair(0x72, 0x9F, 0xCF);
const QColor orange(0xF5, 0x79, 0x00);
const QColor gris(0xBA, 0xBD, 0xB6);

void crayon(QPainter &p, const QColor &couleur, qreal epaisseur = 1.0)
{
    p.setPen(QPen(couleur, epaisseur, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void page(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(blanc);
    p.drawPolygon(QPolygonF({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}}));
}

void lignesTexte(QPainter &p, int premiere, int derniere)
{
    crayon(p, QColor(0x88, 0x8A, 0x85));
    for (int y = premiere; y <= derniere; y += 2)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
}

void dossierFerme(QPainter &p)
{
    crayon(p, QColor(0x8F, 0x59, 0x02));
    p.setBrush(QColor(0xE9, 0xB9, 0x6E));
    p.drawRect(QRectF(0.5, 2.5, 6, 3));
    p.setBrush(QColor(0xFC, 0xE9, 0x4F));
    p.drawRect(QRectF(0.5, 4.5, 15, 10));
}

void pastille(QPainter &p, Marque marque)
{
    if (marque == Marque::Aucune)
        return;
    const QColor fond = marque == Marque::Plus ? vert : rouge;
    crayon(p, fond.darker(140));
    p.setBrush(fond);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    crayon(p, blanc, 1.5);
    p.drawLine(QPointF(10, 12), QPointF(14, 12));
    if (marque == Marque::Plus)
        p.drawLine(QPointF(12, 10), QPointF(12, 14));
}

void signeLarge(QPainter &p, bool plus)
{
    crayon(p, bleu.darker(130));
    p.setBrush(bleuClair);
    p.drawRect(QRectF(1.5, 6.5, 13, 3));
    if (plus)
        p.drawRect(QRectF(6.5, 1.5, 3, 13));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(2, 7, 12, 2)); // recouvre le croisement
}

void fleche(QPainter &p, bool versDroite)
{
    QPolygonF f({{1.5, 6.5}, {8.5, 6.5}, {8.5, 2.5}, {14.5, 8}, {8.5, 13.5}, {8.5, 9.5}, {1.5, 9.5}});
    if (!versDroite) {
        for (QPointF &point : f)
            point.setX(16 - point.x());
    }
    crayon(p, vert);
    p.setBrush(vertClair);
    p.drawPolygon(f);
}

void coeur(QPainter &p)
{
    QPainterPath chemin;
    chemin.moveTo(8, 14.5);
    chemin.cubicTo(1, 9, 0, 5, 2.5, 2.5);
    chemin.cubicTo(4.5, 0.8, 7, 1.5, 8, 4);
    chemin.cubicTo(9, 1.5, 11.5, 0.8, 13.5, 2.5);
    chemin.cubicTo(16, 5, 15, 9, 8, 14.5);
    crayon(p, QColor(0xA4, 0x00, 0x00));
    p.setBrush(QColor(0xEF, 0x29, 0x29));
    p.drawPath(chemin);
}

void loupe(QPainter &p, const QRectF &verre)
{
    crayon(p, contour, 3);
    const QPointF bord = verre.center() + QPointF(verre.width() * 0.36, verre.height() * 0.36);
    p.drawLine(bord, bord + QPointF(verre.width() * 0.45, verre.height() * 0.45));
    crayon(p, contour, 1.2);
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawEllipse(verre);
}

// --- Les dessins de remplacement, un par sens ---

void dessinOuvrir(QPainter &p)
{
    crayon(p, QColor(0x8F, 0x59, 0x02));
    p.setBrush(QColor(0xE9, 0xB9, 0x6E));
    p.drawRect(QRectF(0.5, 3.5, 12, 11));
    p.setBrush(blanc);
    p.drawRect(QRectF(2.5, 1.5, 9, 8));
    p.setBrush(QColor(0xFC, 0xE9, 0x4F));
    p.drawPolygon(QPolygonF({{0.5, 14.5}, {3.5, 7.5}, {15.5, 7.5}, {12.5, 14.5}}));
}

void dessinConnexion(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(bleuClair);
    p.drawRect(QRectF(0.5, 6.5, 8, 6));
    p.drawRect(QRectF(7.5, 1.5, 8, 6));
    crayon(p, vert, 1.5);
    p.drawLine(QPointF(4, 4), QPointF(4, 1));
    p.drawLine(QPointF(2.5, 2.5), QPointF(4, 1));
    p.drawLine(QPointF(12, 10), QPointF(12, 14.5));
    p.drawLine(QPointF(10.5, 13), QPointF(12, 14.5));
}

void dessinAjouterSource(QPainter &p) { signeLarge(p, true); }
void dessinSupprimerSource(QPainter &p) { signeLarge(p, false); }

void dessinFermer(QPainter &p)
{
    crayon(p, QColor(0xA4, 0x00, 0x00));
    p.setBrush(rouge);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    crayon(p, blanc, 2.2);
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
}

void dessinEnregistrer(QPainter &p)
{
    crayon(p, QColor(0x20, 0x4A, 0x87));
    p.setBrush(bleu);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(blanc);
    p.drawRect(QRectF(3.5, 1.5, 9, 6));
    p.setBrush(gris);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void dessinAjouterRubrique(QPainter &p)
{
    dossierFerme(p);
    pastille(p, Marque::Plus);
}

void dessinCocher(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(blanc);
    p.drawRect(QRectF(1.5, 3.5, 11, 11));
    crayon(p, vert, 2.4);
    p.drawPolyline(QPolygonF({{3.5, 8.5}, {6.5, 11.5}, {14, 1.5}}));
}

void dessinCharger(QPainter &p)
{
    crayon(p, vert);
    p.setBrush(vertClair);
    p.drawPolygon(QPolygonF({{5.5, 1.5}, {10.5, 1.5}, {10.5, 8.5}, {14.5, 8.5}, {8, 15}, {1.5, 8.5}, {5.5, 8.5}}));
}

void dessinQuitter(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(gris);
    p.drawRect(QRectF(5.5, 0.5, 10, 15));
    crayon(p, rouge);
    p.setBrush(QColor(0xEF, 0x29, 0x29));
    p.drawPolygon(QPolygonF({{0.5, 8}, {6, 3.5}, {6, 6.5}, {11.5, 6.5}, {11.5, 9.5}, {6, 9.5}, {6, 12.5}}));
}

void dessinPrecedent(QPainter &p) { fleche(p, false); }
void dessinSuivant(QPainter &p) { fleche(p, true); }

void dessinActualiser(QPainter &p)
{
    crayon(p, bleu, 2.2);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 260 * 16);
    crayon(p, bleu);
    p.setBrush(bleu);
    p.drawPolygon(QPolygonF({{6.5, 0.5}, {10.5, 3}, {6.5, 5.5}}));
}

// Deux flèches qui tournent l'une après l'autre : toutes les sources.
void dessinActualiserSources(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    crayon(p, vert, 2.2);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 20 * 16, 140 * 16);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 200 * 16, 140 * 16);
    crayon(p, vert);
    p.setBrush(vert);
    p.drawPolygon(QPolygonF({{1, 6.5}, {5.5, 6.5}, {3.25, 10}}));
    p.drawPolygon(QPolygonF({{15, 9.5}, {10.5, 9.5}, {12.75, 6}}));
}

// Le triangle d'avertissement : une actualisation qui a échoué.
void dessinEchec(QPainter &p)
{
    crayon(p, QColor(0xC4, 0xA0, 0x00));
    p.setBrush(jaune);
    p.drawPolygon(QPolygonF({{8, 1}, {15.5, 15}, {0.5, 15}}));
    crayon(p, contour, 2);
    p.drawLine(QPointF(8, 5.5), QPointF(8, 10));
    p.drawPoint(QPointF(8, 12.5));
}

void dessinFavoris(QPainter &p) { coeur(p); }

void dessinGestionFlux(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(blanc);
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    p.setBrush(QColor(0x88, 0x8A, 0x85));
    p.drawRect(QRectF(2.5, 3.5, 5, 4));
    lignesTexte(p, 3, 12);
}

void dessinArbre(QPainter &p)
{
    crayon(p, contour);
    p.drawLine(QPointF(3.5, 4), QPointF(3.5, 13.5));
    p.drawLine(QPointF(3.5, 8.5), QPointF(8, 8.5));
    p.drawLine(QPointF(3.5, 13.5), QPointF(8, 13.5));
    p.setBrush(orange);
    p.drawRect(QRectF(0.5, 0.5, 6, 4));
    p.setBrush(bleuClair);
    p.drawRect(QRectF(8.5, 6.5, 7, 4));
    p.drawRect(QRectF(8.5, 11.5, 7, 4));
}

void dessinRecherche(QPainter &p) { loupe(p, QRectF(1.5, 1.5, 9, 9)); }

void dessinLancerRecherche(QPainter &p)
{
    page(p);
    lignesTexte(p, 3, 7);
    loupe(p, QRectF(4.5, 6.5, 6, 6));
}

void dessinChargerTrouve(QPainter &p)
{
    dossierFerme(p);
    loupe(p, QRectF(5.5, 5.5, 6, 6));
}

void dessinSupprimerInfo(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(gris);
    p.drawRect(QRectF(2.5, 3.5, 11, 2));
    p.drawRect(QRectF(6.5, 1.5, 3, 2));
    p.setBrush(QColor(0xEE, 0xEE, 0xEC));
    p.drawPolygon(QPolygonF({{3.5, 5.5}, {12.5, 5.5}, {11.5, 15.5}, {4.5, 15.5}}));
    crayon(p, rouge, 1.6);
    p.drawLine(QPointF(6, 8), QPointF(10, 13));
    p.drawLine(QPointF(10, 8), QPointF(6, 13));
}

void dessinTitre(QPainter &p)
{
    crayon(p, bleu.darker(130));
    p.setBrush(bleuClair);
    p.drawPolygon(QPolygonF({{1.5, 1.5}, {14.5, 1.5}, {14.5, 5.5}, {10, 5.5}, {10, 14.5}, {6, 14.5}, {6, 5.5}, {1.5, 5.5}}));
}

void dessinLien(QPainter &p)
{
    crayon(p, contour, 1.6);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 5, 8, 6), 3, 3);
    crayon(p, bleu, 1.6);
    p.drawRoundedRect(QRectF(7, 5, 8, 6), 3, 3);
}

void dessinDescription(QPainter &p)
{
    page(p);
    lignesTexte(p, 3, 13);
}

void dessinCanal(QPainter &p)
{
    crayon(p, QColor(0xCE, 0x5C, 0x00));
    p.setBrush(orange);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(blanc);
    p.drawEllipse(QPointF(4.5, 11.5), 1.6, 1.6);
    crayon(p, blanc, 1.8);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-3, 4, 15, 15), 0, 90 * 16);
    p.drawArc(QRectF(-7.5, -0.5, 24, 24), 0, 90 * 16);
}

void dessinLangue(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(bleu);
    p.drawRect(QRectF(0.5, 2.5, 5, 11));
    p.setBrush(blanc);
    p.drawRect(QRectF(5.5, 2.5, 5, 11));
    p.setBrush(rouge);
    p.drawRect(QRectF(10.5, 2.5, 5, 11));
}

void dessinAdresse(QPainter &p)
{
    crayon(p, bleu.darker(130));
    p.setBrush(bleuClair);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4.5, 0.5, 7, 15));
    p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
    p.drawLine(QPointF(8, 0.5), QPointF(8, 15.5));
}

void dessinInfo(QPainter &p)
{
    page(p);
    p.setPen(Qt::NoPen);
    p.setBrush(bleuClair);
    p.drawRect(QRectF(4, 3, 7, 3));
    lignesTexte(p, 8, 13);
}

void dessinDate(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(blanc);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.setBrush(rouge);
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(contour);
    for (int ligne = 0; ligne < 3; ++ligne) {
        for (int colonne = 0; colonne < 4; ++colonne)
            p.drawRect(QRectF(3 + colonne * 3, 7 + ligne * 2.5, 1.5, 1.5));
    }
}

void dessinImage(QPainter &p)
{
    crayon(p, contour);
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(jaune);
    p.drawEllipse(QPointF(11.5, 5.5), 1.6, 1.6);
    p.setBrush(vert);
    p.drawPolygon(QPolygonF({{1, 13}, {5.5, 6.5}, {9, 11}, {11, 9}, {15, 13}}));
}

void dessinNeutre(QPainter &p)
{
    crayon(p, QColor(0xD3, 0xD7, 0xCF));
    p.setBrush(QColor(0xEE, 0xEE, 0xEC));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
}

// Les images dont le programme se sert. Un même index sert à tous ses usages
// (119 : fermer l'onglet et « copyright » ; 99 : décocher et enregistrer une information ;
// 138 : connexion et « À propos »).
constexpr std::array<Recette, 34> recettes = {{
    {197, "actions/document-open", Marque::Aucune, dessinOuvrir},
    {138, "status/network-transmit-receive", Marque::Aucune, dessinConnexion},
    {95, "actions/list-add", Marque::Aucune, dessinAjouterSource},
    {119, "actions/process-stop", Marque::Aucune, dessinFermer},
    {202, "actions/document-save", Marque::Aucune, dessinEnregistrer},
    {204, "actions/folder-new", Marque::Aucune, dessinAjouterRubrique},
    {205, "places/folder", Marque::Moins, dossierFerme},
    {99, nullptr, Marque::Aucune, dessinCocher},
    {153, "actions/list-remove", Marque::Aucune, dessinSupprimerSource},
    {201, "emblems/emblem-favorite", Marque::Plus, coeur},
    {184, "emblems/emblem-favorite", Marque::Moins, coeur},
    {128, "actions/go-jump", Marque::Aucune, dessinCharger},
    {118, "actions/system-log-out", Marque::Aucune, dessinQuitter},
    {207, "actions/go-previous", Marque::Aucune, dessinPrecedent},
    {206, "actions/go-next", Marque::Aucune, dessinSuivant},
    {116, "actions/view-refresh", Marque::Aucune, dessinActualiser},
    {117, "actions/mail-send-receive", Marque::Aucune, dessinActualiserSources},
    {126, "status/dialog-warning", Marque::Aucune, dessinEchec},
    {200, "emblems/emblem-favorite", Marque::Aucune, dessinFavoris},
    {91, "apps/internet-news-reader", Marque::Aucune, dessinGestionFlux},
    {162, nullptr, Marque::Aucune, dessinArbre},
    {166, "actions/system-search", Marque::Aucune, dessinRecherche},
    {170, "actions/edit-find", Marque::Aucune, dessinLancerRecherche},
    {96, "places/folder-saved-search", Marque::Aucune, dessinChargerTrouve},
    {185, "actions/edit-delete", Marque::Aucune, dessinSupprimerInfo},
    {33, "actions/format-text-bold", Marque::Aucune, dessinTitre},
    {13, "emblems/emblem-symbolic-link", Marque::Aucune, dessinLien},
    {108, "mimetypes/text-x-generic", Marque::Aucune, dessinDescription},
    {51, nullptr, Marque::Aucune, dessinCanal},
    {107, "apps/preferences-desktop-locale", Marque::Aucune, dessinLangue},
    {8, "apps/internet-web-browser", Marque::Aucune, dessinAdresse},
    {3, "mimetypes/x-office-document", Marque::Aucune, dessinInfo},
    {39, "mimetypes/x-office-calendar", Marque::Aucune, dessinDate},
    {81, "mimetypes/image-x-generic", Marque::Aucune, dessinImage},
}};

const Recette *recette(int index)
{
    for (const Recette &r : recettes) {
        if (r.index == index)
            return &r;
    }
    return nullptr;
}

QImage toileVide()
{
    QImage toile(taille, taille, QImage::Format_ARGB32_Premultiplied);
    toile.fill(Qt::transparent);
    return toile;
}

QPixmap dessiner(Dessin dessin, Marque marque = Marque::Aucune)
{
    QImage toile = toileVide();
    QPainter p(&toile);
    p.setRenderHint(QPainter::Antialiasing);
    dessin(p);
    pastille(p, marque);
    p.end();
    return QPixmap::fromImage(toile);
}

// Le dossier des images 16 × 16 du thème Tango, cherché une fois dans les dossiers de données du
// système, terminé par un séparateur ; vide s'il manque.
const QString &dossierDuTheme()
{
    static const QString dossier = [] {
        const QString trouve = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                      QStringLiteral("icons/Tango/16x16"), QStandardPaths::LocateDirectory);
        return trouve.isEmpty() ? QString() : trouve + QLatin1Char('/');
    }();
    return dossier;
}

// L'image du thème Tango ; nulle si absente.
QImage imageDuTheme(const char *nom)
{
    if (dossierDuTheme().isEmpty())
        return QImage();
    QImage lue(dossierDuTheme() + QLatin1String(nom) + QStringLiteral(".png"));
    if (lue.isNull())
        return QImage();
    if (lue.size() != QSize(taille, taille))
        lue = lue.scaled(taille, taille, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage toile = toileVide();
    QPainter p(&toile);
    p.drawImage(QPointF((taille - lue.width()) / 2.0, (taille - lue.height()) / 2.0), lue);
    return toile;
}

struct Entree
{
    QPixmap image;
    QIcon icone;
    bool duTheme = false;
};

Entree construireEntree(int index)
{
    Entree e;
    const Recette *r = recette(index);
    if (!r) {
        static const QPixmap neutre = dessiner(dessinNeutre);
        e.image = neutre;
    } else if (QImage themee = r->theme ? imageDuTheme(r->theme) : QImage(); !themee.isNull()) {
        QPainter p(&themee);
        p.setRenderHint(QPainter::Antialiasing);
        pastille(p, r->marque);
        p.end();
        e.image = QPixmap::fromImage(themee);
        e.duTheme = true;
    } else {
        e.image = dessiner(r->dessin, r->marque);
    }
    // La même image à l'état sélectionné : Qt ne la teinte pas.
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected, QIcon::Active})
        e.icone.addPixmap(e.image, mode);
    return e;
}

// Chaque entrée est construite à son premier usage (il faut une application graphique), et
// gardée : le démarrage ne fait que celles des actions, l'arbre XML les siennes plus tard.
const Entree &entree(int index)
{
    static std::vector<std::optional<Entree>> table(nombre);
    std::optional<Entree> &e = table[static_cast<std::size_t>(index)];
    if (!e)
        e = construireEntree(index);
    return *e;
}

bool dansLaListe(int index) { return index >= 0 && index < nombre; }

} // namespace

QIcon icone(int index)
{
    return dansLaListe(index) ? entree(index).icone : QIcon();
}

QPixmap image(int index)
{
    return dansLaListe(index) ? entree(index).image : QPixmap();
}

bool vientDuTheme(int index)
{
    return dansLaListe(index) && entree(index).duTheme;
}

QPixmap imageDessinee(int index)
{
    if (!dansLaListe(index))
        return QPixmap();
    const Recette *r = recette(index);
    return r ? dessiner(r->dessin, r->marque) : dessiner(dessinNeutre);
}

} // namespace ListeImages
