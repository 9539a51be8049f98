// La page d'un flux : les lignes de lignesPage, écrites dans rss-temps.html en Windows-1252,
// chacune suivie de CR LF. Les valeurs sont insérées telles quelles (les descriptions sont du
// HTML fait pour être affiché), mais chacune équilibrée pour ne pas déborder sur la page, un
// titre ou un copyright en texte échappé (ValeursPage).

#include "base/TdmRSS.h"

#include "commun/Emplacement.h"
#include "commun/EcritureFichier.h"
#include "commun/NombreFrancais.h"
#include "render/PoidsPage.h"
#include "render/ValeursPage.h"

#include <cstring>

namespace {

// Une ligne faite de morceaux fixes (ASCII) et de valeurs converties en Windows-1252.
qsizetype tailleMorceau(const char *fixe) { return qsizetype(std::strlen(fixe)); }
qsizetype tailleMorceau(const QString &valeur) { return valeur.size(); }
void ajouterMorceau(TexteEtroit &ligne, const char *fixe) { ligne.append(fixe); }
void ajouterMorceau(TexteEtroit &ligne, const QString &valeur) { ajouterEtroit(ligne, valeur); }

template<typename... Morceaux>
TexteEtroit ligne(const Morceaux &...morceaux)
{
    TexteEtroit resultat;
    resultat.reserve((tailleMorceau(morceaux) + ...));
    (ajouterMorceau(resultat, morceaux), ...);
    return resultat;
}

// Les nœuds qu'une information écrit d'elle-même, ses valeurs mises à part.
constexpr qint64 noeudsFixesParInformation = 16;

// La taille de la page : ses lignes, chacune suivie de CR LF.
qsizetype taillePage(const QList<TexteEtroit> &lignes)
{
    qsizetype taille = 0;
    for (const TexteEtroit &ligne : lignes)
        taille += ligne.size() + 2;
    return taille;
}

// Les lignes, chacune suivie de CR LF.
QByteArray contenuDe(const QList<TexteEtroit> &lignes)
{
    QByteArray contenu;
    contenu.reserve(taillePage(lignes));
    for (const TexteEtroit &ligne : lignes) {
        contenu += ligne;
        contenu += "\r\n";
    }
    return contenu;
}

// Une valeur d'en-tête ou de pied telle que la page l'écrit (écrite), si elle tient dans ce qui
// reste à la page, qu'elle réduit d'autant ; sinon « (trop long pour la page) ». Une valeur trop
// longue telle quelle n'est pas écrite : ce qui l'écrit ne la raccourcit pas de beaucoup.
template<typename Ecrire>
QString pourLaPage(const QString &valeur, PoidsPage &poids, const BudgetHtml &budget, Ecrire &&ecrire)
{
    if (valeur.size() > poids.octetsPossibles())
        return QStringLiteral("(trop long pour la page)");
    const qint64 noeudsAvant = budget.noeuds();
    QString ecrite = ecrire(valeur);
    if (!poids.prendre(ecrite.size(), 1 + budget.noeuds() - noeudsAvant))
        return QStringLiteral("(trop long pour la page)");
    return ecrite;
}

} // namespace

QString TdmRSS::genererPageDocument()
{
    // Ce flux ne sert qu'à cette page : il est libéré dès qu'elle est écrite.
    return genererPageDocument(*analyserFlux(XMLDoc));
}

QString TdmRSS::genererPageDocument(const TFlux &fluxLu, const EstNouvelle &estNouvelle)
{
    lignesPage.clear();
    return genererPageFlux(fluxLu, estNouvelle);
}

QString TdmRSS::genererPageFlux(const TFlux &flux, const EstNouvelle &estNouvelle)
{
    return ecrirePageFlux(flux, QStringLiteral("#D0E0ED"), estNouvelle);
}

QString TdmRSS::genererPageInfosSauvegardees(const TFlux &flux)
{
    lignesPage.append(QByteArrayLiteral("<hr>"));
    lignesPage.append(QByteArrayLiteral("<table bgcolor=\"#FFCCCC\" width=\"100%\">"));
    lignesPage.append(QByteArrayLiteral("<tr><td align=\"center\">"));
    lignesPage.append(versEtroit(QStringLiteral("<b>Informations sauvegardées</b>")));
    lignesPage.append(QByteArrayLiteral("</td></tr></table>"));
    lignesPage.append(QByteArrayLiteral("<hr>"));
    return ecrirePageFlux(flux, QStringLiteral("#FFCCCC"));
}

QString TdmRSS::ecrirePageFlux(const TFlux &flux, const QString &couleur, const EstNouvelle &estNouvelle)
{
    const TImageFlux &image = flux.getImage();
    BudgetHtml budget;
    lignesPage.reserve(lignesPage.size() + 15 + 5 * flux.infos.size());
    // Ce que la page peut encore recevoir, la réserve du pied et de la dernière ligne mise à part ;
    // une valeur y est comptée pour un octet par caractère, ce qu'elle prend au plus, et ses nœuds
    // tels que l'analyseur HTML les a relevés.
    PoidsPage poids(poidsMaxPage - PoidsPage::poids(reservePage + taillePage(lignesPage), reservePage / 4));
    const auto adresse = [](const QString &valeur) { return adresseDePage(valeur); };
    const auto equilibre = [&budget](const QString &valeur) { return htmlEquilibre(valeur, budget); };

    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("  <tr><td border=\"0\">"));
    lignesPage.append(ligne("      <a href=\"", pourLaPage(image.getLien(), poids, budget, adresse), "\">"));
    lignesPage.append(ligne("          <img src=\"", pourLaPage(image.getUrl(), poids, budget, adresse), "\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("      </a>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(ligne("      <td><center><b>",
                            pourLaPage(flux.getTitre(), poids, budget,
                                       [&](const QString &v) { return champDePage(v, flux.getTitreEnTexte(), budget); }),
                            "</b></center>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(QByteArrayLiteral("  </tr>"));
    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append(versEtroit(pourLaPage(flux.getDescription(), poids, budget, equilibre)));
    lignesPage.append(QByteArrayLiteral("<hr>"));
    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));

    // Les lignes d'ouverture et de fermeture ne changent pas d'un item à l'autre : elles sont
    // partagées par toutes les lignes qui les répètent.
    const TexteEtroit ouvertureTeintee = ligne("   <tr><td bgcolor=\"", couleur, "\">");
    const TexteEtroit ouvertureSimple = QByteArrayLiteral("   <tr><td>");
    const TexteEtroit fermeture = QByteArrayLiteral("   </td></tr>");
    qsizetype k = 0;
    for (; k < flux.infos.size(); ++k) {
        const TInfo &info = *flux.infos.at(k);
        // Les informations qui ne tiennent plus dans la page restent dans la liste : celle qui ne
        // tient pas telle quelle n'est pas écrite, celle qui ne tient pas une fois écrite non plus.
        const TexteEtroit &ouverture = k % 2 == 0 ? ouvertureTeintee : ouvertureSimple;
        if (120 + info.getLien().size() + info.getTitre().size() + info.getDescription().size() + info.getDatePub().size()
            > poids.octetsPossibles())
            break;
        const qint64 noeudsAvant = budget.noeuds();
        // Une information nouvelle porte « Nouveau » devant son titre, dans le titre même.
        const char *marque = estNouvelle && estNouvelle(info) ? "<font color=\"#CC0000\">Nouveau</font> " : "";
        TexteEtroit titre = ligne("      <a href=\"", adresseDePage(info.getLien()), "\"><h2>", marque,
                                  champDePage(info.getTitre(), info.getTitreEnTexte(), budget), "</h2></a>");
        TexteEtroit description = ligne("      <p>", descriptionDePage(info, budget), "</p>");
        TexteEtroit date = ligne("      <h6><i>", htmlEquilibre(info.getDatePub(), budget), "</i></h6>");
        // Les nœuds des lignes fixes (ligne, cellule, lien, titres, paragraphe, italique, la marque,
        // les sauts de ligne entre les balises) et ceux des valeurs relues.
        if (!poids.prendre(ouverture.size() + titre.size() + description.size() + date.size() + fermeture.size() + 10,
                           noeudsFixesParInformation + budget.noeuds() - noeudsAvant))
            break;
        lignesPage.append(ouverture);
        lignesPage.append(std::move(titre));
        lignesPage.append(std::move(description));
        lignesPage.append(std::move(date));
        lignesPage.append(fermeture);
    }

    lignesPage.append(QByteArrayLiteral("</table>"));
    if (const qsizetype restantes = flux.infos.size() - k; restantes > 0)
        lignesPage.append(versEtroit(restantes == 1 ? QStringLiteral("<p><i>La page s'arrête ici : 1 information de plus est dans la liste.</i></p>")
                                                    : QStringLiteral("<p><i>La page s'arrête ici : %1 informations de plus sont dans la liste.</i></p>")
                                                          .arg(nombreFrancaisEtroit(restantes))));
    // Le pied tient dans la réserve : chaque valeur en a le huitième au plus.
    const auto pied = [&budget](const QString &valeur, const auto &ecrire) {
        PoidsPage reserve(PoidsPage::poids(reservePage / 8, reservePage / 32));
        return pourLaPage(valeur, reserve, budget, ecrire);
    };
    lignesPage.append(ligne("<center><h5><i>RSS - lang : ", pied(flux.getLangue(), equilibre), " - ",
                            pied(flux.getAuteur(), equilibre), "<br>",
                            pied(flux.getCopyright(),
                                 [&](const QString &v) { return champDePage(v, flux.getCopyrightEnTexte(), budget); }),
                            " - publication : ", pied(flux.getDatePub(), equilibre), "</i></h5></center>"));

    return ecrireLignesPage();
}

QString TdmRSS::reprendrePageDocument(const QList<TexteEtroit> &lignes)
{
    lignesPage = lignes;
    return ecrireLignesPage();
}

QString TdmRSS::ecrireLignesPage() const
{
    const QString chemin = Emplacement::cheminPage();
    ecrireFichierEntier(chemin, contenuDe(lignesPage));
    return chemin;
}
