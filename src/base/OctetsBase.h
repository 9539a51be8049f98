#pragma once
// Le document de la base en octets, exactement ceux de QDomDocument::toByteArray(2), écrits
// directement en UTF-8 : sans le texte UTF-16 du document entier que toByteArray fait d'abord,
// puis convertit. Le chemin direct ne connaît que ce que la sauvegarde construit : une
// déclaration XML (codage UTF-8 ou non dit), des éléments sans attribut ni espace de noms dont
// les enfants sont soit des éléments, soit un seul texte. Tout autre document (un modèle qui
// porterait un commentaire, des attributs...) est confié à toByteArray.

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <optional>
#include <utility>

// Les octets d'un élément et de sa descendance, écrits au fil de leur construction, tels que
// toByteArray(2) les écrira à la profondeur donnée : on n'a pas à repasser sur les nœuds.
class EcritureElements
{
public:
    explicit EcritureElements(int profondeur) : m_profondeur(profondeur) {}

    // Un élément dont les enfants suivent, jusqu'à fermer().
    void ouvrir(const QString &nom);
    // Un élément qui porte un texte (sans contenu si le texte est vide).
    void feuille(const QString &nom, const QString &texte);
    void fermer();

    int profondeur() const { return m_profondeur; }
    const QByteArray &octets() const { return m_octets; }

private:
    void avantEnfant();

    struct Ouvert
    {
        QString nom;
        bool enfants = false;
    };
    int m_profondeur;
    QList<Ouvert> m_ouverts;
    QByteArray m_octets;
};

// Avec `ecriture`, l'élément `dejaEcrit` l'a été au fil de sa construction.
QByteArray octetsDuDocument(const QDomDocument &document, const QDomNode &dejaEcrit = {},
                            const EcritureElements *ecriture = nullptr);

// Le nom du codage qu'annonce le texte d'une déclaration XML (« version="1.0" encoding="…" »),
// guillemets exclus : sa position et sa longueur ; {-1, 0} quand aucun codage n'est annoncé.
std::pair<qsizetype, qsizetype> codageAnnonce(const QString &declaration);

// Le chemin direct seul : rien quand le document lui est étranger.
std::optional<QByteArray> octetsDirectsDuDocument(const QDomDocument &document, const QDomNode &dejaEcrit = {},
                                                  const EcritureElements *ecriture = nullptr);
