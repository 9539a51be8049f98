#include "reading/ClientHTTP.h"

#include <QScopeGuard>

namespace {

IAttenteTelechargement *attenteInstallee = nullptr;

} // namespace

void TClientHTTP::installerAttente(IAttenteTelechargement *attente) { attenteInstallee = attente; }

IAttenteTelechargement *TClientHTTP::attente() { return attenteInstallee; }

bool TClientHTTP::patienter()
{
    return !attenteInstallee || attenteInstallee->patienter();
}

QByteArray TClientHTTP::telecharger(const QString &adresse)
{
    // commencer() avant, finir() après, même quand une erreur remonte.
    IAttenteTelechargement *const attente = attenteInstallee;
    if (attente)
        attente->commencer();
    const auto fin = qScopeGuard([attente] {
        if (attente)
            attente->finir();
    });
    try {
        connecter();
        QByteArray corps = obtenir(adresse);
        deconnecter();
        return corps;
    } catch (...) {
        deconnecter();
        throw;
    }
}
