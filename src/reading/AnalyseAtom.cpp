#include "reading/AnalyseAtom.h"

#include "reading/DocumentXML.h"

#include <QTextStream>
#include <initializer_list>

namespace {

const QString attributXmlBase = QStringLiteral("xml:base");

// Un nom d'enfant cherché et le dernier élément qui l'a porté.
struct Dernier
{
    QLatin1String nom;
    QDomElement *element;
};

// Un seul passage sur les enfants d'un élément : pour chaque nom cherché, le dernier enfant qui
// le porte l'emporte (plusieurs noms peuvent remplir le même emplacement). Le texte n'est tiré
// qu'ensuite, des seuls éléments retenus.
void retenirDerniers(const QDomElement &parent, std::initializer_list<Dernier> noms)
{
    for (QDomElement enfant = parent.firstChildElement(); !enfant.isNull(); enfant = enfant.nextSiblingElement()) {
        const QString nom = enfant.tagName();
        for (const Dernier &d : noms) {
            if (nom == d.nom) {
                *d.element = enfant;
                break;
            }
        }
    }
}

// Le premier enfant « div », quel que soit son préfixe.
QDomElement divDe(const QDomElement &champ)
{
    for (QDomElement enfant = champ.firstChildElement(); !enfant.isNull(); enfant = enfant.nextSiblingElement()) {
        const QString nom = enfant.tagName();
        if (nom == u"div" || nom.endsWith(u":div"))
            return enfant;
    }
    return {};
}

// Le contenu d'un élément écrit en balises, sans l'élément lui-même ni retours ajoutés.
QString balisesDuContenu(const QDomElement &element)
{
    QString texte;
    QTextStream flot(&texte);
    for (QDomNode enfant = element.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling())
        enfant.save(flot, -1);
    flot.flush();
    return texte;
}

QString texteOuAutre(const QString &texte, const QString &autre) { return texte.isEmpty() ? autre : texte; }

// Une information lue d'un élément « entry ».
PInfo lireEntree(const QDomElement &entree, const std::optional<QUrl> &baseFlux)
{
    QDomElement titre, resume, contenu, miseAJour, publication;
    retenirDerniers(entree, {{QLatin1String("title"), &titre},
                             {QLatin1String("summary"), &resume},
                             {QLatin1String("content"), &contenu},
                             {QLatin1String("updated"), &miseAJour},
                             {QLatin1String("modified"), &miseAJour},
                             {QLatin1String("published"), &publication},
                             {QLatin1String("issued"), &publication}});
    // Le contenu n'est écrit que si le résumé est vide.
    QString description = texteAtom(resume);
    if (description.isEmpty())
        description = texteAtom(contenu);
    auto info = std::make_shared<TInfo>();
    info->setDonnees(texteAtom(titre), lienAtom(entree, baseAtom(entree, baseFlux)), description,
                     texteOuAutre(NoeudXML::texteChamp(miseAJour), NoeudXML::texteChamp(publication)));
    return info;
}

} // namespace

bool estRacineAtom(const QDomElement &racine) { return racine.tagName() == u"feed"; }

QString texteAtom(const QDomElement &champ)
{
    if (champ.attribute(QStringLiteral("type")) == u"xhtml")
        return balisesDuContenu(divDe(champ));
    return NoeudXML::texteChamp(champ);
}

std::optional<QUrl> baseAtom(const QDomElement &element, const std::optional<QUrl> &exterieure)
{
    if (!element.hasAttribute(attributXmlBase))
        return exterieure;
    const QUrl propre(element.attribute(attributXmlBase));
    return exterieure ? exterieure->resolved(propre) : propre;
}

QString adresseAtom(const QString &ecrite, const std::optional<QUrl> &base)
{
    return base ? base->resolved(QUrl(ecrite)).toString() : ecrite;
}

QString lienAtom(const QDomElement &element, const std::optional<QUrl> &baseElement)
{
    for (QDomElement lien = element.firstChildElement(); !lien.isNull(); lien = lien.nextSiblingElement()) {
        if (lien.tagName() != u"link")
            continue;
        if (lien.hasAttribute(QStringLiteral("rel")) && lien.attribute(QStringLiteral("rel")) != u"alternate")
            continue;
        return adresseAtom(lien.attribute(QStringLiteral("href")), baseAtom(lien, baseElement));
    }
    return QString();
}

void analyserAtom(const QDomElement &racine, TFlux &flux)
{
    const std::optional<QUrl> base = baseAtom(racine, std::nullopt);

    QDomElement titre, sousTitre, droits, miseAJour, logo, icone;
    retenirDerniers(racine, {{QLatin1String("title"), &titre},
                             {QLatin1String("subtitle"), &sousTitre},
                             {QLatin1String("tagline"), &sousTitre},
                             {QLatin1String("rights"), &droits},
                             {QLatin1String("copyright"), &droits},
                             {QLatin1String("updated"), &miseAJour},
                             {QLatin1String("modified"), &miseAJour},
                             {QLatin1String("logo"), &logo},
                             {QLatin1String("icon"), &icone}});

    // L'auteur : le dernier « name » du premier « author ».
    QDomElement nomAuteur;
    retenirDerniers(racine.firstChildElement(QStringLiteral("author")), {{QLatin1String("name"), &nomAuteur}});

    for (QDomElement enfant = racine.firstChildElement(); !enfant.isNull(); enfant = enfant.nextSiblingElement()) {
        if (enfant.tagName() == u"entry")
            flux.infos.append(lireEntree(enfant, base));
    }

    const QString lien = lienAtom(racine, base);
    // L'image : le logo, sinon l'icône, quand l'un des deux n'est pas vide.
    const QDomElement choisie = NoeudXML::texteChamp(logo).isEmpty() ? icone : logo;
    const QString adresseImage = NoeudXML::texteChamp(choisie);
    if (!adresseImage.isEmpty()) {
        auto image = std::make_unique<TImageFlux>();
        image->setDonnees(QString(), lien, adresseAtom(adresseImage, baseAtom(choisie, base)));
        flux.setImage(std::move(image));
    }

    flux.setDonnees(texteAtom(titre), lien, texteAtom(sousTitre), texteAtom(droits),
                    NoeudXML::texteChamp(miseAJour), racine.attribute(QStringLiteral("xml:lang")),
                    NoeudXML::texteChamp(nomAuteur));
}
