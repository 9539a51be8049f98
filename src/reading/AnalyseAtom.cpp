#include "reading/AnalyseAtom.h"

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
    if (!propre)
        return exterieure;
    return exterieure ? resoudreAdresse(*exterieure, *propre) : *propre;
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
// Les textes ne sont tirés qu'ensuite, des seuls éléments retenus. Seuls les éléments écrits avec
// le préfixe d'Atom (aucun, le plus souvent) sont d'Atom ; leur nom local est comparé.
void releverEnfants(const QDomNode &parent, const QString &prefixe, std::initializer_list<Cherche> noms,
                    QDomElement &lien, const std::function<void(const QDomElement &)> &surEntree = nullptr)
{
    for (QDomNode enfant = parent.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        if (!enfant.isElement())
            continue;
        const QString ecrit = enfant.nodeName();
        if (!prefixe.isEmpty() && !(ecrit.startsWith(prefixe) && ecrit.size() > prefixe.size() && ecrit[prefixe.size()] == u':'))
            continue;
        const QStringView nom = prefixe.isEmpty() ? QStringView(ecrit) : QStringView(ecrit).sliced(prefixe.size() + 1);
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

// Les éléments vides de HTML, qui n'ont pas de balise fermante.
bool estElementVide(QStringView nom)
{
    static const QStringView vides[] = {u"br", u"hr", u"img", u"input", u"meta", u"link", u"area",
                                        u"base", u"col", u"embed", u"param", u"source", u"track", u"wbr"};
    const qsizetype deuxPoints = nom.indexOf(u':');
    const QStringView local = deuxPoints < 0 ? nom : nom.sliced(deuxPoints + 1);
    return std::find(std::begin(vides), std::end(vides), local) != std::end(vides);
}

// « & », « < » et « > » (et « " » dans une valeur d'attribut) échappés.
void ajouterEchappe(QString &sortie, QStringView texte)
{
    qsizetype fait = 0;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        const char16_t *remplace = c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : c == u'>' ? u"&gt;" : c == u'"' ? u"&quot;" : nullptr;
        if (remplace) {
            sortie += texte.sliced(fait, i - fait);
            sortie += QStringView(remplace);
            fait = i + 1;
        }
    }
    sortie += texte.sliced(fait);
}

QString echapper(const QString &texte)
{
    QString sortie;
    ajouterEchappe(sortie, texte);
    return sortie;
}

// Vrai quand l'adresse commence par un schéma (« http: », « mailto: »...) : elle est absolue.
bool estAbsolue(QStringView adresse)
{
    for (qsizetype i = 0; i < adresse.size(); ++i) {
        const QChar c = adresse[i];
        if (c == u':')
            return i > 0;
        const bool lettre = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (!lettre && (i == 0 || !((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.')))
            return false;
    }
    return false;
}

// Une adresse d'un contenu : résolue contre la base en vigueur, une adresse absolue gardée telle quelle.
QString adresseDuContenu(const QString &ecrite, const std::optional<QString> &base)
{
    return !base || estAbsolue(ecrite) ? ecrite : resoudreAdresse(*base, ecrite);
}

// Le contenu d'un élément écrit comme HTML le relira, sans l'élément lui-même ni retours ajoutés :
// balise fermante pour tout élément sauf les éléments vides de HTML (« <br> »), « href » et « src »
// résolus contre xml:base. Une pile plutôt que la récursion : un contenu peut avoir des milliers
// de niveaux.
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
            ajouterEchappe(sortie, noeud.nodeValue());
            continue;
        }
        if (noeud.isEntityReference()) {
            sortie += u'&' + noeud.nodeName() + u';';
            continue;
        }
        if (!noeud.isElement())
            continue;
        const QDomElement element = noeud.toElement();
        std::optional<QString> baseElement = baseAtom(element, haut.base);
        sortie += u'<' + element.tagName();
        const QDomNamedNodeMap attributs = element.attributes();
        for (int i = 0; i < attributs.length(); ++i) {
            const QDomNode a = attributs.item(i);
            const QString nom = a.nodeName();
            const QString valeur =
                nom == u"href" || nom == u"src" ? adresseDuContenu(a.nodeValue(), baseElement) : a.nodeValue();
            sortie += u' ' + nom + u"=\"";
            ajouterEchappe(sortie, valeur);
            sortie += u'"';
        }
        sortie += u'>';
        if (!element.hasChildNodes() && estElementVide(element.tagName()))
            continue;
        // Le niveau de l'élément : ses enfants, puis sa balise fermante.
        pile.push_back({element.firstChild(), std::move(baseElement), element.tagName()});
    }
    return sortie;
}

// Les valeurs des attributs href et src d'un contenu HTML échappé résolues contre la base : chaque
// « href » ou « src » précédé d'un blanc et suivi de « = » et d'une valeur entre guillemets. Le
// texte n'est recopié qu'à la première adresse relative.
QString resoudreAdressesHtml(const QString &html, const std::optional<QString> &base)
{
    if (!base)
        return html;
    const QStringView texte(html);
    QString sortie;
    qsizetype fait = 0;
    for (qsizetype i = 1; i < texte.size(); ++i) {
        const QChar c = texte[i];
        if ((c != u'h' && c != u'H' && c != u's' && c != u'S') || !texte[i - 1].isSpace())
            continue;
        const qsizetype nom = texte.sliced(i).startsWith(u"href", Qt::CaseInsensitive) ? 4
            : texte.sliced(i).startsWith(u"src", Qt::CaseInsensitive)                   ? 3
                                                                                         : 0;
        qsizetype j = i + nom;
        while (nom && j < texte.size() && texte[j].isSpace())
            ++j;
        if (!nom || j >= texte.size() || texte[j] != u'=')
            continue;
        ++j;
        while (j < texte.size() && texte[j].isSpace())
            ++j;
        if (j >= texte.size() || (texte[j] != u'"' && texte[j] != u'\''))
            continue;
        const qsizetype fin = texte.indexOf(texte[j], j + 1);
        if (fin < 0)
            break;
        i = fin;
        const QStringView valeur = texte.sliced(j + 1, fin - j - 1);
        if (estAbsolue(valeur))
            continue;
        sortie += texte.sliced(fait, j + 1 - fait);
        sortie += resoudreAdresse(*base, valeur.toString());
        fait = fin;
    }
    if (fait == 0)
        return html;
    sortie += texte.sliced(fait);
    return sortie;
}

QString texteOuAutre(const QString &texte, const QString &autre) { return texte.isEmpty() ? autre : texte; }

// Ce qu'un document Atom est : son préfixe (vide sans préfixe) et sa version.
struct Atom
{
    QString prefixe;
    bool version03 = false;
};

const QLatin1String espaceAtom10("http://www.w3.org/2005/Atom");
const QLatin1String espaceAtom03("http://purl.org/atom/ns#");

QString prefixeDe(const QDomElement &element)
{
    const QString nom = element.tagName();
    const qsizetype deuxPoints = nom.indexOf(u':');
    return deuxPoints < 0 ? QString() : nom.left(deuxPoints);
}

// L'espace de noms de la racine, que son préfixe nomme : il est déclaré sur elle.
QString espaceDeLaRacine(const QDomElement &racine)
{
    const QString prefixe = prefixeDe(racine);
    return racine.attribute(prefixe.isEmpty() ? QStringLiteral("xmlns") : u"xmlns:" + prefixe);
}

Atom atomDe(const QDomElement &racine) { return Atom{prefixeDe(racine), espaceDeLaRacine(racine) == espaceAtom03}; }

// La description d'un résumé ou d'un contenu, telle que la page l'insère en HTML : un texte
// échappé, du HTML échappé (type="html", mode="escaped", Atom 0.3 sans mode) ou décodé de base64,
// ou des balises (type="xhtml", mode="xml") écrites en HTML ; href et src résolus contre xml:base.
QString descriptionAtom(const QDomElement &champ, const std::optional<QString> &baseParent, const Atom &atom)
{
    if (champ.isNull())
        return QString();
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
        const QDomElement div = divDe(champ);
        return balisesDuContenu(div, baseAtom(div, base));
    }
    if (mode == u"xml")
        return balisesDuContenu(champ, base);
    if (mode == u"base64")
        return QString::fromUtf8(QByteArray::fromBase64(NoeudXML::texteChamp(champ).toLatin1()));
    if (mode || (atom.version03 && type != u"text"))
        return NoeudXML::texteChamp(champ);
    if (type == u"html")
        return resoudreAdressesHtml(NoeudXML::texteChamp(champ), base);
    return echapper(NoeudXML::texteChamp(champ));
}

// L'adresse d'un « link » retenu, résolue contre la base en vigueur sur lui ; vide sans lien.
QString adresseDuLien(const QDomElement &lien, const std::optional<QString> &baseParent)
{
    if (lien.isNull())
        return QString();
    return adresseAtom(attribut(lien, QLatin1String("href")).value_or(QString()), baseAtom(lien, baseParent));
}

// Une information lue d'un élément « entry ».
PInfo lireEntree(const QDomElement &entree, const std::optional<QString> &baseFlux, const Atom &atom)
{
    QDomElement titre, lien, resume, contenu, miseAJour, publication, identifiant;
    releverEnfants(entree, atom.prefixe,
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
    const std::optional<QString> base = baseAtom(entree, baseFlux);
    QString description = descriptionAtom(resume, base, atom);
    if (description.isEmpty())
        description = descriptionAtom(contenu, base, atom);
    auto info = std::make_shared<TInfo>();
    info->setDonnees(texteAtom(titre), adresseDuLien(lien, base), description,
                     texteOuAutre(NoeudXML::texteChamp(miseAJour), NoeudXML::texteChamp(publication)));
    info->setGuid(NoeudXML::texteChamp(identifiant));
    return info;
}

} // namespace

bool estRacineAtom(const QDomElement &racine)
{
    if (racine.tagName() == u"feed")
        return true;
    const QString espace = espaceDeLaRacine(racine);
    return espace == espaceAtom10 || espace == espaceAtom03;
}

QString texteAtom(const QDomElement &champ)
{
    if (attribut(champ, QLatin1String("type")).value_or(QString()) == u"xhtml")
        return balisesDuContenu(divDe(champ), std::nullopt);
    return NoeudXML::texteChamp(champ);
}

std::optional<QString> baseAtom(const QDomElement &element, const std::optional<QString> &exterieure)
{
    return baseAppliquee(exterieure, attribut(element, QLatin1String("xml:base")));
}

QString adresseAtom(const QString &ecrite, const std::optional<QString> &base)
{
    return base ? resoudreAdresse(*base, ecrite) : ecrite;
}

void analyserAtom(const QDomElement &racine, TFlux &flux)
{
    const std::optional<QString> base = baseAtom(racine, std::nullopt);
    const Atom atom = atomDe(racine);

    QDomElement titre, lienRacine, sousTitre, droits, miseAJour, auteur, logo, icone;
    releverEnfants(racine, atom.prefixe,
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
                   lienRacine, [&](const QDomElement &entree) { flux.infos.append(lireEntree(entree, base, atom)); });

    // L'auteur : le dernier « name » du premier « author ».
    QDomElement nomAuteur, sansLien;
    releverEnfants(auteur, atom.prefixe, {{QLatin1String("name"), &nomAuteur}}, sansLien);

    const QString lien = adresseDuLien(lienRacine, base);
    // L'image : le logo, sinon l'icône, quand l'un des deux n'est pas vide.
    const QDomElement choisie = NoeudXML::texteChamp(logo).isEmpty() ? icone : logo;
    const QString adresseImage = NoeudXML::texteChamp(choisie);
    if (!adresseImage.isEmpty()) {
        auto image = std::make_unique<TImageFlux>();
        image->setDonnees(QString(), lien, adresseAtom(adresseImage, baseAtom(choisie, base)));
        flux.setImage(std::move(image));
    }

    flux.setDonnees(texteAtom(titre), lien, descriptionAtom(sousTitre, base, atom), texteAtom(droits),
                    NoeudXML::texteChamp(miseAJour), attribut(racine, QLatin1String("xml:lang")).value_or(QString()),
                    NoeudXML::texteChamp(nomAuteur));
}
