#include "base/TdmRSS.h"

#include "reading/ClientHTTPCurl.h"

TdmRSS::TdmRSS(IDialogues &dialogues, std::unique_ptr<TClientHTTP> client)
    : m_dialogues(dialogues)
    , connexionHTTP(client ? std::move(client) : std::make_unique<TClientHTTPCurl>())
{
    // Le document de lecture va chercher les adresses http(s) avec le même client.
    XMLDoc.setTelechargeur([this](const QString &adresse) { return connexionHTTP->telecharger(adresse); });
    // La base est le fichier de l'utilisateur, écrit par le programme : ses bornes sont celles
    // de ce que le programme écrit, pas celles d'un flux venu d'ailleurs.
    XMLDocWriter.setBudgets(Budgets::base);
}

TdmRSS::~TdmRSS() = default;
