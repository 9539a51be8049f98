#include "base/IndexRecherche.h"

#include <QSet>

namespace {

void ajouterChamp(ChampsBoutABout &champs, const QString &champ)
{
    champs.debuts.append(champs.texte.size());
    ajouterEtroit(champs.texte, champ);
}

} // namespace

const IndexRecherche::FormesFlux &IndexRecherche::formes(const TFlux &flux)
{
    FormesFlux &f = m_formes[&flux];
    const qsizetype n = flux.infos.size();
    bool valent = f.versions.size() == n;
    for (qsizetype i = 0; valent && i < n; ++i)
        valent = f.versions.at(i) == flux.infos.at(i)->version();
    if (valent)
        return f;
    f = FormesFlux();
    f.versions.reserve(n);
    for (ChampsBoutABout *champs : {&f.titres, &f.liens, &f.descriptions})
        champs->debuts.reserve(n);
    for (const PInfo &info : flux.infos) {
        f.versions.append(info->version());
        ajouterChamp(f.titres, info->getTitre());
        ajouterChamp(f.liens, info->getLien());
        ajouterChamp(f.descriptions, info->getDescription());
    }
    return f;
}

bool IndexRecherche::fluxTrouve(const TexteRecherche &texte, const TFlux &flux, ChampsRecherche champs)
{
    if (texte.estVide() || flux.infos.isEmpty() || !(champs.titre || champs.lien || champs.description))
        return false;
    const FormesFlux &f = formes(flux);
    return (champs.titre && texte.trouveDans(f.titres)) || (champs.lien && texte.trouveDans(f.liens))
        || (champs.description && texte.trouveDans(f.descriptions));
}

void IndexRecherche::garderSeulement(const QList<PFlux> &flux)
{
    QSet<const TFlux *> gardes;
    for (const PFlux &f : flux)
        gardes.insert(f.get());
    m_formes.removeIf([&gardes](const auto &entree) { return !gardes.contains(entree.key()); });
}
