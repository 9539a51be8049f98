#include "DialoguesScriptes.h"

#include <QTest>

void DialoguesScriptes::repondre(std::initializer_list<Reponse> reponses)
{
    for (Reponse r : reponses)
        m_reponses.enqueue(r);
}

void DialoguesScriptes::saisiesPrevues(const QStringList &textes)
{
    for (const QString &t : textes)
        m_saisies.enqueue(t);
}

void DialoguesScriptes::fichiersPrevus(const QList<std::optional<QString>> &choix)
{
    for (const auto &c : choix)
        m_fichiers.enqueue(c);
}

Reponse DialoguesScriptes::afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons,
                                    const QString &titre)
{
    boites.append({type, titre, texte, boutons});
    if (boutons == BoutonsBoite::Ok)
        return Reponse::Ok;
    if (m_reponses.isEmpty()) {
        questionImprevue = true;
        qWarning("Question sans réponse prévue : %s", qPrintable(texte));
        return Reponse::Fermee;
    }
    return m_reponses.dequeue();
}

QString DialoguesScriptes::saisir(const QString &legende, const QString &invite)
{
    saisies.append({legende, invite});
    return m_saisies.isEmpty() ? QString() : m_saisies.dequeue();
}

std::optional<QString> DialoguesScriptes::choisirFichier(const QString &titre, const QString &dossierInitial,
                                                         const QString &dernierChoix)
{
    choixFichiers.append({titre, dossierInitial, dernierChoix});
    return m_fichiers.isEmpty() ? std::nullopt : m_fichiers.dequeue();
}

void DialoguesScriptes::bip(int frequenceHz, int dureeMs) { bips.append({frequenceHz, dureeMs}); }

void DialoguesScriptes::oublier()
{
    boites.clear();
    saisies.clear();
    choixFichiers.clear();
    bips.clear();
    questionImprevue = false;
}
