#include "commun/Emplacement.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &dossierImpose()
{
    static QString dossier;
    return dossier;
}

} // namespace

namespace Emplacement {

QString avecSeparateur(const QString &dossier)
{
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

QString nomModeleBase() { return QStringLiteral("baseFluxModèle.xml"); }
QString nomDossierRessources() { return QStringLiteral("ressourcesHTML/"); }
QString nomDossierRss() { return QStringLiteral("rss/"); }

QString dossierExecutable()
{
    if (!dossierImpose().isEmpty())
        return dossierImpose();
    return avecSeparateur(QCoreApplication::applicationDirPath());
}

void definirDossierExecutable(const QString &dossier)
{
    dossierImpose() = dossier.isEmpty() ? QString() : avecSeparateur(QDir(dossier).absolutePath());
}

bool dossierExecutableImpose() { return !dossierImpose().isEmpty(); }

QString cheminBase() { return dossierExecutable() + u"baseFlux.xml"; }
QString cheminModeleBase() { return dossierExecutable() + nomModeleBase(); }
QString cheminPage() { return dossierExecutable() + u"rss-temps.html"; }
QString cheminEtatLecture() { return dossierExecutable() + u"etatLecture.json"; }
QString dossierRessources() { return dossierExecutable() + nomDossierRessources(); }
QString dossierRss() { return dossierExecutable() + nomDossierRss(); }

} // namespace Emplacement
