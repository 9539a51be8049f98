#pragma once

#include "commun/Dialogues.h"

// Les dialogues de rss-outil : les messages vont sur la sortie d'erreur, les questions
// reçoivent la réponse Non, la saisie et le choix de fichier ne rendent rien.
class DialoguesConsole : public IDialogues
{
public:
    Reponse afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons, const QString &titre) override;
    QString saisir(const QString &legende, const QString &invite) override;
    std::optional<QString> choisirFichier(const QString &titre, const QString &dossierInitial,
                                          const QString &dernierChoix) override;
    void bip(int frequenceHz, int dureeMs) override;

    // Le nombre de boîtes montrées jusqu'ici (une commande y voit si une opération a échoué).
    int boitesAffichees() const { return m_boites; }

private:
    int m_boites = 0;
};
