// La page d'un flux : les lignes de lignesPage, écrites dans rss-temps.html en Windows-1252,
// chacune suivie de CR LF. Les valeurs sont insérées telles quelles (les descriptions sont du
// HTML fait pour être affiché), mais chacune équilibrée pour ne pas déborder sur la page, un
// titre ou un copyright en texte échappé (ValeursPage).

#include "base/TdmRSS.h"

#include "commun/Emplacement.h"
#include "commun/EcritureFichier.h"
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

// Les lignes, chacune suivie de CR LF.
QByteArray contenuDe(const QList<TexteEtroit> &lignes)
{
    qsizetype taille = 0;
    for (const TexteEtroit &ligne : lignes)
        taille += ligne.size() + 2;
    QByteArray contenu;
    contenu.reserve(taille);
    for (const TexteEtroit &ligne : lignes) {
        contenu += ligne;
        contenu += "\r\n";
    }
    return contenu;
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

    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("  <tr><td border=\"0\">"));
    lignesPage.append(ligne("      <a href=\"", adresseDePage(image.getLien()), "\">"));
    lignesPage.append(ligne("          <img src=\"", adresseDePage(image.getUrl()), "\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("      </a>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(
        ligne("      <td><center><b>", champDePage(flux.getTitre(), flux.getTitreEnTexte(), budget), "</b></center>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(QByteArrayLiteral("  </tr>"));
    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append(versEtroit(htmlEquilibre(flux.getDescription(), budget)));
    lignesPage.append(QByteArrayLiteral("<hr>"));
    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));

    // Les lignes d'ouverture et de fermeture ne changent pas d'un item à l'autre : elles sont
    // partagées par toutes les lignes qui les répètent.
    const TexteEtroit ouvertureTeintee = ligne("   <tr><td bgcolor=\"", couleur, "\">");
    const TexteEtroit ouvertureSimple = QByteArrayLiteral("   <tr><td>");
    const TexteEtroit fermeture = QByteArrayLiteral("   </td></tr>");
    for (qsizetype k = 0; k < flux.infos.size(); ++k) {
        const TInfo &info = *flux.infos.at(k);
        lignesPage.append(k % 2 == 0 ? ouvertureTeintee : ouvertureSimple);
        // Une information nouvelle porte « Nouveau » devant son titre, dans le titre même.
        const char *marque = estNouvelle && estNouvelle(info) ? "<font color=\"#CC0000\">Nouveau</font> " : "";
        lignesPage.append(ligne("      <a href=\"", adresseDePage(info.getLien()), "\"><h2>", marque,
                                champDePage(info.getTitre(), info.getTitreEnTexte(), budget), "</h2></a>"));
        lignesPage.append(ligne("      <p>", htmlEquilibre(info.getDescription(), budget), "</p>"));
        lignesPage.append(ligne("      <h6><i>", htmlEquilibre(info.getDatePub(), budget), "</i></h6>"));
        lignesPage.append(fermeture);
    }

    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append(ligne("<center><h5><i>RSS - lang : ", htmlEquilibre(flux.getLangue(), budget), " - ",
                            htmlEquilibre(flux.getAuteur(), budget), "<br>",
                            champDePage(flux.getCopyright(), flux.getCopyrightEnTexte(), budget), " - publication : ",
                            htmlEquilibre(flux.getDatePub(), budget), "</i></h5></center>"));

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
