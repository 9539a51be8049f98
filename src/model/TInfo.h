#pragma once

#include "commun/TexteEtroit.h"

#include <QString>
#include <memory>
#include <optional>

// Une information (un item) d'un flux. Les items sont partagés entre le flux affiché,
// la liste des items de la fenêtre et le flux de la base où l'utilisateur les range.
class TInfo
{
public:
    TInfo() = default;

    // Affecte les quatre textes ; le titre est alors du HTML, jusqu'à setTitreEnTexte.
    void setDonnees(const QString &titre, const QString &lien, const QString &description,
                    const QString &datePub);
    // Vrai quand le titre est du texte (titre Atom de type texte) : la page l'écrit tel qu'il est
    // écrit, ses « & », « < » et « > » échappés. Sinon c'est du HTML, que la page insère tel quel
    // (titre RSS). Les listes, la recherche et la base en gardent toujours le texte.
    void setTitreEnTexte(bool enTexte) { m_titreEnTexte = enTexte; }
    bool getTitreEnTexte() const { return m_titreEnTexte; }

    QString getTitre() const { return m_titre; }
    QString getLien() const { return m_lien; }
    QString getDescription() const { return m_description; }
    QString getDatePub() const { return m_datePub; }

    // L'identifiant que le flux donne à l'information (guid d'un item, id d'une entrée Atom) ;
    // vide s'il n'en donne pas. Ni la page, ni la base, ni la comparaison ne s'en servent.
    QString getGuid() const { return m_guid; }
    void setGuid(const QString &guid) { m_guid = guid; }
    // La clé qui reconnaît l'information d'un téléchargement à l'autre : son identifiant, sinon
    // son lien, sinon son titre et sa date (blancs du début et de la fin ôtés).
    QString cle() const;

    // Les formes étroites du titre, du lien et de la description, faites à la première demande et
    // gardées jusqu'au prochain setDonnees : la recherche d'un texte qui passe par la forme
    // étroite ne convertit ainsi chaque champ qu'une fois, et non à chaque recherche.
    const TexteEtroit &getTitreEtroit() const { return etroits().titre; }
    const TexteEtroit &getLienEtroit() const { return etroits().lien; }
    const TexteEtroit &getDescriptionEtroit() const { return etroits().description; }
    // Vrai quand les formes étroites sont déjà faites.
    bool etroitsFaits() const { return m_etroits != nullptr; }

    // Le numéro des textes : un nouveau, propre à tout le programme, à chaque setDonnees (0 pour
    // une information jamais remplie, dont tous les textes sont vides). Qui garde une forme des
    // textes sait ainsi si elle vaut encore.
    quint64 version() const { return m_version; }

    // La description telle que la page l'écrit (équilibrée) et les nœuds HTML que l'analyseur y a
    // comptés (ce qu'elle pèse dans la page), faite par la première page qui l'écrit ou par la
    // lecture qui l'a déjà lue en HTML, et gardée jusqu'au prochain setDonnees : une page réécrite
    // (retour sur un onglet, actualisation) ne relit pas ses descriptions. Rien tant qu'elle n'est
    // pas faite.
    struct DescriptionDePage
    {
        QString ecrite;
        qint64 noeuds = 0;
    };
    const std::optional<DescriptionDePage> &getDescriptionDePage() const { return m_descriptionDePage; }
    void setDescriptionDePage(const DescriptionDePage &faite) const { m_descriptionDePage = faite; }

    // Égalité des quatre textes, exacte, casse comprise.
    bool operator==(const TInfo &autre) const;
    bool operator!=(const TInfo &autre) const { return !(*this == autre); }

private:
    struct FormesEtroites
    {
        TexteEtroit titre;
        TexteEtroit lien;
        TexteEtroit description;
    };
    const FormesEtroites &etroits() const;

    QString m_titre;
    QString m_lien;
    QString m_description;
    QString m_datePub;
    bool m_titreEnTexte = false;
    QString m_guid;
    mutable std::shared_ptr<const FormesEtroites> m_etroits;
    quint64 m_version = 0;
    mutable std::optional<DescriptionDePage> m_descriptionDePage;
};

using PInfo = std::shared_ptr<TInfo>;
