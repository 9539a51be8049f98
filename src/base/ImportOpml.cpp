#include "base/ImportOpml.h"

#include "commun/Erreurs.h"
#include "reading/DocumentXML.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <vector>

namespace {

QString premierNonVide(const QString &texte, const QString &autre) { return texte.isEmpty() ? autre : texte; }

// La valeur de l'attribut dont le nom ne diffère de « nom » que par la casse (xmlurl pour xmlUrl),
// le nom exact d'abord. Chaque casse est demandée directement (au plus 2^7 pour htmlUrl) : un
// outline aux milliers d'attributs ne coûte pas plus qu'un autre.
QString attribut(const QDomElement &element, const QString &nom)
{
    if (element.hasAttribute(nom))
        return element.attribute(nom);
    QString variante = nom;
    for (quint32 casse = 0; casse < (1u << nom.size()); ++casse) {
        for (qsizetype i = 0; i < nom.size(); ++i)
            variante[i] = casse & (1u << i) ? nom.at(i).toUpper() : nom.at(i).toLower();
        if (element.hasAttribute(variante))
            return element.attribute(variante);
    }
    return QString();
}

bool adresseDeFlux(const QString &adresse)
{
    const QUrl url(adresse);
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

// Les éléments sont reconnus à leur nom écrit (« outline », et non « x:outline »), comme tout
// élément lu par le programme : firstChildElement compare le seul nom local d'un élément qui a un
// espace de noms.
QDomElement premierNomme(QDomNode noeud, QLatin1String nom)
{
    for (; !noeud.isNull(); noeud = noeud.nextSibling()) {
        if (noeud.isElement() && noeud.nodeName() == nom)
            return noeud.toElement();
    }
    return {};
}

QDomElement outlineSuivant(const QDomElement &element) { return premierNomme(element.nextSibling(), QLatin1String("outline")); }

QDomElement premierOutline(const QDomElement &parent) { return premierNomme(parent.firstChild(), QLatin1String("outline")); }

// Le corps de la liste, ou ErreurChargementXML si le document n'est pas un OPML.
QDomElement corpsOpml(const TDocumentXML &document)
{
    const QDomElement racine = document.elementDocument();
    if (racine.nodeName() != u"opml")
        throw ErreurChargementXML(QStringLiteral("la racine du document est « %1 » et non « opml ».").arg(racine.nodeName()));
    const QDomElement corps = premierNomme(racine.firstChild(), QLatin1String("body"));
    if (corps.isNull())
        throw ErreurChargementXML(QStringLiteral("le document OPML n'a pas d'élément « body »."));
    return corps;
}

} // namespace

ListeOpml lireListeOpml(const QString &chemin)
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
    ListeOpml liste;
    std::vector<Niveau> pile{{premierOutline(corpsOpml(document)), QString()}};
    while (!pile.empty()) {
        if (pile.back().suivant.isNull()) {
            pile.pop_back();
            continue;
        }
        const QDomElement outline = pile.back().suivant;
        pile.back().suivant = outlineSuivant(outline);
        QString rubrique = pile.back().rubrique;
        const QString adresse = attribut(outline, QStringLiteral("xmlUrl")).trimmed();
        if (adresseDeFlux(adresse)) {
            liste.abonnements.append({adresse,
                                      premierNonVide(attribut(outline, QStringLiteral("title")),
                                                     attribut(outline, QStringLiteral("text"))),
                                      attribut(outline, QStringLiteral("htmlUrl")), rubrique});
        } else if (!adresse.isEmpty()) {
            ++liste.ignores;
        } else {
            // Un dossier : ses outlines sont rangés sous son chemin ; un dossier sans nom n'y
            // ajoute rien.
            const QString nom = premierNonVide(attribut(outline, QStringLiteral("text")),
                                               attribut(outline, QStringLiteral("title")));
            if (!nom.isEmpty())
                rubrique = rubrique.isEmpty() ? nom : rubrique + separateurDossiersOpml + nom;
        }
        pile.push_back({premierOutline(outline), rubrique});
    }
    return liste;
}

BilanImportOpml importerAbonnements(const ListeOpml &liste, QList<PFlux> &fluxBase, QList<PRubrique> &rubriquesBase)
{
    BilanImportOpml bilan;
    bilan.ignores = liste.ignores;
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

    for (const AbonnementOpml &abonnement : liste.abonnements) {
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
