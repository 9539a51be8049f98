#pragma once
// Le document XML du programme, sur QDomDocument : un document qu'on rend actif pour lire
// le fichier (ou l'adresse http(s)) nommé, dont on parcourt les nœuds et qu'on enregistre.

#include "reading/BudgetsDocument.h"

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class TDocumentXML
{
public:
    // Va chercher le contenu d'une adresse http(s) ; lève une exception en cas d'échec.
    using Telechargeur = std::function<QByteArray(const QString &adresse)>;

    TDocumentXML() = default;
    TDocumentXML(const TDocumentXML &) = delete;
    TDocumentXML &operator=(const TDocumentXML &) = delete;

    // Actif : le fichier nommé est lu et analysé (ErreurChargementXML en cas d'échec,
    // TelechargementAnnule quand l'utilisateur arrête le téléchargement ; le document reste alors
    // inactif). Inactif : le contenu est abandonné.
    void setActive(bool actif);
    bool estActif() const { return m_actif; }

    // Comme setActive(false), mais l'arbre abandonné est détruit sur un fil de fond, et pas
    // avant le prochain tour de la boucle des évènements (la fin de la commande en cours) :
    // sa destruction ne retarde pas la lecture du suivant et ne lui dispute pas l'allocateur
    // pendant qu'il s'analyse. Un seul arbre attend ainsi ; sans boucle des évènements, il part
    // à l'abandon suivant ou avec le document. Aucun nœud de l'ancien arbre ne doit rester
    // tenu ailleurs.
    void abandonnerEnFond();

    // Actif sur l'arbre déjà analysé du fichier nommé, sans le relire : celui qu'un document
    // actif sur ce fichier, inchangé depuis, a tenu. L'arbre tenu jusque-là part comme par
    // abandonnerEnFond.
    void reprendre(const QString &nom, const QDomDocument &arbre);

    // Détruit un arbre sur un fil de fond, si cette poignée est la dernière qui le tient.
    static void detruireEnFond(QDomDocument arbre);

    void setNomFichier(const QString &nom) { m_nomFichier = nom; }
    QString nomFichier() const { return m_nomFichier; }

    void setTelechargeur(Telechargeur telechargeur) { m_telechargeur = std::move(telechargeur); }

    // Les budgets des documents qu'il lit : ceux d'un document venu d'ailleurs, sauf réglage.
    void setBudgets(const BudgetsDocument &budgets) { m_budgets = budgets; }

    // L'élément racine ; ErreurDocumentInactif sur un document inactif.
    QDomElement elementDocument() const;

    // Analyse des octets déjà en mémoire, comme setActive(true) le fait d'un fichier. Ils sont
    // rendus dès que le parseur en a sa copie.
    void chargerOctets(QByteArray octets);

    const QDomDocument &dom() const { return m_dom; }
    QDomDocument &dom() { return m_dom; }

private:
    QByteArray lireSource() const;

    QDomDocument m_dom;
    // L'arbre abandonné qui attend sa destruction ; partagé avec l'appel différé qui l'envoie
    // au fil de fond, lequel ne le touche plus si le document a disparu entre-temps.
    std::shared_ptr<QDomDocument> m_abandonne = std::make_shared<QDomDocument>();
    QString m_nomFichier;
    Telechargeur m_telechargeur;
    BudgetsDocument m_budgets = Budgets::etranger;
    bool m_actif = false;
};

// Opérations sur les nœuds, telles que les lecteurs de flux et de base les emploient.
namespace NoeudXML {

constexpr int Element = QDomNode::ElementNode;     // 1
constexpr int Texte = QDomNode::TextNode;          // 3
constexpr int SectionCDATA = QDomNode::CDATASectionNode; // 4

// L'enfant à la position donnée (0 pour le premier) ; ErreurIndexXML hors de la liste.
QDomNode enfant(const QDomNode &noeud, int index);
QString nom(const QDomNode &noeud);
int type(const QDomNode &noeud);
// Le texte d'un champ : ses nœuds texte et ses sections CDATA mis bout à bout dans l'ordre du
// document, commentaires et instructions de traitement sautés ; vide quand l'élément contient
// un élément (ou quand le nœud n'est pas un élément). Une référence d'entité restée sans
// déclaration garde sa forme écrite « &nom; ».
QString texteChamp(const QDomNode &noeud);
QVariant valeur(const QDomNode &noeud);

} // namespace NoeudXML
