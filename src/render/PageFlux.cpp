// La page d'un flux : les lignes de lignesPage, écrites dans rss-temps.html en Windows-1252,
// chacune suivie de CR LF. Les valeurs sont insérées telles quelles : les descriptions sont du
// HTML fait pour être affiché.

#include "base/TdmRSS.h"

#include "commun/Emplacement.h"
#include "commun/EcritureFichier.h"

namespace {

const QByteArray couleurDocument = QByteArrayLiteral("#D0E0ED");

TexteEtroit retrait(int blancs) { return TexteEtroit(blancs, ' '); }

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
    lignesPage.clear();
    // Ce flux ne sert qu'à cette page : il est libéré dès qu'elle est écrite.
    const PFlux flux = analyserFlux(XMLDoc);
    return genererPageFlux(*flux);
}

QString TdmRSS::genererPageFlux(const TFlux &flux)
{
    return ecrirePageFlux(flux, depuisEtroit(couleurDocument));
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

QString TdmRSS::ecrirePageFlux(const TFlux &flux, const QString &couleur)
{
    const TImageFlux &image = flux.getImage();
    const TexteEtroit couleurEtroite = versEtroit(couleur);
    lignesPage.reserve(lignesPage.size() + 16 + 5 * flux.infos.size());

    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));
    lignesPage.append(retrait(2) + "<tr><td border=\"0\">");
    lignesPage.append(retrait(6) + "<a href=\"" + versEtroit(image.getLien()) + "\">");
    lignesPage.append(retrait(10) + "<img src=\"" + versEtroit(image.getUrl()) + "\" border=\"0\">");
    lignesPage.append(retrait(6) + "</a>");
    lignesPage.append(retrait(6) + "</td>");
    lignesPage.append(retrait(6) + "<td><center><b>" + versEtroit(flux.getTitre()) + "</b></center>");
    lignesPage.append(retrait(6) + "</td>");
    lignesPage.append(retrait(2) + "</tr>");
    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append(versEtroit(flux.getDescription()));
    lignesPage.append(QByteArrayLiteral("<hr>"));
    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));

    // Les lignes d'ouverture des items pairs et impairs ne changent pas d'un item à l'autre.
    const TexteEtroit ouvertureTeintee = retrait(3) + "<tr><td bgcolor=\"" + couleurEtroite + "\">";
    const TexteEtroit ouvertureSimple = retrait(3) + "<tr><td>";
    const TexteEtroit fermeture = retrait(3) + "</td></tr>";
    for (qsizetype k = 0; k < flux.infos.size(); ++k) {
        const TInfo &info = *flux.infos.at(k);
        lignesPage.append(k % 2 == 0 ? ouvertureTeintee : ouvertureSimple);
        lignesPage.append(retrait(6) + "<a href=\"" + versEtroit(info.getLien()) + "\"><h2>"
                          + versEtroit(info.getTitre()) + "</h2></a>");
        lignesPage.append(retrait(6) + "<p>" + versEtroit(info.getDescription()) + "</p>");
        lignesPage.append(retrait(6) + "<h6><i>" + versEtroit(info.getDatePub()) + "</i></h6>");
        lignesPage.append(fermeture);
    }

    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append("<center><h5><i>RSS - lang : " + versEtroit(flux.getLangue()) + " - "
                      + versEtroit(flux.getAuteur()) + "<br>" + versEtroit(flux.getCopyright())
                      + " - publication : " + versEtroit(flux.getDatePub()) + "</i></h5></center>");

    const QString chemin = Emplacement::cheminPage();
    ecrireFichierEntier(chemin, contenuDe(lignesPage));
    return chemin;
}
