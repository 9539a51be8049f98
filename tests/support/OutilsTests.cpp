#include "OutilsTests.h"

#include "commun/Emplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <stdexcept>

namespace OutilsTests {

DossierExecutable::DossierExecutable()
{
    if (!m_dossier.isValid())
        throw std::runtime_error("dossier temporaire impossible");
    QDir(m_dossier.path()).mkpath(QStringLiteral("ressourcesHTML"));
    QDir(m_dossier.path()).mkpath(QStringLiteral("rss"));
    // Le dossier est imposé d'abord : ecrire() passe par lui.
    Emplacement::definirDossierExecutable(m_dossier.path());
    ecrire(QStringLiteral("baseFluxModèle.xml"),
           QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LecteurRSS_BASE/>\n"));
}

DossierExecutable::~DossierExecutable() { Emplacement::definirDossierExecutable(QString()); }

QString DossierExecutable::chemin(const QString &nom) const
{
    return Emplacement::dossierExecutable() + nom;
}

QString DossierExecutable::ecrire(const QString &nom, const QByteArray &contenu) const
{
    return ecrireFichier(chemin(nom), contenu);
}

QByteArray lireFichier(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QString ecrireFichier(const QString &chemin, const QByteArray &contenu)
{
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contenu) != contenu.size())
        throw std::runtime_error("écriture impossible");
    return QFileInfo(chemin).absoluteFilePath();
}

QString donnees(const QString &nom)
{
    return QStringLiteral(DOSSIER_SOURCES_TESTS "/donnees/") + nom;
}

QString dossierCorpus()
{
    const QString dossier = QDir::cleanPath(QStringLiteral(DOSSIER_CORPUS));
    return QFileInfo(dossier).isDir() ? dossier : QString();
}

ResultatOutil lancerRssOutil(const QStringList &arguments)
{
    QProcess processus;
    processus.start(QStringLiteral(DOSSIER_BIN "/rss-outil"), arguments);
    ResultatOutil resultat;
    if (!processus.waitForFinished(60'000)) {
        processus.kill();
        processus.waitForFinished();
        return resultat;
    }
    if (processus.exitStatus() == QProcess::NormalExit)
        resultat.code = processus.exitCode();
    resultat.sortie = processus.readAllStandardOutput();
    resultat.erreur = processus.readAllStandardError();
    return resultat;
}

} // namespace OutilsTests
