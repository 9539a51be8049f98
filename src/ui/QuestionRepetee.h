#pragma once
// Une question posée pour chacune des entrées choisies d'une liste, avec les boutons Oui, Non,
// Annuler, Non à tout et Oui à tout. Oui et Non valent pour l'entrée ; après Oui à tout, les
// entrées suivantes passent sans question, chacune marquée d'un bip de 250 Hz pendant 5 ms ;
// Annuler, Non à tout et la boîte fermée sans réponse arrêtent le parcours, et ce qui a déjà été
// fait le reste.

#include "commun/Dialogues.h"

class QuestionRepetee
{
public:
    enum class Suite {
        Faire,   // Oui, Oui à tout
        Passer,  // Non : l'entrée reste, le parcours continue
        Arreter, // Annuler, Non à tout, boîte fermée
    };

    explicit QuestionRepetee(IDialogues &dialogues)
        : m_dialogues(dialogues)
    {
    }

    // La question (un avertissement) pour l'entrée suivante, ou le bip après Oui à tout.
    Suite demander(const QString &texte)
    {
        if (m_ouiATous) {
            m_dialogues.bip(250, 5);
            return Suite::Faire;
        }
        switch (m_dialogues.afficher(TypeBoite::Avertissement, texte, BoutonsBoite::OuiNonAnnulerNonATousOuiATous)) {
        case Reponse::Oui:
            return Suite::Faire;
        case Reponse::OuiATous:
            m_ouiATous = true;
            return Suite::Faire;
        case Reponse::Non:
            return Suite::Passer;
        default:
            return Suite::Arreter;
        }
    }

private:
    IDialogues &m_dialogues;
    bool m_ouiATous = false;
};
