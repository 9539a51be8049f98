#pragma once
// Les dialogues de la fenêtre, avec Qt : boîtes de message aux titres français, questions
// Oui/Non et Oui/Non/Annuler/Non à tout/Oui à tout, boîte de saisie, choix d'un fichier, bip.

#include "commun/Dialogues.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

class DialoguesQt : public IDialogues
{
public:
    // Les boîtes sont modales pour la fenêtre donnée (ou la fenêtre active quand il n'y en a pas).
    explicit DialoguesQt(QWidget *fenetre = nullptr);
    ~DialoguesQt() override;
    DialoguesQt(const DialoguesQt &) = delete;
    DialoguesQt &operator=(const DialoguesQt &) = delete;

    Reponse afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons,
                     const QString &titre = QString()) override;
    QString saisir(const QString &legende, const QString &invite) override;
    std::optional<QString> choisirFichier(const QString &titre, const QString &dossierInitial,
                                          const QString &dernierChoix) override;
    // Qt ne sait émettre que le bip du système : la fréquence et la durée ne sont pas tenues.
    void bip(int frequenceHz, int dureeMs) override;

    // Le titre propre à chaque type de boîte ; le type « personnalisé » prend le titre de l'application.
    static QString titreDuType(TypeBoite type);

private:
    QWidget *parent() const;

    QPointer<QWidget> m_fenetre;
    QPointer<QFileDialog> m_boiteFichier; // gardée d'un choix de fichier à l'autre
};
