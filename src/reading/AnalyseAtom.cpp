#include "reading/AnalyseAtom.h"

#include "commun/EchappementHtml.h"
#include "reading/AdressesHtml.h"
#include "reading/DocumentXML.h"
#include "reading/ResolutionAdresse.h"

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

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

// La base de l'extérieur à laquelle s'applique le xml:base propre d'un élément, s'il en a un.
std::optional<QString> baseAppliquee(const std::optional<QString> &exterieure, const std::optional<QString> &propre)
{
    if (!propre || sansBlancsXml(*propre).isEmpty())
        return exterieure;
    return adresseDuDocument(*propre, exterieure);
}

// La base d'adresses en vigueur sur un élément ; absente tant que ni xml:base ni adresse
// d'origine ne la donnent.
std::optional<QString> baseDe(const QDomElement &element, const std::optional<QString> &exterieure)
{
    return baseAppliquee(exterieure, attribut(element, QLatin1String("xml:base")));
}

// Vrai pour un « link » sans rel ou de rel « alternate ».
bool estLienPrincipal(const QDomElement &lien)
{
    const std::optional<QString> rel = attribut(lien, QLatin1String("rel"));
    return !rel || *rel == u"alternate";
}

// Un seul passage sur les enfants d'Atom d'un élément (l'arbre d'un grand flux coûte surtout à
// parcourir) : chaque nom cherché retient son élément (plusieurs noms peuvent remplir le même
// emplacement), « lien » reçoit le premier lien principal, et chaque « entry » va à surEntree.
// Les textes ne sont tirés qu'ensuite, des seuls éléments retenus.
void releverEnfants(const QDomNode &parent, const NomsElements &noms, std::initializer_list<Cherche> cherches,
                    QDomElement &lien, const std::function<void(const QDomElement &)> &surEntree = nullptr)
{
    for (QDomNode enfant = parent.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        const NomElement nom = noms.nom(enfant);
        if (nom.vocabulaire() != Vocabulaire::Atom)
            continue;
        if (nom.local() == u"link") {
            if (lien.isNull() && estLienPrincipal(enfant.toElement()))
                lien = enfant.toElement();
        } else if (surEntree && nom.local() == u"entry") {
            surEntree(enfant.toElement());
        } else {
            for (const Cherche &c : cherches) {
                if (nom.local() == c.nom) {
                    if (!c.premier || c.element->isNull())
                        *c.element = enfant.toElement();
                    break;
                }
            }
        }
    }
}

// Le premier enfant « div », quel que soit son préfixe.
QDomElement divDe(const QDomElement &champ, const NomsElements &noms)
{
    for (QDomElement enfant = champ.firstChildElement(); !enfant.isNull(); enfant = enfant.nextSiblingElement()) {
        if (noms.nom(enfant).local() == u"div")
            return enfant;
    }
    return {};
}

// Les éléments vides de HTML, qui n'ont pas de balise fermante.
bool estElementVide(QStringView nom)
{
    static const QStringView vides[] = {u"br", u"hr", u"img", u"input", u"meta", u"link", u"area",
                                        u"base", u"col", u"embed", u"param", u"source", u"track", u"wbr"};
    const qsizetype deuxPoints = nom.indexOf(u':');
    const QStringView local = deuxPoints < 0 ? nom : nom.sliced(deuxPoints + 1);
    return std::find(std::begin(vides), std::end(vides), local) != std::end(vides);
}

// Le contenu d'un élément écrit comme HTML le relira, sans l'élément lui-même ni retours ajoutés :
// balise fermante pour tout élément sauf les éléments vides de HTML (« <br> »), adresses
// résolues contre xml:base. Une pile plutôt que la récursion : un contenu peut avoir des
// milliers de niveaux.
QString balisesDuContenu(const QDomElement &contenant, const std::optional<QString> &base)
{
    struct Niveau
    {
        QDomNode suivant;
        std::optional<QString> base;
        QString balise;
    };
    QString sortie;
    std::vector<Niveau> pile{{contenant.firstChild(), base, QString()}};
    while (!pile.empty()) {
        Niveau &haut = pile.back();
        if (haut.suivant.isNull()) {
            if (pile.size() > 1)
                sortie += u"</" + haut.balise + u'>';
            pile.pop_back();
            continue;
        }
        const QDomNode noeud = std::exchange(haut.suivant, haut.suivant.nextSibling());
        if (noeud.isText() || noeud.isCDATASection()) {
            ajouterHtmlEchappe(sortie, noeud.nodeValue());
            continue;
        }
        if (noeud.isEntityReference()) {
            sortie += u'&' + noeud.nodeName() + u';';
            continue;
        }
        if (!noeud.isElement())
            continue;
        const QDomElement element = noeud.toElement();
        std::optional<QString> baseElement = baseDe(element, haut.base);
        sortie += u'<' + element.nodeName();
        const QDomNamedNodeMap attributs = element.attributes();
        for (int i = 0; i < attributs.length(); ++i) {
            const QDomNode a = attributs.item(i);
            const QString nom = a.nodeName();
            const QString valeur = a.nodeValue();
            const std::optional<QString> resolue =
                baseElement ? adresseAttributResolue(nom, valeur, *baseElement) : std::nullopt;
            sortie += u' ' + nom + u"=\"";
            ajouterHtmlEchappe(sortie, resolue.value_or(valeur));
            sortie += u'"';
        }
        sortie += u'>';
        if (!element.hasChildNodes() && estElementVide(element.nodeName()))
            continue;
        // Le niveau de l'élément : ses enfants, puis sa balise fermante.
        pile.push_back({element.firstChild(), std::move(baseElement), element.nodeName()});
    }
    return sortie;
}

QString texteOuAutre(const QString &texte, const QString &autre) { return texte.isEmpty() ? autre : texte; }

// Un titre, des droits ou une description lus : leur valeur, et si c'est du texte (à échapper
// pour la page) plutôt que du HTML.
struct ContenuAtom
{
    QString valeur;
    bool enTexte = true;
    // Du HTML déjà lu, qui s'écrit tel quel sur la page, et ses nœuds.
    bool equilibre = false;
    qint64 noeuds = 0;
};

// Le HTML d'un contenu, ses adresses résolues contre la base en vigueur.
ContenuAtom enHtml(const QString &html, const std::optional<QString> &base, ContexteLecture &contexte)
{
    if (!base)
        return {html, false};
    const HtmlResolu resolu = resoudreAdressesHtml(html, *base, contexte.budgetHtml);
    return {resolu.html, false, resolu.equilibre, resolu.noeuds};
}

// Un élément de contenu lu selon son type et, en Atom 0.3, son mode.
ContenuAtom lireContenu(const QDomElement &champ, const std::optional<QString> &baseParent, ContexteLecture &contexte)
{
    if (champ.isNull())
        return {};
    // Les trois attributs qui décident, relevés en un passage.
    QString type;
    std::optional<QString> mode, basePropre;
    const QDomNamedNodeMap attributs = champ.attributes();
    for (int i = 0; i < attributs.length(); ++i) {
        const QDomNode a = attributs.item(i);
        const QString nom = a.nodeName();
        if (nom == u"type")
            type = a.nodeValue();
        else if (nom == u"mode")
            mode = a.nodeValue();
        else if (nom == u"xml:base")
            basePropre = a.nodeValue();
    }
    const std::optional<QString> base = baseAppliquee(baseParent, basePropre);
    if (type == u"xhtml") {
        const QDomElement div = divDe(champ, contexte.noms);
        return {balisesDuContenu(div, baseDe(div, base)), false};
    }
    // Le type : un nom d'Atom 1.0 ou un type MIME d'Atom 0.3 ; text/plain par défaut.
    const bool html = type == u"html" || type == u"text/html";
    const bool xhtml = type == u"application/xhtml+xml";
    if (mode == u"base64") {
        const QString decode = QString::fromUtf8(QByteArray::fromBase64(NoeudXML::texteChamp(champ).toLatin1()));
        return html || xhtml ? enHtml(decode, base, contexte) : ContenuAtom{decode, true};
    }
    // Le mode xml (celui d'Atom 0.3 sans mode) : des éléments sont du balisage.
    if ((mode ? *mode == u"xml" : contexte.noms.atom03()) && !champ.firstChildElement().isNull())
        return {balisesDuContenu(champ, base), false};
    // Du texte seul : du HTML échappé pour le type html, du texte sinon (le texte d'un contenu
    // XHTML est du texte).
    const QString texte = NoeudXML::texteChamp(champ);
    return html ? enHtml(texte, base, contexte) : ContenuAtom{texte, true};
}

// La description d'un résumé ou d'un contenu, telle que la page l'insère en HTML.
ContenuAtom descriptionAtom(const QDomElement &champ, const std::optional<QString> &base, ContexteLecture &contexte)
{
    const ContenuAtom contenu = lireContenu(champ, base, contexte);
    return contenu.enTexte ? ContenuAtom{htmlEchappe(contenu.valeur), false} : contenu;
}

// L'adresse d'un « link » retenu, résolue contre la base en vigueur sur lui ; vide sans lien.
QString adresseDuLien(const QDomElement &lien, const std::optional<QString> &baseParent)
{
    if (lien.isNull())
        return QString();
    return adresseDuDocument(attribut(lien, QLatin1String("href")).value_or(QString()), baseDe(lien, baseParent));
}

// Une information lue d'un élément « entry ».
PInfo lireEntree(const QDomElement &entree, const std::optional<QString> &baseFlux, ContexteLecture &contexte)
{
    QDomElement titre, lien, resume, contenu, miseAJour, publication, identifiant;
    releverEnfants(entree, contexte.noms,
                   {{QLatin1String("title"), &titre},
                    {QLatin1String("id"), &identifiant},
                    {QLatin1String("summary"), &resume},
                    {QLatin1String("content"), &contenu},
                    {QLatin1String("updated"), &miseAJour},
                    {QLatin1String("modified"), &miseAJour},
                    {QLatin1String("published"), &publication},
                    {QLatin1String("issued"), &publication}},
                   lien);
    // Le contenu n'est écrit que si le résumé est vide.
    const std::optional<QString> base = baseDe(entree, baseFlux);
    ContenuAtom description = descriptionAtom(resume, base, contexte);
    if (description.valeur.isEmpty())
        description = descriptionAtom(contenu, base, contexte);
    const ContenuAtom titreLu = lireContenu(titre, base, contexte);
    auto info = std::make_shared<TInfo>();
    info->setDonnees(titreLu.valeur, adresseDuLien(lien, base), description.valeur,
                     texteOuAutre(NoeudXML::texteChamp(miseAJour), NoeudXML::texteChamp(publication)));
    info->setTitreEnTexte(titreLu.enTexte);
    // La lecture qui a déjà lu la description en HTML dispense la page de la relire.
    if (description.equilibre)
        info->setDescriptionDePage({description.valeur, description.noeuds});
    info->setGuid(NoeudXML::texteChamp(identifiant));
    return info;
}

} // namespace

void analyserAtom(const QDomElement &racine, TFlux &flux, ContexteLecture &contexte)
{
    const std::optional<QString> base = baseDe(racine, contexte.adresseSource);

    QDomElement titre, lienRacine, sousTitre, droits, miseAJour, auteur, logo, icone;
    releverEnfants(racine, contexte.noms,
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
                   lienRacine, [&](const QDomElement &entree) { flux.infos.append(lireEntree(entree, base, contexte)); });

    // L'auteur : le dernier « name » du premier « author ».
    QDomElement nomAuteur, sansLien;
    releverEnfants(auteur, contexte.noms, {{QLatin1String("name"), &nomAuteur}}, sansLien);

    const QString lien = adresseDuLien(lienRacine, base);
    // L'image : le logo, sinon l'icône, quand l'un des deux n'est pas vide.
    const QDomElement choisie = sansBlancsXml(NoeudXML::texteChamp(logo)).isEmpty() ? icone : logo;
    const QString adresseImage = adresseDuDocument(NoeudXML::texteChamp(choisie), baseDe(choisie, base));
    if (!adresseImage.isEmpty()) {
        auto image = std::make_unique<TImageFlux>();
        image->setDonnees(QString(), lien, adresseImage);
        flux.setImage(std::move(image));
    }

    const ContenuAtom titreLu = lireContenu(titre, base, contexte);
    const ContenuAtom droitsLus = lireContenu(droits, base, contexte);
    flux.setDonnees(titreLu.valeur, lien, descriptionAtom(sousTitre, base, contexte).valeur, droitsLus.valeur,
                    NoeudXML::texteChamp(miseAJour), attribut(racine, QLatin1String("xml:lang")).value_or(QString()),
                    NoeudXML::texteChamp(nomAuteur));
    flux.setTitreEnTexte(titreLu.enTexte);
    flux.setCopyrightEnTexte(droitsLus.enTexte);
}
