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

// Les octets du fichier s'écrivent au fil de la construction de l'arbre (EcritureElements) :
// l'écriture de la sauvegarde en cours, sur le seul fil de l'interface.
EcritureElements *ecritureEnCours = nullptr;

struct EcritureDeLaSauvegarde
{
    explicit EcritureDeLaSauvegarde(EcritureElements &ecriture) { ecritureEnCours = &ecriture; }
    ~EcritureDeLaSauvegarde() { ecritureEnCours = nullptr; }
};

// Un élément ajouté à la fin des enfants de son parent, et écrit ; il est fermé (dans les
// octets) quand l'objet disparaît, après ses enfants.
class ElementConstruit
{
public:
    ElementConstruit(QDomDocument &document, QDomElement &parent, const QString &nom)
        : m_document(document), m_element(document.createElement(nom))
    {
        parent.appendChild(m_element);
        ecritureEnCours->ouvrir(nom);
    }
    ~ElementConstruit() { ecritureEnCours->fermer(); }
    ElementConstruit(const ElementConstruit &) = delete;
    ElementConstruit &operator=(const ElementConstruit &) = delete;

    QDomElement &element() { return m_element; }

    // Un enfant qui porte une valeur : un nœud texte, aucun pour une valeur vide.
    void ajouterTexte(const QString &nom, const QString &valeur)
    {
        QDomElement enfant = m_document.createElement(nom);
        m_element.appendChild(enfant);
        const QString texte = CodageBase::encoder(valeur);
        if (!texte.isEmpty())
            enfant.appendChild(m_document.createTextNode(texte));
        ecritureEnCours->feuille(nom, texte);
    }

private:
    QDomDocument &m_document;
    QDomElement m_element;
};

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
    // « racine » est le dernier enfant de l'élément du document : profondeur 1.
    EcritureElements ecriture(1);
    const EcritureDeLaSauvegarde enCours(ecriture);
    QDomNode noeudRacine;
    {
        ElementConstruit racine(document, racineDocument, QStringLiteral("racine"));
        noeudRacine = racine.element();
        {
            ElementConstruit listeFlux(document, racine.element(), QStringLiteral("listeFlux"));
            for (const PFlux &flux : std::as_const(fluxBase)) {
                ElementConstruit elementFlux(document, listeFlux.element(), QStringLiteral("flux"));
                elementFlux.ajouterTexte(QStringLiteral("titre"), flux->getTitre());
                elementFlux.ajouterTexte(QStringLiteral("description"), flux->getDescription());
                elementFlux.ajouterTexte(QStringLiteral("lien"), flux->getLien());
                elementFlux.ajouterTexte(QStringLiteral("datePub"), flux->getDatePub());
                elementFlux.ajouterTexte(QStringLiteral("langue"), flux->getLangue());
                elementFlux.ajouterTexte(QStringLiteral("auteur"), flux->getAuteur());
                elementFlux.ajouterTexte(QStringLiteral("copyright"), flux->getCopyright());
                elementFlux.ajouterTexte(QStringLiteral("urlrss"), flux->getUrlRss());
                ecrireImage(flux->getImage(), elementFlux.element());
                ecrireInfos(flux->infos, elementFlux.element());
                ecrireRubriquesAssociees(flux->rubriquesAssociees, elementFlux.element());
            }
        }

        ElementConstruit listeRubriques(document, racine.element(), QStringLiteral("listeRubriques"));
        for (const PRubrique &rubrique : std::as_const(rubriquesBase)) {
            ElementConstruit element(document, listeRubriques.element(), QStringLiteral("rubrique"));
            element.ajouterTexte(QStringLiteral("nom"), rubrique->getNom());
            element.ajouterTexte(QStringLiteral("couleur"), depuisEtroit(rubrique->getCouleur()));
            element.ajouterTexte(QStringLiteral("icone"), rubrique->getIcone());
        }
    }

    // Le fichier est remplacé d'un seul coup : en cas d'échec, l'ancien reste tel quel. Ses
    // octets sont ceux de toByteArray(2), « racine » déjà écrite.
    ecrireFichierEntier(cheminSortie, octetsDuDocument(document, noeudRacine, &ecriture));
    return cheminSortie;
}

void TdmRSS::ecrireImage(const TImageFlux &image, QDomElement &elementFlux)
{
    ElementConstruit element(XMLDocWriter.dom(), elementFlux, QStringLiteral("image"));
    element.ajouterTexte(QStringLiteral("titre"), image.getTitre());
    element.ajouterTexte(QStringLiteral("lien"), image.getLien());
    element.ajouterTexte(QStringLiteral("url"), image.getUrl());
    element.ajouterTexte(QStringLiteral("description"), image.getDescription());
    element.ajouterTexte(QStringLiteral("hauteur"), image.getHauteur());
    element.ajouterTexte(QStringLiteral("largeur"), image.getLargeur());
}

void TdmRSS::ecrireInfos(const QList<PInfo> &infos, QDomElement &elementFlux)
{
    ElementConstruit element(XMLDocWriter.dom(), elementFlux, QStringLiteral("infos"));
    for (const PInfo &info : infos)
        ecrireInfo(*info, element.element());
}

void TdmRSS::ecrireInfo(const TInfo &info, QDomElement &elementInfos)
{
    ElementConstruit element(XMLDocWriter.dom(), elementInfos, QStringLiteral("info"));
    element.ajouterTexte(QStringLiteral("titre"), info.getTitre());
    element.ajouterTexte(QStringLiteral("lien"), info.getLien());
    element.ajouterTexte(QStringLiteral("description"), info.getDescription());
    element.ajouterTexte(QStringLiteral("datePub"), info.getDatePub());
}

void TdmRSS::ecrireRubriquesAssociees(const QList<TexteEtroit> &rubriques, QDomElement &elementFlux)
{
    ElementConstruit element(XMLDocWriter.dom(), elementFlux, QStringLiteral("rubriquesAssociees"));
    for (const TexteEtroit &nom : rubriques) {
        ElementConstruit rubrique(XMLDocWriter.dom(), element.element(), QStringLiteral("rubrique"));
        rubrique.ajouterTexte(QStringLiteral("nom"), depuisEtroit(nom));
    }
}
