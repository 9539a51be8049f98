#pragma once
// Petits outils communs aux tests : dossiers temporaires posés comme « à côté de l'exécutable »,
// écriture de fichiers, chemins des données de test et du corpus externe.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace OutilsTests {

// Un dossier temporaire qui tient lieu de dossier de l'exécutable, avec ressourcesHTML/, rss/
// et le modèle de base ; le vrai dossier est rétabli à la destruction.
class DossierExecutable
{
public:
    DossierExecutable();
    ~DossierExecutable();
    QString chemin(const QString &nom = QString()) const; // chemin absolu d'un fichier du dossier
    QString ecrire(const QString &nom, const QByteArray &contenu) const;

private:
    QTemporaryDir m_dossier;
};

QByteArray lireFichier(const QString &chemin);
QString ecrireFichier(const QString &chemin, const QByteArray &contenu);

// Le dossier des données de test (tests/donnees).
QString donnees(const QString &nom);

// Le corpus externe, ou vide s'il est absent.
QString dossierCorpus();

// Ce que rss-outil a rendu : code de sortie (-1 s'il n'a pas fini normalement), sorties.
struct ResultatOutil
{
    int code = -1;
    QByteArray sortie;
    QByteArray erreur;
};
// Lance le rss-outil construit (DOSSIER_BIN) avec ces arguments et attend sa fin.
ResultatOutil lancerRssOutil(const QStringList &arguments);

} // namespace OutilsTests
