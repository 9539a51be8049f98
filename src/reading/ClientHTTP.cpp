#include "reading/ClientHTTP.h"

namespace {

IAttenteTelechargement *attenteInstallee = nullptr;

// commencer() à la construction, finir() à la destruction, même quand une erreur remonte.
class Encadrement
{
public:
    Encadrement() : m_attente(attenteInstallee)
    {
        if (m_attente)
            m_attente->commencer();
    }
    ~Encadrement()
    {
        if (m_attente)
            m_attente->finir();
    }
    Encadrement(const Encadrement &) = delete;
    Encadrement &operator=(const Encadrement &) = delete;

private:
    IAttenteTelechargement *m_attente;
};

} // namespace

void TClientHTTP::installerAttente(IAttenteTelechargement *attente) { attenteInstallee = attente; }

IAttenteTelechargement *TClientHTTP::attente() { return attenteInstallee; }

void TClientHTTP::patienter()
{
    if (attenteInstallee)
        attenteInstallee->patienter();
}

QByteArray TClientHTTP::telecharger(const QString &adresse)
{
    const Encadrement encadrement;
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
