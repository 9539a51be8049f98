#include "base/ImportOpml.h"

#include "commun/Erreurs.h"
#include "reading/DocumentXML.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace {

QString premierNonVide(const QString &texte, const QString &autre) { return texte.isEmpty() ? autre : texte; }

QDomElement outlineSuivant(QDomElement element) { return element.nextSiblingElement(QStringLiteral("outline")); }

QDomElement premierOutline(const QDomElement &parent) { return parent.firstChildElement(QStringLiteral("outline")); }

// Le corps de la liste, ou ErreurChargementXML si le document n'est pas un OPML.
QDomElement corpsOpml(const TDocumentXML &document)
{
    const QDomElement racine = document.elementDocument();
    if (racine.tagName() != u"opml")
        throw ErreurChargementXML(QStringLiteral("la racine du document est « %1 » et non « opml ».").arg(racine.tagName()));
    const QDomElement corps = racine.firstChildElement(QStringLiteral("body"));
    if (corps.isNull())
        throw ErreurChargementXML(QStringLiteral("le document OPML n'a pas d'élément « body »."));
    return corps;
}

} // namespace

QList<AbonnementOpml> lireListeOpml(const QString &chemin)
{
    TDocumentXML document;
    document.setNomFichier(chemin);
    document.setActive(true);

    // Parcours en profondeur, dans l'ordre du document, sans récursion : chaque niveau garde
    // l'outline à visiter ensuite et la rubrique en vigueur pour ses outlines.
    struct Niveau
    {
        QDomElement suivant;
        QString rubrique;
    };
    QList<AbonnementOpml> abonnements;
    std::vector<Niveau> pile{{premierOutline(corpsOpml(document)), QString()}};
    while (!pile.empty()) {
        if (pile.back().suivant.isNull()) {
            pile.pop_back();
            continue;
        }
        const QDomElement outline = pile.back().suivant;
        pile.back().suivant = outlineSuivant(outline);
        QString rubrique = pile.back().rubrique;
        const QString adresse = outline.attribute(QStringLiteral("xmlUrl"));
        if (!adresse.isEmpty()) {
            abonnements.append({adresse,
                                premierNonVide(outline.attribute(QStringLiteral("title")), outline.attribute(QStringLiteral("text"))),
                                outline.attribute(QStringLiteral("htmlUrl")), rubrique});
        } else {
            // Un dossier : ses outlines sont rangés sous son nom.
            rubrique = premierNonVide(outline.attribute(QStringLiteral("text")), outline.attribute(QStringLiteral("title")));
        }
        pile.push_back({premierOutline(outline), rubrique});
    }
    return abonnements;
}

BilanImportOpml importerAbonnements(const QList<AbonnementOpml> &abonnements, QList<PFlux> &fluxBase,
                                    QList<PRubrique> &rubriquesBase)
{
    BilanImportOpml bilan;
    // Le premier flux de chaque adresse, comme chercherFluxParUrl le trouverait.
    QHash<QString, TFlux *> fluxParAdresse;
    for (const PFlux &flux : std::as_const(fluxBase)) {
        if (!fluxParAdresse.contains(flux->getUrlRss()))
            fluxParAdresse.insert(flux->getUrlRss(), flux.get());
    }
    QSet<QString> rubriquesConnues;
    for (const PRubrique &rubrique : std::as_const(rubriquesBase))
        rubriquesConnues.insert(rubrique->getNom());
    // Les rubriques de chaque flux touché, relevées à la première rencontre.
    QHash<TFlux *, QSet<TexteEtroit>> rangements;

    for (const AbonnementOpml &abonnement : abonnements) {
        TFlux *flux = fluxParAdresse.value(abonnement.adresse);
        if (flux) {
            ++bilan.dejaPresents;
        } else {
            auto nouveau = std::make_shared<TFlux>();
            nouveau->setDonnees(abonnement.titre, abonnement.lien, QString(), QString(), QString(), QString(), QString());
            nouveau->setUrlRss(abonnement.adresse);
            flux = nouveau.get();
            fluxBase.append(std::move(nouveau));
            fluxParAdresse.insert(abonnement.adresse, flux);
            ++bilan.fluxAjoutes;
        }
        if (abonnement.rubrique.isEmpty())
            continue;

        // Les noms rangés dans un flux sont étroits : la rubrique prend le même nom qu'eux pour
        // les rassembler.
        const TexteEtroit nomEtroit = versEtroit(abonnement.rubrique);
        const QString nom = depuisEtroit(nomEtroit);
        if (!rubriquesConnues.contains(nom)) {
            rubriquesBase.append(std::make_shared<TRubrique>(nom));
            rubriquesConnues.insert(nom);
            ++bilan.rubriquesCreees;
        }
        auto rangement = rangements.find(flux);
        if (rangement == rangements.end())
            rangement = rangements.insert(flux, QSet<TexteEtroit>(flux->rubriquesAssociees.cbegin(),
                                                                  flux->rubriquesAssociees.cend()));
        if (!rangement->contains(nomEtroit)) {
            rangement->insert(nomEtroit);
            flux->rubriquesAssociees.append(nomEtroit);
        }
    }
    return bilan;
}
