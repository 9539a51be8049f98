#include "base/OctetsBase.h"

#include "commun/Utf8.h"

#include <QDomProcessingInstruction>
#include <QRegularExpression>

namespace {

constexpr int largeurRetrait = 2;

// Le codage que la déclaration annonce est-il celui que toByteArray écrit de toute façon ?
bool declarationUtf8(const QDomProcessingInstruction &declaration)
{
    const QString donnees = declaration.data();
    const auto [debut, longueur] = codageAnnonce(donnees);
    return longueur == 0 || QStringView(donnees).mid(debut, longueur).compare(u"UTF-8", Qt::CaseInsensitive) == 0;
}

class Ecriture
{
public:
    explicit Ecriture(QByteArray &sortie) : m_sortie(sortie) {}

    void ajouter(QLatin1StringView texte) { m_sortie.append(texte.data(), texte.size()); }
    void ajouter(char c) { m_sortie.append(c); }
    void ajouter(const QByteArray &octets) { m_sortie.append(octets); }
    void retrait(int profondeur) { m_sortie.append(largeurRetrait * profondeur, ' '); }

    // Un nom ou une donnée, en UTF-8 tel quel.
    void brut(const QString &texte) { ecrireTexte(texte, false); }
    // Le texte d'un élément : « < » et « & » échappés, « > » après « ]] », retour chariot en
    // référence de caractère.
    void echappe(const QString &texte) { ecrireTexte(texte, true); }

    // Une ligne de balise au retrait de la profondeur donnée : « <nom> », « </nom> », « <nom/> »,
    // ou « <nom>texte</nom> ».
    void ouvrante(int profondeur, const QString &nom) { balise(profondeur, "<", nom, ">\n"); }
    void fermante(int profondeur, const QString &nom) { balise(profondeur, "</", nom, ">\n"); }
    void vide(int profondeur, const QString &nom) { balise(profondeur, "<", nom, "/>\n"); }
    void avecTexte(int profondeur, const QString &nom, const QString &texte)
    {
        balise(profondeur, "<", nom, ">");
        echappe(texte);
        ajouter(QLatin1StringView("</"));
        brut(nom);
        ajouter(QLatin1StringView(">\n"));
    }

private:
    void balise(int profondeur, const char *avant, const QString &nom, const char *apres)
    {
        retrait(profondeur);
        ajouter(QLatin1StringView(avant));
        brut(nom);
        ajouter(QLatin1StringView(apres));
    }

    void ecrireTexte(const QString &texte, bool echapper)
    {
        const char16_t *p = reinterpret_cast<const char16_t *>(texte.constData());
        const char16_t *const debutTexte = p;
        const char16_t *const fin = p + texte.size();
        // Au plus cinq octets par unité (&amp; ou &#xd;).
        const qsizetype debut = m_sortie.size();
        m_sortie.resize(debut + 5 * texte.size());
        char *ecrit = m_sortie.data() + debut;
        while (p < fin) {
            const char16_t u = *p++;
            // Le cas courant d'abord : un caractère ASCII qui s'écrit tel quel.
            if (u < 0x80 && u != u'<' && u != u'&' && u != u'>' && u != u'\r') {
                *ecrit++ = static_cast<char>(u);
                continue;
            }
            if (echapper && u < 0x80) {
                const char *entite = nullptr;
                if (u == u'<')
                    entite = "&lt;";
                else if (u == u'&')
                    entite = "&amp;";
                else if (u == u'>' && p - debutTexte >= 3 && p[-2] == u']' && p[-3] == u']')
                    entite = "&gt;";
                else if (u == u'\r')
                    entite = "&#xd;";
                if (entite) {
                    while (*entite)
                        *ecrit++ = *entite++;
                    continue;
                }
            }
            if (char *suite = ecrireUtf8(ecrit, u, p, fin))
                ecrit = suite;
            else
                *ecrit++ = '?'; // comme QString::toUtf8 pour une moitié de paire isolée
        }
        m_sortie.truncate(ecrit - m_sortie.constData());
    }

    QByteArray &m_sortie;
};

// Vrai quand le chemin direct sait écrire cet élément et sa descendance, qu'il écrit alors ;
// faux dès qu'un nœud lui est étranger (ce qui a déjà été écrit est à jeter). Les poignées du DOM
// coûtent chacune un compteur atomique : on en fait le moins possible.
bool ecrireElement(Ecriture &ecriture, const QDomNode &racine, const QDomNode &dejaEcrit,
                   const EcritureElements *octetsDejaEcrits)
{
    struct Ouvert
    {
        QString nom;
        QDomNode suivant; // le prochain enfant à écrire
    };
    QList<Ouvert> pile;
    pile.reserve(16);
    // Écrit un élément : sans enfant ou avec un seul texte, entièrement ; avec des éléments pour
    // enfants, sa balise ouvrante, et il est empilé.
    auto commencer = [&](const QDomNode &noeud) {
        if (octetsDejaEcrits && noeud == dejaEcrit) {
            if (octetsDejaEcrits->profondeur() != int(pile.size()))
                return false;
            ecriture.ajouter(octetsDejaEcrits->octets());
            return true;
        }
        if (noeud.nodeType() != QDomNode::ElementNode || !noeud.namespaceURI().isNull() || noeud.hasAttributes())
            return false;
        QString nom = noeud.nodeName();
        const int profondeur = int(pile.size());
        QDomNode premier = noeud.firstChild();
        if (premier.isNull()) {
            ecriture.vide(profondeur, nom);
            return true;
        }
        if (premier.nodeType() == QDomNode::TextNode) {
            if (premier != noeud.lastChild())
                return false;
            ecriture.avecTexte(profondeur, nom, premier.nodeValue());
            return true;
        }
        ecriture.ouvrante(profondeur, nom);
        pile.append({std::move(nom), std::move(premier)});
        return true;
    };
    if (!commencer(racine))
        return false;
    QDomNode enfant;
    while (!pile.isEmpty()) {
        Ouvert &haut = pile.last();
        if (haut.suivant.isNull()) {
            const QString nom = std::move(haut.nom);
            pile.removeLast();
            ecriture.fermante(int(pile.size()), nom);
            continue;
        }
        enfant = haut.suivant;
        haut.suivant = enfant.nextSibling();
        if (!commencer(enfant))
            return false;
    }
    return true;
}

} // namespace

std::pair<qsizetype, qsizetype> codageAnnonce(const QString &declaration)
{
    static const QRegularExpression codage(QStringLiteral("encoding\\s*=\\s*(\"[^\"]*\"|'[^']*')"));
    const QRegularExpressionMatch trouve = codage.match(declaration);
    if (!trouve.hasMatch())
        return {-1, 0};
    // Le nom, sans ses guillemets.
    return {trouve.capturedStart(1) + 1, trouve.capturedLength(1) - 2};
}

std::optional<QByteArray> octetsDirectsDuDocument(const QDomDocument &document, const QDomNode &dejaEcrit,
                                                  const EcritureElements *ecriture)
{
    if (!document.doctype().name().isEmpty())
        return std::nullopt;
    QByteArray sortie;
    Ecriture flot(sortie);
    bool racineVue = false;
    for (QDomNode noeud = document.firstChild(); !noeud.isNull(); noeud = noeud.nextSibling()) {
        if (noeud.isProcessingInstruction() && noeud.nodeName() == u"xml" && noeud == document.firstChild()) {
            const QDomProcessingInstruction declaration = noeud.toProcessingInstruction();
            if (!declarationUtf8(declaration))
                return std::nullopt;
            flot.ajouter(QLatin1StringView("<?"));
            flot.brut(declaration.target());
            flot.ajouter(' ');
            flot.brut(declaration.data());
            flot.ajouter(QLatin1StringView("?>\n"));
        } else if (!racineVue && ecrireElement(flot, noeud, dejaEcrit, ecriture)) {
            racineVue = true;
        } else {
            return std::nullopt;
        }
    }
    return sortie;
}

QByteArray octetsDuDocument(const QDomDocument &document, const QDomNode &dejaEcrit, const EcritureElements *ecriture)
{
    if (std::optional<QByteArray> directs = octetsDirectsDuDocument(document, dejaEcrit, ecriture))
        return std::move(*directs);
    return document.toByteArray(largeurRetrait);
}

void EcritureElements::avantEnfant()
{
    if (m_ouverts.isEmpty() || m_ouverts.last().enfants)
        return;
    Ouvert &parent = m_ouverts.last();
    parent.enfants = true;
    Ecriture(m_octets).ouvrante(m_profondeur + int(m_ouverts.size()) - 1, parent.nom);
}

void EcritureElements::ouvrir(const QString &nom)
{
    avantEnfant();
    m_ouverts.append({nom, false});
}

void EcritureElements::feuille(const QString &nom, const QString &texte)
{
    avantEnfant();
    Ecriture flot(m_octets);
    const int profondeur = m_profondeur + int(m_ouverts.size());
    if (texte.isEmpty())
        flot.vide(profondeur, nom);
    else
        flot.avecTexte(profondeur, nom, texte);
}

void EcritureElements::fermer()
{
    const Ouvert ouvert = m_ouverts.takeLast();
    Ecriture flot(m_octets);
    const int profondeur = m_profondeur + int(m_ouverts.size());
    if (ouvert.enfants)
        flot.fermante(profondeur, ouvert.nom);
    else
        flot.vide(profondeur, ouvert.nom);
}
