#pragma once

#include "commun/Dialogues.h"

// Des dialogues qui ne montrent rien : chaque question reçoit la réponse Non, la saisie et le
// choix de fichier ne rendent rien. Ils comptent les boîtes qu'on leur a demandées.
// Pour les mesures et les cibles de fuzzing, où personne ne répond.
class DialoguesMuets : public IDialogues
{
public:
    Reponse afficher(TypeBoite, const QString &, BoutonsBoite boutons, const QString &) override
    {
        ++boites;
        return boutons == BoutonsBoite::Ok ? Reponse::Ok : Reponse::Non;
    }
    QString saisir(const QString &, const QString &) override { return QString(); }
    std::optional<QString> choisirFichier(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    void bip(int, int) override {}

    int boites = 0;
};
