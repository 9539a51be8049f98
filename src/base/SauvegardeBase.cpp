// Écriture de fluxBase et rubriquesBase dans le fichier de base, à partir du modèle.

#include "base/TdmRSS.h"

#include "base/CodageBase.h"
#include "base/OctetsBase.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QDomProcessingInstruction>

namespace {

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
    QString donnees = declaration.data();
    const auto [debut, longueur] = codageAnnonce(donnees);
    if (debut < 0 || QStringView(donnees).mid(debut, longueur).compare(u"UTF-8", Qt::CaseInsensitive) == 0)
        return;
    // Seul le nom du codage change ; ses guillemets restent.
    donnees.replace(debut, longueur, QStringLiteral("UTF-8"));
    declaration.setData(donnees);
}

} // namespace

// Un élément écrit dans les octets du fichier au fil de la construction (EcritureElements), et
// fermé quand l'objet disparaît, après ses enfants. « racine » est aussi ajoutée, vide, à la fin
// des enfants de l'élément du modèle : ses octets y prendront place. Sa descendance n'entre dans
// l'arbre que sur demande (construireArbreDeSauvegarde).
class ElementConstruit
{
public:
    ElementConstruit(QDomDocument &document, EcritureElements &ecriture, QDomElement &parent, const QString &nom,
                     bool descendanceDansLArbre)
        : m_document(document), m_ecriture(ecriture), m_element(document.createElement(nom))
        , m_arbre(descendanceDansLArbre)
    {
        parent.appendChild(m_element);
        m_ecriture.ouvrir(nom);
    }
    // Un enfant d'un élément construit, dans les mêmes octets (et le même arbre).
    ElementConstruit(ElementConstruit &parent, const QString &nom)
        : m_document(parent.m_document), m_ecriture(parent.m_ecriture), m_arbre(parent.m_arbre)
    {
        if (m_arbre) {
            m_element = m_document.createElement(nom);
            parent.m_element.appendChild(m_element);
        }
        m_ecriture.ouvrir(nom);
    }
    ~ElementConstruit() { m_ecriture.fermer(); }
    ElementConstruit(const ElementConstruit &) = delete;
    ElementConstruit &operator=(const ElementConstruit &) = delete;

    const QDomElement &element() const { return m_element; }

    // Un enfant qui porte une valeur : un nœud texte, aucun pour une valeur vide.
    void ajouterTexte(const QString &nom, const QString &valeur)
    {
        const QString texte = CodageBase::encoder(valeur);
        if (m_arbre) {
            QDomElement enfant = m_document.createElement(nom);
            m_element.appendChild(enfant);
            if (!texte.isEmpty())
                enfant.appendChild(m_document.createTextNode(texte));
        }
        m_ecriture.feuille(nom, texte);
    }

    // La marque d'un champ qui est du texte (CodageBase::valeurEnTexte) ; rien pour du HTML.
    void ajouterMarqueTexte(const QString &nom, bool enTexte)
    {
        if (enTexte)
            ajouterTexte(nom, CodageBase::valeurEnTexte());
    }

private:
    QDomDocument &m_document;
    EcritureElements &m_ecriture;
    QDomElement m_element;
    bool m_arbre;
};

QString TdmRSS::sauvegarderBase()
{
    return sauvegarderBase(Emplacement::cheminModeleBase(), Emplacement::cheminBase());
}

QString TdmRSS::sauvegarderBase(const QString &cheminModele, const QString &cheminSortie)
{
    // Chaque sauvegarde repart du modèle ; ce que le document tenait (la base lue au démarrage,
    // des centaines de Mo d'arbre) est détruit à côté, après la commande.
    XMLDocWriter.abandonnerEnFond();
    XMLDocWriter.setNomFichier(cheminModele);
    XMLDocWriter.setActive(true);
    QDomElement racineDocument = XMLDocWriter.elementDocument();
    if (racineDocument.isNull())
        throw ErreurChargementXML(QStringLiteral("Le modèle « %1 » n'a pas d'élément racine.").arg(cheminModele));
    declarerUtf8(XMLDocWriter.dom());

    QDomDocument &document = XMLDocWriter.dom();
    // Un modèle que l'écriture directe ne sait pas écrire (un commentaire, des attributs...) :
    // toByteArray écrira l'arbre entier, qui se construit donc aussi.
    const bool arbre = m_arbreDeSauvegarde || !octetsDirectsDuDocument(document).has_value();
    // « racine » est le dernier enfant de l'élément du document : profondeur 1.
    EcritureElements ecriture(1);
    QDomNode noeudRacine;
    {
        ElementConstruit racine(document, ecriture, racineDocument, QStringLiteral("racine"), arbre);
        noeudRacine = racine.element();
        {
            ElementConstruit listeFlux(racine, QStringLiteral("listeFlux"));
            for (const PFlux &flux : std::as_const(fluxBase)) {
                ElementConstruit elementFlux(listeFlux, QStringLiteral("flux"));
                elementFlux.ajouterTexte(QStringLiteral("titre"), flux->getTitre());
                elementFlux.ajouterMarqueTexte(QStringLiteral("titreEnTexte"), flux->getTitreEnTexte());
                elementFlux.ajouterTexte(QStringLiteral("description"), flux->getDescription());
                elementFlux.ajouterTexte(QStringLiteral("lien"), flux->getLien());
                elementFlux.ajouterTexte(QStringLiteral("datePub"), flux->getDatePub());
                elementFlux.ajouterTexte(QStringLiteral("langue"), flux->getLangue());
                elementFlux.ajouterTexte(QStringLiteral("auteur"), flux->getAuteur());
                elementFlux.ajouterTexte(QStringLiteral("copyright"), flux->getCopyright());
                elementFlux.ajouterMarqueTexte(QStringLiteral("copyrightEnTexte"), flux->getCopyrightEnTexte());
                elementFlux.ajouterTexte(QStringLiteral("urlrss"), flux->getUrlRss());
                ecrireImage(flux->getImage(), elementFlux);
                ecrireInfos(flux->infos, elementFlux);
                ecrireRubriquesAssociees(flux->rubriquesAssociees, elementFlux);
            }
        }

        ElementConstruit listeRubriques(racine, QStringLiteral("listeRubriques"));
        for (const PRubrique &rubrique : std::as_const(rubriquesBase)) {
            ElementConstruit element(listeRubriques, QStringLiteral("rubrique"));
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

void TdmRSS::ecrireImage(const TImageFlux &image, ElementConstruit &elementFlux)
{
    ElementConstruit element(elementFlux, QStringLiteral("image"));
    element.ajouterTexte(QStringLiteral("titre"), image.getTitre());
    element.ajouterTexte(QStringLiteral("lien"), image.getLien());
    element.ajouterTexte(QStringLiteral("url"), image.getUrl());
    element.ajouterTexte(QStringLiteral("description"), image.getDescription());
    element.ajouterTexte(QStringLiteral("hauteur"), image.getHauteur());
    element.ajouterTexte(QStringLiteral("largeur"), image.getLargeur());
}

void TdmRSS::ecrireInfos(const QList<PInfo> &infos, ElementConstruit &elementFlux)
{
    ElementConstruit element(elementFlux, QStringLiteral("infos"));
    for (const PInfo &info : infos)
        ecrireInfo(*info, element);
}

void TdmRSS::ecrireInfo(const TInfo &info, ElementConstruit &elementInfos)
{
    ElementConstruit element(elementInfos, QStringLiteral("info"));
    element.ajouterTexte(QStringLiteral("titre"), info.getTitre());
    element.ajouterMarqueTexte(QStringLiteral("titreEnTexte"), info.getTitreEnTexte());
    element.ajouterTexte(QStringLiteral("lien"), info.getLien());
    element.ajouterTexte(QStringLiteral("description"), info.getDescription());
    element.ajouterTexte(QStringLiteral("datePub"), info.getDatePub());
}

void TdmRSS::ecrireRubriquesAssociees(const QList<TexteEtroit> &rubriques, ElementConstruit &elementFlux)
{
    ElementConstruit element(elementFlux, QStringLiteral("rubriquesAssociees"));
    for (const TexteEtroit &nom : rubriques) {
        ElementConstruit rubrique(element, QStringLiteral("rubrique"));
        rubrique.ajouterTexte(QStringLiteral("nom"), depuisEtroit(nom));
    }
}
