#include "reading/ArbreXML.h"

#include <QByteArrayView>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace ArbreXML {

namespace {

struct Correspondance
{
    const char *libelle;
    int image;
};

// Par nom local : les noms d'Atom prennent l'image de leur équivalent RSS, et « dc:date »,
// « dc:rights », « dc:language » celle de leur nom local.
constexpr std::array<Correspondance, 18> table = {{
    {"title", 33},
    {"link", 13},
    {"description", 108},
    {"summary", 108},
    {"content", 108},
    {"channel", 51},
    {"feed", 51},
    {"copyright", 119},
    {"rights", 119},
    {"language", 107},
    {"url", 8},
    {"item", 3},
    {"entry", 3},
    {"pubDate", 39},
    {"updated", 39},
    {"published", 39},
    {"date", 39},
    {"image", 81},
}};

// Le plus long nom du tableau : un nom plus long n'est pas comparé.
constexpr qsizetype longueurMax = 11;

// Le nom local d'un nom écrit avec son préfixe : ce qui suit le dernier deux-points (« atom:title »
// donne « title ») ; un nom sans préfixe est son propre nom local. Le seul endroit où il se déduit
// de l'écriture du nom.
template<typename Vue>
Vue nomLocal(Vue nom)
{
    for (qsizetype i = nom.size(); i > 0; --i) {
        if (nom.at(i - 1) == QLatin1Char(':'))
            return nom.sliced(i);
    }
    return nom;
}

template<typename Vue>
int chercher(Vue libelle)
{
    const Vue nom = nomLocal(libelle);
    if (nom.size() > longueurMax)
        return aucuneImage;
    for (const Correspondance &c : table) {
        if (nom == QLatin1String(c.libelle))
            return c.image;
    }
    return aucuneImage;
}

} // namespace

QString texteDuNoeud(const QDomNode &noeud)
{
    const QDomNode::NodeType type = noeud.nodeType();
    if (type == QDomNode::TextNode || type == QDomNode::CDATASectionNode)
        return noeud.nodeValue();
    return noeud.nodeName();
}

TexteEtroit libelle(const QDomNode &noeud) { return versEtroit(texteDuNoeud(noeud)); }

bool estMontre(const QDomNode &noeud)
{
    if (noeud.nodeType() != QDomNode::TextNode)
        return true;
    const QString texte = noeud.nodeValue();
    return std::any_of(texte.cbegin(), texte.cend(),
                       [](QChar c) { return c != u' ' && c != u'\t' && c != u'\n' && c != u'\r'; });
}

QDomNode premierEnfantMontre(const QDomNode &noeud)
{
    const QDomNode premier = noeud.firstChild();
    return premier.isNull() || estMontre(premier) ? premier : suivantMontre(premier);
}

QDomNode suivantMontre(const QDomNode &noeud)
{
    QDomNode suivant = noeud.nextSibling();
    while (!suivant.isNull() && !estMontre(suivant))
        suivant = suivant.nextSibling();
    return suivant;
}

namespace {

// Les caractères hors Latin-1 que Windows-1252 représente (ses octets 0x80 à 0x9F), relevés une
// fois auprès du module de texte étroit lui-même, triés.
const std::vector<char16_t> &plage80()
{
    static const std::vector<char16_t> caracteres = [] {
        std::vector<char16_t> liste;
        for (int octet = 0x80; octet < 0xA0; ++octet) {
            const TexteEtroit etroit(1, static_cast<char>(octet));
            const QString large = depuisEtroit(etroit);
            if (large.size() == 1 && versEtroit(large) == etroit)
                liste.push_back(large.front().unicode());
        }
        std::sort(liste.begin(), liste.end());
        return liste;
    }();
    return caracteres;
}

bool survitALAllerRetour(char16_t u, const std::vector<char16_t> &plage)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return true;
    return std::binary_search(plage.begin(), plage.end(), u);
}

// Le premier caractère qui ne survit pas à l'aller-retour, ou `fin`. Les libellés sont surtout
// de l'ASCII : quatre caractères à la fois tant qu'ils le sont tous.
const char16_t *premierPerdu(const char16_t *p, const char16_t *fin, const std::vector<char16_t> &plage)
{
    while (p < fin) {
        if (fin - p >= 4) {
            quint64 bloc;
            std::memcpy(&bloc, p, sizeof bloc);
            if ((bloc & 0xFF80FF80FF80FF80ULL) == 0) {
                p += 4;
                continue;
            }
        }
        if (!survitALAllerRetour(*p, plage))
            return p;
        ++p;
    }
    return fin;
}

} // namespace

QString libelleAffiche(QString texte)
{
    const char16_t *debut = reinterpret_cast<const char16_t *>(texte.constData());
    const char16_t *fin = debut + texte.size();
    const std::vector<char16_t> &plage = plage80();
    const char16_t *p = premierPerdu(debut, fin, plage);
    if (p == fin)
        return texte; // le cas courant : aucune copie
    // Ce que donnerait depuisEtroit(versEtroit(texte)) : chaque caractère perdu devient « ? »,
    // une paire de substitution (un seul caractère) un seul « ? ».
    QString resultat;
    resultat.reserve(texte.size());
    resultat.append(QStringView(debut, p - debut));
    while (p < fin) {
        const char16_t u = *p++;
        if (survitALAllerRetour(u, plage)) {
            resultat.append(QChar(u));
            continue;
        }
        if (QChar::isHighSurrogate(u) && p < fin && QChar::isLowSurrogate(*p))
            ++p;
        resultat.append(u'?');
    }
    return resultat;
}

int indexImage(const TexteEtroit &libelle) { return chercher(QLatin1String(libelle)); }

int indexImage(QStringView libelle) { return chercher(libelle); }

} // namespace ArbreXML
