// Écriture de fluxBase et rubriquesBase dans le fichier de base, à partir du modèle.

#include "base/TdmRSS.h"

#include "base/CodageBase.h"
#include "base/OctetsBase.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QDomProcessingInstruction>
#include <QRegularExpression>

namespace {

// Ajoute au parent un élément qui porte une valeur : l'élément neuf, à la fin des enfants du
// parent, reçoit le texte comme le lui donnerait NoeudXML::definirTexte (rien pour une valeur
// vide), sans remonter à chaque fois du parent jusqu'au document.
void ajouterTexte(QDomDocument &document, QDomElement &parent, const QString &nom, const QString &valeur)
{
    QDomElement element = document.createElement(nom);
    parent.appendChild(element);
    const QString texte = CodageBase::encoder(valeur);
    if (!texte.isEmpty())
        element.appendChild(document.createTextNode(texte));
}

// Le document est toujours écrit en UTF-8 : une déclaration du modèle qui annonce un autre
// codage est corrigée, sans quoi le fichier ne se relirait pas.
void declarerUtf8(QDomDocument &document)
{
    const QDomNode premier = document.firstChild();
    if (!premier.isProcessingInstruction())
        return;
    QDomProcessingInstruction declaration = premier.toProcessingInstruction();
    if (declaration.target() != u"xml")
        return;
    static const QRegularExpression codage(QStringLiteral("encoding\\s*=\\s*(\"[^\"]*\"|'[^']*')"));
    const QRegularExpressionMatch trouve = codage.match(declaration.data());
    if (!trouve.hasMatch())
        return;
    const QString valeur = trouve.captured(1).mid(1).chopped(1);
    if (valeur.compare(u"UTF-8", Qt::CaseInsensitive) == 0)
        return;
    // Seul le nom du codage change ; ses guillemets restent.
    QString donnees = declaration.data();
    donnees.replace(trouve.capturedStart(1) + 1, trouve.capturedLength(1) - 2, QStringLiteral("UTF-8"));
    declaration.setData(donnees);
}

} // namespace

QString TdmRSS::sauvegarderBase()
{
    return sauvegarderBase(Emplacement::cheminModeleBase(), Emplacement::cheminBase());
}

QString TdmRSS::sauvegarderBase(const QString &cheminModele, const QString &cheminSortie)
{
    // Chaque sauvegarde repart du modèle ; ce que le document tenait est abandonné.
    XMLDocWriter.setActive(false);
    XMLDocWriter.setNomFichier(cheminModele);
    XMLDocWriter.setActive(true);
    QDomElement racineDocument = XMLDocWriter.elementDocument();
    if (racineDocument.isNull())
        throw ErreurChargementXML(QStringLiteral("Le modèle « %1 » n'a pas d'élément racine.").arg(cheminModele));
    declarerUtf8(XMLDocWriter.dom());

    QDomDocument &document = XMLDocWriter.dom();
    QDomElement racine = NoeudXML::ajouterEnfant(racineDocument, QStringLiteral("racine"));
    QDomElement listeFlux = NoeudXML::ajouterEnfant(racine, QStringLiteral("listeFlux"));
    for (const PFlux &flux : std::as_const(fluxBase)) {
        QDomElement elementFlux = NoeudXML::ajouterEnfant(listeFlux, QStringLiteral("flux"));
        ajouterTexte(document, elementFlux, QStringLiteral("titre"), flux->getTitre());
        ajouterTexte(document, elementFlux, QStringLiteral("description"), flux->getDescription());
        ajouterTexte(document, elementFlux, QStringLiteral("lien"), flux->getLien());
        ajouterTexte(document, elementFlux, QStringLiteral("datePub"), flux->getDatePub());
        ajouterTexte(document, elementFlux, QStringLiteral("langue"), flux->getLangue());
        ajouterTexte(document, elementFlux, QStringLiteral("auteur"), flux->getAuteur());
        ajouterTexte(document, elementFlux, QStringLiteral("copyright"), flux->getCopyright());
        ajouterTexte(document, elementFlux, QStringLiteral("urlrss"), flux->getUrlRss());
        ecrireImage(flux->getImage(), elementFlux);
        ecrireInfos(flux->infos, elementFlux);
        ecrireRubriquesAssociees(flux->rubriquesAssociees, elementFlux);
    }

    QDomElement listeRubriques = NoeudXML::ajouterEnfant(racine, QStringLiteral("listeRubriques"));
    for (const PRubrique &rubrique : std::as_const(rubriquesBase)) {
        QDomElement element = NoeudXML::ajouterEnfant(listeRubriques, QStringLiteral("rubrique"));
        ajouterTexte(document, element, QStringLiteral("nom"), rubrique->getNom());
        ajouterTexte(document, element, QStringLiteral("couleur"), depuisEtroit(rubrique->getCouleur()));
        ajouterTexte(document, element, QStringLiteral("icone"), rubrique->getIcone());
    }

    // Le fichier est remplacé d'un seul coup : en cas d'échec, l'ancien reste tel quel.
    // Les octets de toByteArray(2), écrits directement en UTF-8.
    ecrireFichierEntier(cheminSortie, octetsDuDocument(XMLDocWriter.dom()));
    return cheminSortie;
}

void TdmRSS::ecrireImage(const TImageFlux &image, QDomElement &elementFlux)
{
    QDomDocument &document = XMLDocWriter.dom();
    QDomElement element = NoeudXML::ajouterEnfant(elementFlux, QStringLiteral("image"));
    ajouterTexte(document, element, QStringLiteral("titre"), image.getTitre());
    ajouterTexte(document, element, QStringLiteral("lien"), image.getLien());
    ajouterTexte(document, element, QStringLiteral("url"), image.getUrl());
    ajouterTexte(document, element, QStringLiteral("description"), image.getDescription());
    ajouterTexte(document, element, QStringLiteral("hauteur"), image.getHauteur());
    ajouterTexte(document, element, QStringLiteral("largeur"), image.getLargeur());
}

void TdmRSS::ecrireInfos(const QList<PInfo> &infos, QDomElement &elementFlux)
{
    QDomElement element = NoeudXML::ajouterEnfant(elementFlux, QStringLiteral("infos"));
    for (const PInfo &info : infos)
        ecrireInfo(*info, element);
}

void TdmRSS::ecrireInfo(const TInfo &info, QDomElement &elementInfos)
{
    QDomDocument &document = XMLDocWriter.dom();
    QDomElement element = NoeudXML::ajouterEnfant(elementInfos, QStringLiteral("info"));
    ajouterTexte(document, element, QStringLiteral("titre"), info.getTitre());
    ajouterTexte(document, element, QStringLiteral("lien"), info.getLien());
    ajouterTexte(document, element, QStringLiteral("description"), info.getDescription());
    ajouterTexte(document, element, QStringLiteral("datePub"), info.getDatePub());
}

void TdmRSS::ecrireRubriquesAssociees(const QList<TexteEtroit> &rubriques, QDomElement &elementFlux)
{
    QDomDocument &document = XMLDocWriter.dom();
    QDomElement element = NoeudXML::ajouterEnfant(elementFlux, QStringLiteral("rubriquesAssociees"));
    for (const TexteEtroit &nom : rubriques) {
        QDomElement rubrique = NoeudXML::ajouterEnfant(element, QStringLiteral("rubrique"));
        ajouterTexte(document, rubrique, QStringLiteral("nom"), depuisEtroit(nom));
    }
}
