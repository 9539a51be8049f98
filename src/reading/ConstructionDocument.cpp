#include "reading/ConstructionDocument.h"

#include "reading/EntitesHTML.h"

#include <QDomImplementation>
#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void refuser(const QString &message) { throw ErreurDocumentRefuse(message); }

// Un nombre écrit à la française (« 16 777 216 »).
QString nombre(qint64 n) { return QLocale(QLocale::French).toString(n); }

// Vrai quand une balise ouvrante du texte porte plus de « borne » signes « = » hors des valeurs
// entre guillemets, donc peut-être plus de « borne » attributs (le même parcours sur les octets
// UTF-8 ou sur le texte décodé : seuls des caractères ASCII y sont cherchés). Le parseur compare
// les attributs d'une balise deux à deux avant de la rendre : une balise trop chargée doit être
// refusée avant qu'il ne la lise. Une balise ne contient pas de « < », même dans ses valeurs :
// seul un morceau entre deux « < » qui porte plus de « borne » signes « = » est examiné de près.
template<typename Car>
bool baliseTropChargee(const Car *d, qsizetype n, int borne)
{
    const Car *fin = d + n;
    for (const Car *p = std::find(d, fin, Car('<')); p < fin;) {
        const Car *suivant = std::find(p + 1, fin, Car('<'));
        if (std::count(p, suivant, Car('=')) > borne && p + 1 < suivant && p[1] != '/' && p[1] != '!' && p[1] != '?') {
            int egaux = 0;
            for (const Car *q = p + 1; q < suivant && *q != '>'; ++q) {
                if (*q == '"' || *q == '\'') {
                    q = std::find(q + 1, suivant, *q);
                    if (q == suivant)
                        break;
                } else if (*q == '=' && ++egaux > borne) {
                    return true;
                }
            }
        }
        p = suivant;
    }
    return false;
}

bool baliseTropChargee(const TexteDocument &texte, int borne)
{
    return texte.enUtf8 ? baliseTropChargee(texte.utf8.constData(), texte.utf8.size(), borne)
                        : baliseTropChargee(texte.texte.utf16(), texte.texte.size(), borne);
}

// Les définitions d'attributs (ATTLIST) du document, comptées par excès : chaque définition se
// termine par #IMPLIED, #REQUIRED ou une valeur entre guillemets. Le parseur compare chaque
// définition à celles qu'il a déjà lues, puis passe toutes les définitions en revue à chaque
// élément : leur nombre est borné avant qu'il ne lise le DTD.
template<typename Car>
qint64 definitionsAttributs(const Car *d, qsizetype n)
{
    static constexpr Car attlist[] = {'<', '!', 'A', 'T', 'T', 'L', 'I', 'S', 'T'};
    static constexpr Car implied[] = {'#', 'I', 'M', 'P', 'L', 'I', 'E', 'D'};
    static constexpr Car required[] = {'#', 'R', 'E', 'Q', 'U', 'I', 'R', 'E', 'D'};
    const Car *fin = d + n;
    const auto commence = [fin](const Car *p, const Car *motif, qsizetype longueur) {
        return fin - p >= longueur && std::equal(motif, motif + longueur, p);
    };
    qint64 total = 0;
    for (const Car *p = std::search(d, fin, attlist, attlist + 9); p < fin; p = std::search(p, fin, attlist, attlist + 9)) {
        for (p += 9; p < fin && *p != '>'; ++p) {
            if (*p == '"' || *p == '\'') {
                ++total;
                p = std::find(p + 1, fin, *p);
                if (p == fin)
                    break;
            } else if (*p == '#' && (commence(p, implied, 8) || commence(p, required, 9))) {
                ++total;
            }
        }
    }
    return total;
}

// Le début du sous-ensemble interne du DOCTYPE (après « [ »), que seuls l'en-tête, des blancs, des
// commentaires et des instructions peuvent précéder ; la fin du texte sans lui.
template<typename Car>
const Car *sousEnsembleInterne(const Car *d, qsizetype n)
{
    static constexpr Car doctype[] = {'<', '!', 'D', 'O', 'C', 'T', 'Y', 'P', 'E'};
    static constexpr Car finCommentaire[] = {'-', '-', '>'}, finInstruction[] = {'?', '>'};
    const Car *fin = d + n;
    const Car *p = d;
    for (;;) {
        while (p < fin && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == Car(0xFEFF)))
            ++p;
        if (fin - p < 4 || p[0] != '<')
            return fin;
        if (p[1] == '?') {
            p = std::search(p + 2, fin, finInstruction, finInstruction + 2);
        } else if (p[1] == '!' && p[2] == '-' && p[3] == '-') {
            p = std::search(p + 4, fin, finCommentaire, finCommentaire + 3);
        } else if (fin - p >= 9 && std::equal(doctype, doctype + 9, p)) {
            while (p < fin && *p != '[' && *p != '>')
                p = (*p == '"' || *p == '\'') ? std::min(fin, std::find(p + 1, fin, *p) + 1) : p + 1;
            return p < fin && *p == '[' ? p : fin;
        } else {
            return fin;
        }
    }
}

qint64 definitionsAttributs(const TexteDocument &texte)
{
    if (texte.enUtf8) {
        const char *debut = sousEnsembleInterne(texte.utf8.constData(), texte.utf8.size());
        return definitionsAttributs(debut, texte.utf8.constData() + texte.utf8.size() - debut);
    }
    const auto *debut = sousEnsembleInterne(texte.texte.utf16(), texte.texte.size());
    return definitionsAttributs(debut, texte.texte.utf16() + texte.texte.size() - debut);
}

// La plus longue valeur que prend une entité interne, ses propres références développées ; le
// parseur borne lui-même chaque développement (setEntityExpansionLimit).
class LongueursEntites
{
public:
    LongueursEntites(const QXmlStreamEntityDeclarations &declarations, qint64 plafond) : m_plafond(plafond)
    {
        for (const auto &d : declarations) {
            if (d.systemId().isEmpty() && d.publicId().isEmpty()) {
                QString &valeur = m_valeurs[d.name().toString()];
                if (d.value().size() >= valeur.size())
                    valeur = d.value().toString();
            }
        }
    }

    qint64 maximum()
    {
        qint64 plusLongue = 0;
        for (auto it = m_valeurs.cbegin(); it != m_valeurs.cend(); ++it)
            plusLongue = std::max(plusLongue, longueur(it.key(), 0));
        return plusLongue;
    }

private:
    qint64 longueur(const QString &nom, int profondeur)
    {
        const auto connue = m_longueurs.constFind(nom);
        if (connue != m_longueurs.cend())
            return *connue;
        const QString valeur = m_valeurs.value(nom);
        qint64 total = valeur.size();
        for (qsizetype i = valeur.indexOf(u'&'); i >= 0 && total <= m_plafond && profondeur < 64;
             i = valeur.indexOf(u'&', i + 1)) {
            const qsizetype fin = valeur.indexOf(u';', i);
            if (fin < 0)
                break;
            const QString reference = valeur.sliced(i + 1, fin - i - 1);
            if (m_valeurs.contains(reference))
                total += longueur(reference, profondeur + 1);
        }
        total = std::min(total, m_plafond);
        m_longueurs.insert(nom, total);
        return total;
    }

    QHash<QString, QString> m_valeurs;
    QHash<QString, qint64> m_longueurs;
    const qint64 m_plafond;
};

// Les références du document qui peuvent nommer une entité déclarée : toutes sauf les références
// de caractère et les cinq entités prédéfinies.
template<typename Car>
qint64 referencesNommees(const Car *d, qsizetype n)
{
    static const char *predefinies[] = {"#", "amp;", "lt;", "gt;", "quot;", "apos;"};
    const Car *fin = d + n;
    qint64 total = 0;
    for (const Car *p = std::find(d, fin, Car('&')); p < fin; p = std::find(p + 1, fin, Car('&'))) {
        const bool predefinie = std::any_of(std::begin(predefinies), std::end(predefinies), [p, fin](const char *nom) {
            const qsizetype longueur = qsizetype(std::strlen(nom));
            return fin - p - 1 >= longueur && std::equal(nom, nom + longueur, p + 1);
        });
        if (!predefinie)
            ++total;
    }
    return total;
}

qint64 referencesNommees(const TexteDocument &texte)
{
    return texte.enUtf8 ? referencesNommees(texte.utf8.constData(), texte.utf8.size())
                        : referencesNommees(texte.texte.utf16(), texte.texte.size());
}

// Une même chaîne pour les noms qui se répètent (« item », « title »…) : l'arbre les partage.
class Noms
{
public:
    const QString &nom(QStringView vu)
    {
        QString &place = m_places[qHash(vu) % std::size(m_places)];
        if (place != vu)
            place = vu.toString();
        return place;
    }

private:
    QString m_places[128];
};

// Un texte fait d'espaces dont on ne sait pas encore s'il sépare du contenu : il sera placé
// après les « position » premiers enfants de son élément si celui-ci se révèle porter du texte.
struct Attente
{
    qsizetype position;
    QString texte;
};

struct Niveau
{
    QDomNode noeud;
    bool texte = false;   // porte un texte qui n'est pas fait que d'espaces
    bool balise = false;  // contenu balisé : les espaces y sont tous gardés
    bool detache = false; // rattaché à son parent seulement à sa fermeture
    std::size_t attentes = 0; // ses espaces en attente : ceux de m_attentes à partir de cet indice
    qsizetype enfants = 0;
};

// QDomDocument cherche le document d'un nœud en remontant ses parents à chaque ajout : un élément
// sur « tronçon » reste détaché de son parent jusqu'à sa fermeture, ce qui borne la remontée et
// garde la construction linéaire à toute profondeur.
constexpr std::size_t troncon = 64;

class Construction
{
public:
    // Un texte décodé d'un autre encodage est lu tel quel : le parseur n'en relit pas l'en-tête.
    explicit Construction(const TexteDocument &texte)
        : m_texte(texte), m_lecteurPropre(texte.enUtf8 ? new QXmlStreamReader(texte.utf8) : new QXmlStreamReader(texte.texte)),
          m_lecteur(*m_lecteurPropre)
    {
        m_lecteur.setNamespaceProcessing(false);
        m_lecteur.setEntityResolver(&m_resolveur);
    }

    QDomDocument construire()
    {
        if (baliseTropChargee(m_texte, BudgetsDocument::attributsParElement))
            refuserAttributs();
        m_definitionsAttributs = definitionsAttributs(m_texte);
        if (m_definitionsAttributs > BudgetsDocument::attributsDeclares)
            refuser(QStringLiteral("Le document déclare plus de %1 attributs dans son DTD.")
                        .arg(nombre(BudgetsDocument::attributsDeclares)));
        while (!m_lecteur.atEnd()) {
            switch (m_lecteur.readNext()) {
            case QXmlStreamReader::StartDocument: declaration(); break;
            case QXmlStreamReader::DTD: typeDocument(); break;
            case QXmlStreamReader::StartElement: ouvrir(); break;
            case QXmlStreamReader::EndElement: fermer(); break;
            case QXmlStreamReader::Characters: caracteres(); break;
            case QXmlStreamReader::Comment:
                compter(m_lecteur.text().size());
                ajouter(document().createComment(m_lecteur.text().toString()));
                break;
            case QXmlStreamReader::ProcessingInstruction:
                compter(m_lecteur.processingInstructionData().size());
                ajouter(document().createProcessingInstruction(m_lecteur.processingInstructionTarget().toString(),
                                                               m_lecteur.processingInstructionData().toString()));
                break;
            case QXmlStreamReader::EntityReference: // sans déclaration, derrière un DTD externe
                compter(0);
                ajouter(document().createEntityReference(m_lecteur.name().toString()));
                break;
            default:
                break;
            }
        }
        if (m_lecteur.hasError())
            throw ErreurChargementXML(QStringLiteral("%1 (ligne %2, colonne %3)")
                                          .arg(m_lecteur.errorString())
                                          .arg(m_lecteur.lineNumber())
                                          .arg(m_lecteur.columnNumber()));
        return document();
    }

private:
    QDomDocument &document()
    {
        if (m_document.isNull())
            creerDocument(QDomDocumentType());
        return m_document;
    }

    // Le document, avec son type, et la déclaration XML en tête comme QDomDocument la garde.
    void creerDocument(const QDomDocumentType &type)
    {
        m_document = QDomDocument(type);
        m_pile.assign(1, Niveau{m_document, false, false, false, 0, 0});
        m_attentes.clear();
        if (!m_declaration.isEmpty())
            m_document.appendChild(m_document.createProcessingInstruction(QStringLiteral("xml"), m_declaration));
    }

    void declaration()
    {
        if (m_lecteur.documentVersion().isEmpty())
            return;
        m_declaration = QStringLiteral("version='%1'").arg(m_lecteur.documentVersion());
        if (!m_lecteur.documentEncoding().isEmpty())
            m_declaration += QStringLiteral(" encoding='%1'").arg(m_lecteur.documentEncoding());
        if (m_lecteur.isStandaloneDocument())
            m_declaration += QStringLiteral(" standalone='yes'");
    }

    void typeDocument()
    {
        const QDomDocument avant = m_document;
        creerDocument(QDomImplementation().createDocumentType(m_lecteur.dtdName().toString(),
                                                              m_lecteur.dtdPublicId().toString(),
                                                              m_lecteur.dtdSystemId().toString()));
        // Commentaires et instructions écrits avant le DOCTYPE.
        if (!avant.isNull()) {
            QDomNode n = avant.firstChild();
            if (!m_declaration.isEmpty())
                n = n.nextSibling();
            for (; !n.isNull(); n = n.nextSibling())
                m_document.appendChild(m_document.importNode(n, true));
        }
        compter(m_lecteur.text().size());
        // Ce que les entités internes peuvent ajouter au reste du document, au plus.
        const qint64 plusLongue = LongueursEntites(m_lecteur.entityDeclarations(), m_lecteur.entityExpansionLimit())
                                      .maximum();
        if (plusLongue > 0 && referencesNommees(m_texte) * plusLongue > BudgetsDocument::developpes)
            refuser(QStringLiteral("Le document peut développer ses entités au-delà de %1 caractères.")
                        .arg(nombre(BudgetsDocument::developpes)));
    }

    void ouvrir()
    {
        const QXmlStreamAttributes attributs = m_lecteur.attributes();
        if (attributs.size() > BudgetsDocument::attributsParElement)
            refuserAttributs();
        if (m_pile.size() > BudgetsDocument::profondeur)
            refuser(QStringLiteral("Le document imbrique ses éléments sur plus de %1 niveaux.")
                        .arg(nombre(BudgetsDocument::profondeur)));
        ++m_elements;
        if (m_definitionsAttributs > 0 && m_elements * m_definitionsAttributs > BudgetsDocument::revuesDeclarations)
            refuser(QStringLiteral("Le document déclare %1 attributs dans son DTD : c'est trop pour ses %2 éléments.")
                        .arg(nombre(m_definitionsAttributs), nombre(m_elements)));
        if (!attributs.isEmpty())
            m_noeuds += BudgetsDocument::tableAttributs + attributs.size();
        QDomElement element = document().createElement(m_noms.nom(m_lecteur.qualifiedName()));
        bool balise = m_pile.back().balise;
        for (const QXmlStreamAttribute &a : attributs) {
            compter(a.value().size());
            if (a.isDefault())
                compterDefaut(a.value().size());
            const QString &nom = m_noms.nom(a.qualifiedName());
            element.setAttribute(nom, a.value().toString());
            balise = balise || (nom == u"type" && a.value() == u"xhtml") || (nom == u"mode" && a.value() == u"xml");
        }
        const bool detache = m_pile.size() % troncon == 0;
        if (detache)
            compterNoeud();
        else
            ajouter(element);
        m_pile.push_back(Niveau{element, false, balise, detache, m_attentes.size(), 0});
    }

    void fermer()
    {
        if (m_pile.size() <= 1)
            return;
        const Niveau niveau = m_pile.back();
        m_pile.pop_back();
        // Ses espaces encore en attente séparaient des éléments : ils sont abandonnés.
        m_attentes.resize(niveau.attentes);
        if (niveau.detache) {
            m_pile.back().noeud.appendChild(niveau.noeud);
            ++m_pile.back().enfants;
        }
    }

    void caracteres()
    {
        const QStringView texte = m_lecteur.text();
        compter(texte.size());
        document();
        Niveau &niveau = m_pile.back();
        if (m_lecteur.isCDATA()) {
            if (!m_lecteur.isWhitespace())
                placerAttentes(niveau);
            ajouter(document().createCDATASection(texte.toString()));
        } else if (!m_lecteur.isWhitespace()) {
            placerAttentes(niveau);
            ajouter(document().createTextNode(texte.toString()));
        } else if (niveau.noeud.isElement()) {
            // Les mêmes espaces reviennent d'un élément à l'autre : une seule chaîne partagée.
            if (m_espaces != texte)
                m_espaces = texte.toString();
            if (niveau.texte || niveau.balise)
                ajouter(document().createTextNode(m_espaces));
            else
                m_attentes.push_back(Attente{niveau.enfants, m_espaces});
        }
    }

    // L'élément porte du texte : les espaces mis en attente y prennent leur place, en un passage
    // sur ses enfants.
    void placerAttentes(Niveau &niveau)
    {
        niveau.texte = true;
        QDomNode enfant = niveau.noeud.firstChild();
        qsizetype position = 0;
        for (auto a = m_attentes.cbegin() + qsizetype(niveau.attentes); a != m_attentes.cend(); ++a) {
            for (; position < a->position; ++position)
                enfant = enfant.nextSibling();
            const QDomText espaces = m_document.createTextNode(a->texte);
            if (enfant.isNull())
                niveau.noeud.appendChild(espaces);
            else
                niveau.noeud.insertBefore(espaces, enfant);
            ++niveau.enfants;
        }
        m_attentes.resize(niveau.attentes);
    }

    void ajouter(const QDomNode &noeud)
    {
        compterNoeud();
        m_pile.back().noeud.appendChild(noeud);
        ++m_pile.back().enfants;
    }

    void compterNoeud()
    {
        if (++m_noeuds > BudgetsDocument::noeuds)
            refuser(QStringLiteral("Le document dépasse %1 nœuds (éléments, attributs, textes).")
                        .arg(nombre(BudgetsDocument::noeuds)));
    }

    void compter(qint64 quantite)
    {
        m_caracteres += quantite;
        if (m_caracteres > BudgetsDocument::caracteres)
            refuser(QStringLiteral("Le document dépasse %1 caractères de texte et de valeurs d'attributs.")
                        .arg(nombre(BudgetsDocument::caracteres)));
    }

    void compterDefaut(qint64 quantite)
    {
        m_defauts += quantite;
        if (m_defauts > BudgetsDocument::developpes)
            refuser(QStringLiteral("Le document développe ses valeurs d'attributs par défaut au-delà de %1 caractères.")
                        .arg(nombre(BudgetsDocument::developpes)));
    }

    [[noreturn]] static void refuserAttributs()
    {
        refuser(QStringLiteral("Un élément du document porte plus de %1 attributs.")
                    .arg(nombre(BudgetsDocument::attributsParElement)));
    }

    const TexteDocument &m_texte;
    std::unique_ptr<QXmlStreamReader> m_lecteurPropre;
    QXmlStreamReader &m_lecteur;
    EntitesHTML::Resolveur m_resolveur;
    QDomDocument m_document;
    std::vector<Niveau> m_pile;
    // Les espaces en attente de tous les niveaux ouverts, en pile : ceux d'un niveau suivent ceux
    // de ses ancêtres et partent à sa fermeture.
    std::vector<Attente> m_attentes;
    Noms m_noms;
    QString m_declaration;
    QString m_espaces;
    qint64 m_caracteres = 0;
    qint64 m_defauts = 0; // caractères des valeurs par défaut, parmi m_caracteres
    qint64 m_noeuds = 0;
    qint64 m_elements = 0;
    qint64 m_definitionsAttributs = 0;
};

} // namespace

QDomDocument construireDocument(const TexteDocument &texte)
{
    return Construction(texte).construire();
}
