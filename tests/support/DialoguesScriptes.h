#pragma once
// Des dialogues pour les tests : les réponses sont données d'avance, chaque boîte est notée
// (type, titre, texte, boutons). Une question sans réponse prévue fait échouer le test.

#include "commun/Dialogues.h"

#include <QList>
#include <QQueue>
#include <QStringList>

struct BoiteNotee
{
    TypeBoite type;
    QString titre;
    QString texte;
    BoutonsBoite boutons;
};

struct SaisieNotee
{
    QString legende;
    QString invite;
};

struct ChoixFichierNote
{
    QString titre;
    QString dossierInitial;
    QString dernierChoix;
};

class DialoguesScriptes : public IDialogues
{
public:
    // Réponses aux prochaines questions (boîtes à plusieurs boutons), dans l'ordre.
    void repondre(std::initializer_list<Reponse> reponses);
    // Textes des prochaines boîtes de saisie.
    void saisiesPrevues(const QStringList &textes);
    // Résultats des prochains choix de fichier (nullopt : annulé).
    void fichiersPrevus(const QList<std::optional<QString>> &choix);

    Reponse afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons, const QString &titre) override;
    QString saisir(const QString &legende, const QString &invite) override;
    std::optional<QString> choisirFichier(const QString &titre, const QString &dossierInitial,
                                          const QString &dernierChoix) override;
    void bip(int frequenceHz, int dureeMs) override;

    QList<BoiteNotee> boites;
    QList<SaisieNotee> saisies;
    QList<ChoixFichierNote> choixFichiers;
    QList<QPair<int, int>> bips;
    // Vrai quand une question est arrivée sans réponse prévue.
    bool questionImprevue = false;

    int reponsesRestantes() const { return m_reponses.size(); }
    void oublier();

private:
    QQueue<Reponse> m_reponses;
    QQueue<QString> m_saisies;
    QQueue<std::optional<QString>> m_fichiers;
};
