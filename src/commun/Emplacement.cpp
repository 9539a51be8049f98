#include "commun/Emplacement.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &dossierImpose()
{
    static QString dossier;
    return dossier;
}

QString avecSeparateur(QString dossier)
{
    if (!dossier.endsWith(QLatin1Char('/')))
        dossier += QLatin1Char('/');
    return dossier;
}
} // namespace

namespace Emplacement {

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
QString cheminModeleBase() { return dossierExecutable() + u"baseFluxModèle.xml"; }
QString cheminPage() { return dossierExecutable() + u"rss-temps.html"; }
QString dossierRessources() { return dossierExecutable() + u"ressourcesHTML/"; }
QString dossierRss() { return dossierExecutable() + u"rss/"; }

} // namespace Emplacement
