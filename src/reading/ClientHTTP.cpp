#include "reading/ClientHTTP.h"

QByteArray TClientHTTP::telecharger(const QString &adresse)
{
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
