#include "reading/AnalyseAtom.h"

#include "reading/DocumentXML.h"
#include "reading/ResolutionAdresse.h"

#include <QTextStream>
#include <functional>
#include <initializer_list>

namespace {

// Un nom d'enfant cherché et l'élément retenu pour lui : le dernier qui le porte, ou le premier.
struct Cherche
{
    QLatin1String nom;
    QDomElement *element;
    bool premier = false;
};

// La valeur d'un attribut, ou rien. Chercher un nom dans la table d'un élément oblige à le
// hacher, ce qui pèse sur un grand flux ; les quelques attributs d'un élément sont donc parcourus,
// et la table ne sert qu'aux éléments qui en portent beaucoup (le parcours resterait linéaire).
std::optional<QString> attribut(const QDomElement &element, QLatin1String nom)
{
    if (!element.hasAttributes())
        return std::nullopt;
    const QDomNamedNodeMap attributs = element.attributes();
    const int nombre = attributs.length();
    if (nombre > 4) {
        const QDomNode trouve = attributs.namedItem(QString(nom));
        return trouve.isNull() ? std::nullopt : std::optional<QString>(trouve.nodeValue());
    }
    for (int i = 0; i < nombre; ++i) {
        const QDomNode a = attributs.item(i);
        if (a.nodeName() == nom)
            return a.nodeValue();
    }
    return std::nullopt;
}

// Vrai pour un « link » sans rel ou de rel « alternate ».
bool estLienPrincipal(const QDomElement &lien)
{
    const std::optional<QString> rel = attribut(lien, QLatin1String("rel"));
    return !rel || *rel == u"alternate";
}

// Un seul passage sur les enfants d'un élément (l'arbre d'un grand flux coûte surtout à
// parcourir) : chaque nom cherché retient son élément (plusieurs noms peuvent remplir le même
// emplacement), « lien » reçoit le premier lien principal, et chaque « entry » va à surEntree.
// Les textes ne sont tirés qu'ensuite, des seuls éléments retenus.
void releverEnfants(const QDomNode &parent, std::initializer_list<Cherche> noms, QDomElement &lien,
                    const std::function<void(const QDomElement &)> &surEntree = nullptr)
{
    for (QDomNode enfant = parent.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (!enfant.isElement())
            continue;
        const QString nom = enfant.nodeName();
        if (nom == u"link") {
            if (lien.isNull() && estLienPrincipal(enfant.toElement()))
                lien = enfant.toElement();
        } else if (surEntree && nom == u"entry") {
            surEntree(enfant.toElement());
        } else {
            for (const Cherche &c : noms) {
                if (nom == c.nom) {
                    if (!c.premier || c.element->isNull())
                        *c.element = enfant.toElement();
                    break;
                }
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

// L'adresse d'un « link » retenu, résolue contre la base en vigueur sur lui ; vide sans lien.
QString adresseDuLien(const QDomElement &lien, const std::optional<QString> &baseParent)
{
    if (lien.isNull())
        return QString();
    return adresseAtom(attribut(lien, QLatin1String("href")).value_or(QString()), baseAtom(lien, baseParent));
}

// Une information lue d'un élément « entry ».
PInfo lireEntree(const QDomElement &entree, const std::optional<QString> &baseFlux)
{
    QDomElement titre, lien, resume, contenu, miseAJour, publication;
    releverEnfants(entree,
                   {{QLatin1String("title"), &titre},
                    {QLatin1String("summary"), &resume},
                    {QLatin1String("content"), &contenu},
                    {QLatin1String("updated"), &miseAJour},
                    {QLatin1String("modified"), &miseAJour},
                    {QLatin1String("published"), &publication},
                    {QLatin1String("issued"), &publication}},
                   lien);
    // Le contenu n'est écrit que si le résumé est vide.
    QString description = texteAtom(resume);
    if (description.isEmpty())
        description = texteAtom(contenu);
    auto info = std::make_shared<TInfo>();
    info->setDonnees(texteAtom(titre), adresseDuLien(lien, baseAtom(entree, baseFlux)), description,
                     texteOuAutre(NoeudXML::texteChamp(miseAJour), NoeudXML::texteChamp(publication)));
    return info;
}

} // namespace

bool estRacineAtom(const QDomElement &racine) { return racine.tagName() == u"feed"; }

QString texteAtom(const QDomElement &champ)
{
    if (attribut(champ, QLatin1String("type")).value_or(QString()) == u"xhtml")
        return balisesDuContenu(divDe(champ));
    return NoeudXML::texteChamp(champ);
}

std::optional<QString> baseAtom(const QDomElement &element, const std::optional<QString> &exterieure)
{
    const std::optional<QString> propre = attribut(element, QLatin1String("xml:base"));
    if (!propre)
        return exterieure;
    return exterieure ? resoudreAdresse(*exterieure, *propre) : *propre;
}

QString adresseAtom(const QString &ecrite, const std::optional<QString> &base)
{
    return base ? resoudreAdresse(*base, ecrite) : ecrite;
}

void analyserAtom(const QDomElement &racine, TFlux &flux)
{
    const std::optional<QString> base = baseAtom(racine, std::nullopt);

    QDomElement titre, lienRacine, sousTitre, droits, miseAJour, auteur, logo, icone;
    releverEnfants(racine,
                   {{QLatin1String("title"), &titre},
                    {QLatin1String("subtitle"), &sousTitre},
                    {QLatin1String("tagline"), &sousTitre},
                    {QLatin1String("rights"), &droits},
                    {QLatin1String("copyright"), &droits},
                    {QLatin1String("updated"), &miseAJour},
                    {QLatin1String("modified"), &miseAJour},
                    {QLatin1String("author"), &auteur, true},
                    {QLatin1String("logo"), &logo},
                    {QLatin1String("icon"), &icone}},
                   lienRacine, [&flux, &base](const QDomElement &entree) { flux.infos.append(lireEntree(entree, base)); });

    // L'auteur : le dernier « name » du premier « author ».
    QDomElement nomAuteur, sansLien;
    releverEnfants(auteur, {{QLatin1String("name"), &nomAuteur}}, sansLien);

    const QString lien = adresseDuLien(lienRacine, base);
    // L'image : le logo, sinon l'icône, quand l'un des deux n'est pas vide.
    const QDomElement choisie = NoeudXML::texteChamp(logo).isEmpty() ? icone : logo;
    const QString adresseImage = NoeudXML::texteChamp(choisie);
    if (!adresseImage.isEmpty()) {
        auto image = std::make_unique<TImageFlux>();
        image->setDonnees(QString(), lien, adresseAtom(adresseImage, baseAtom(choisie, base)));
        flux.setImage(std::move(image));
    }

    flux.setDonnees(texteAtom(titre), lien, texteAtom(sousTitre), texteAtom(droits),
                    NoeudXML::texteChamp(miseAJour), attribut(racine, QLatin1String("xml:lang")).value_or(QString()),
                    NoeudXML::texteChamp(nomAuteur));
}
