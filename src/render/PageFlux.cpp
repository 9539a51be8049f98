// La page d'un flux : les lignes de lignesPage, écrites dans rss-temps.html en Windows-1252,
// chacune suivie de CR LF. Les valeurs sont insérées telles quelles : les descriptions sont du
// HTML fait pour être affiché.

#include "base/TdmRSS.h"

#include "commun/Emplacement.h"
#include "commun/EcritureFichier.h"
#include "commun/NombreFrancais.h"

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

// Une valeur d'en-tête ou de pied que la page n'a plus la place de tenir est remplacée.
QString pourLaPage(const QString &valeur, qsizetype place)
{
    return valeur.size() <= place ? valeur : QStringLiteral("(trop long pour la page)");
}

} // namespace

QString TdmRSS::genererPageDocument()
{
    // Ce flux ne sert qu'à cette page : il est libéré dès qu'elle est écrite.
    return genererPageDocument(*analyserFlux(XMLDoc));
}

QString TdmRSS::genererPageDocument(const TFlux &fluxLu)
{
    lignesPage.clear();
    return genererPageFlux(fluxLu);
}

QString TdmRSS::genererPageFlux(const TFlux &flux)
{
    return ecrirePageFlux(flux, QStringLiteral("#D0E0ED"));
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
    lignesPage.reserve(lignesPage.size() + 15 + 5 * flux.infos.size());
    // Ce que la page peut encore recevoir, la réserve du pied et de la dernière ligne mise à part ;
    // chaque valeur y est comptée pour un octet par caractère, ce qu'elle prend au plus.
    qsizetype place = borneOctetsPage - reservePage - taillePage(lignesPage);
    const auto placer = [&place](const QString &valeur) {
        QString ecrite = pourLaPage(valeur, place);
        place -= ecrite.size();
        return ecrite;
    };

    lignesPage.append(QByteArrayLiteral("<table width=\"100%\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("  <tr><td border=\"0\">"));
    lignesPage.append(ligne("      <a href=\"", placer(image.getLien()), "\">"));
    lignesPage.append(ligne("          <img src=\"", placer(image.getUrl()), "\" border=\"0\">"));
    lignesPage.append(QByteArrayLiteral("      </a>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(ligne("      <td><center><b>", placer(flux.getTitre()), "</b></center>"));
    lignesPage.append(QByteArrayLiteral("      </td>"));
    lignesPage.append(QByteArrayLiteral("  </tr>"));
    lignesPage.append(QByteArrayLiteral("</table>"));
    lignesPage.append(versEtroit(placer(flux.getDescription())));
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
        // Les informations qui ne tiennent plus dans la page restent dans les listes.
        place -= 120 + info.getLien().size() + info.getTitre().size() + info.getDescription().size() + info.getDatePub().size();
        if (place < 0)
            break;
        lignesPage.append(k % 2 == 0 ? ouvertureTeintee : ouvertureSimple);
        lignesPage.append(ligne("      <a href=\"", info.getLien(), "\"><h2>", info.getTitre(), "</h2></a>"));
        lignesPage.append(ligne("      <p>", info.getDescription(), "</p>"));
        lignesPage.append(ligne("      <h6><i>", info.getDatePub(), "</i></h6>"));
        lignesPage.append(fermeture);
    }

    lignesPage.append(QByteArrayLiteral("</table>"));
    if (const qsizetype restantes = flux.infos.size() - k; restantes > 0)
        lignesPage.append(versEtroit(restantes == 1 ? QStringLiteral("<p><i>La page s'arrête ici : 1 information de plus est dans la liste.</i></p>")
                                                    : QStringLiteral("<p><i>La page s'arrête ici : %1 informations de plus sont dans la liste.</i></p>")
                                                          .arg(nombreFrancais(restantes))));
    // Le pied tient dans la réserve : chaque valeur en a le huitième au plus.
    const qsizetype placePied = reservePage / 8;
    lignesPage.append(ligne("<center><h5><i>RSS - lang : ", pourLaPage(flux.getLangue(), placePied), " - ",
                            pourLaPage(flux.getAuteur(), placePied), "<br>", pourLaPage(flux.getCopyright(), placePied),
                            " - publication : ", pourLaPage(flux.getDatePub(), placePied), "</i></h5></center>"));

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
