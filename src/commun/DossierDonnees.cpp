#include "commun/DossierDonnees.h"

#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#ifndef LECTEUR_DONNEES_PARTAGEES
#define LECTEUR_DONNEES_PARTAGEES "../share/brindlewave"
#endif

namespace {

using Emplacement::avecSeparateur;

void creerDossier(const QString &dossier)
{
    if (!QDir().mkpath(dossier))
        throw ErreurEcriture(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(dossier));
}

// Copie un fichier qui manque encore à la destination ; un fichier présent n'est jamais touché.
void copierSiAbsent(const QString &source, const QString &destination)
{
    if (QFileInfo::exists(destination) || !QFileInfo(source).isFile())
        return;
    if (!QFile::copy(source, destination))
        throw ErreurEcriture(QStringLiteral("Impossible de copier « %1 » vers « %2 ».").arg(source, destination));
    // La copie garde les droits de l'original installé (lecture seule) : l'utilisateur la possède.
    QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
}

void garnir(const QString &partage, const QString &utilisateur)
{
    creerDossier(utilisateur + Emplacement::nomDossierRessources());
    creerDossier(utilisateur + Emplacement::nomDossierRss());
    copierSiAbsent(partage + Emplacement::nomModeleBase(), utilisateur + Emplacement::nomModeleBase());
    const QDir fluxPartages(partage + Emplacement::nomDossierRss());
    for (const QString &nom : fluxPartages.entryList(QDir::Files))
        copierSiAbsent(fluxPartages.filePath(nom), utilisateur + Emplacement::nomDossierRss() + nom);
}

} // namespace

namespace DossierDonnees {

bool accepteEcriture(const QString &dossier)
{
    return access(QFile::encodeName(dossier).constData(), W_OK) == 0;
}

QString dossierUtilisateur()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/brindlewave");
}

Choix choisir(const QString &dossierExecutable, const QString &dossierPartage, const QString &dossierUtilisateur)
{
    // Un programme installé n'a pas le modèle à côté de lui mais dans les données partagées :
    // lancé par root, qui peut écrire dans bin/, il garde quand même ses fichiers chez l'utilisateur.
    const QString modele = Emplacement::nomModeleBase();
    const bool installe = !QFileInfo::exists(avecSeparateur(dossierExecutable) + modele)
        && QFileInfo::exists(avecSeparateur(dossierPartage) + modele);
    if (!installe && accepteEcriture(dossierExecutable))
        return {Disposition::Portable, avecSeparateur(dossierExecutable)};
    const QString utilisateur = avecSeparateur(dossierUtilisateur);
    garnir(avecSeparateur(dossierPartage), utilisateur);
    return {Disposition::Installee, utilisateur};
}

void appliquerAuDemarrage()
{
    if (Emplacement::dossierExecutableImpose())
        return;
    const QString executable = QCoreApplication::applicationDirPath();
    const QString partage = QDir::cleanPath(executable + QStringLiteral("/" LECTEUR_DONNEES_PARTAGEES));
    const Choix choix = choisir(executable, partage, dossierUtilisateur());
    if (choix.disposition == Disposition::Installee)
        Emplacement::definirDossierExecutable(choix.dossier);
}

} // namespace DossierDonnees
