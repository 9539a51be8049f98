#pragma once
// Ce que le module de données et la fenêtre demandent à l'utilisateur : boîtes de message,
// questions, boîte de saisie, choix d'un fichier et bip. La fenêtre en fournit la version Qt,
// les tests une version scriptée, rss-outil une version console.

#include <QString>
#include <optional>

enum class TypeBoite {
    Avertissement,
    Confirmation,
    Erreur,
    Information,
    Personnalisee, // sans icône, titrée du titre de l'application
};

enum class BoutonsBoite {
    Ok,
    OuiNon,
    OuiNonAnnulerNonATousOuiATous,
};

enum class Reponse {
    Ok,
    Oui,
    Non,
    Annuler,
    NonATous,
    OuiATous,
    Fermee, // la boîte a été fermée sans réponse
};

class IDialogues
{
public:
    virtual ~IDialogues() = default;

    // Une boîte modale. Un titre vide prend le titre propre au type de boîte.
    virtual Reponse afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons,
                             const QString &titre = QString()) = 0;

    // Boîte de saisie (légende, invite, valeur par défaut vide). Vide si annulée.
    virtual QString saisir(const QString &legende, const QString &invite) = 0;

    // Boîte d'ouverture de fichier. Rien si l'utilisateur annule.
    virtual std::optional<QString> choisirFichier(const QString &titre, const QString &dossierInitial,
                                                  const QString &dernierChoix) = 0;

    virtual void bip(int frequenceHz, int dureeMs) = 0;

    // Raccourcis.
    void informer(TypeBoite type, const QString &texte, const QString &titre = QString())
    {
        afficher(type, texte, BoutonsBoite::Ok, titre);
    }
    // Une question Oui/Non : vraie seulement sur Oui ; une boîte fermée compte pour Non.
    bool confirmer(TypeBoite type, const QString &texte)
    {
        return afficher(type, texte, BoutonsBoite::OuiNon) == Reponse::Oui;
    }
};
