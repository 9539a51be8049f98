#include "reading/ConstructionDocument.h"

#include "commun/Erreurs.h"
#include "commun/NombreFrancais.h"
#include "commun/Utf8.h"
#include "reading/EntitesHTML.h"
#include "reading/EspacesDeNoms.h"
#include "reading/RaisonsParseur.h"
#include "reading/MemoireParseur.h"

#include <QDomImplementation>
#include <QHash>

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void refuser(const QString &message) { throw ErreurDocumentRefuse(message); }

qsizetype unitesDe(const char *texte) { return unitesUtf16(texte, qsizetype(std::strlen(texte))); }

bool estBlanc(const QByteArray &texte)
{
    return std::all_of(texte.cbegin(), texte.cend(), [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

// Une même chaîne pour les noms qui se répètent (« item », « title »...), reconnus à leurs octets
// UTF-8 : l'arbre les partage, et ils ne sont convertis qu'une fois.
class Noms
{
public:
    const QString &nom(const char *utf8)
    {
        const QByteArrayView vu(utf8, qsizetype(std::strlen(utf8)));
        Place &place = m_places[qHash(vu) % std::size(m_places)];
        if (place.utf8 != vu) {
            place.utf8 = vu.toByteArray();
            place.nom = texteDepuisUtf8(vu.data(), vu.size());
        }
        return place.nom;
    }

private:
    struct Place
    {
        QByteArray utf8;
        QString nom;
    };
    Place m_places[128];
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
    std::size_t espaces = 0; // les déclarations xmlns d'avant lui (EspacesDeNoms::marque)
};

// QDomDocument cherche le document d'un nœud en remontant ses parents à chaque ajout : un élément
// sur « tronçon » reste détaché de son parent jusqu'à sa fermeture, ce qui borne la remontée et
// garde la construction linéaire à toute profondeur.
constexpr std::size_t troncon = 64;

struct LibererParseur
{
    void operator()(XML_ParserStruct *parseur) const { XML_ParserFree(parseur); }
};


class Construction
{
public:
    // Le budget du parseur ne compte pas sa copie du texte, dans un tampon au plus deux fois plus
    // grand que lui (une puissance de deux).
    Construction(TexteDocument texte, const BudgetsDocument &budgets)
        : m_texte(std::move(texte)), m_budgets(budgets),
          m_memoire(budgets.memoireParseur + 2 * (m_texte.octets.size() + 1024))
    {
    }

    QDomDocument construire()
    {
        // Le parseur reçoit tout le texte en un appel, dont la longueur est un int.
        if (m_texte.octets.size() > std::numeric_limits<int>::max())
            refuser(QStringLiteral("Le document dépasse %1 octets.").arg(nombreFrancais(std::numeric_limits<int>::max())));
        // L'encodage nommé ici l'emporte sur celui que l'en-tête déclare : le texte est déjà en UTF-8.
        m_parseur.reset(XML_ParserCreate_MM("UTF-8", MemoireParseur::fonctions(), nullptr));
        if (!m_parseur)
            throw std::bad_alloc();
        XML_Parser p = m_parseur.get();
        XML_SetUserData(p, this);
        XML_SetXmlDeclHandler(p, &Construction::surDeclaration);
        XML_SetDoctypeDeclHandler(p, &Construction::surDebutType, &Construction::surFinType);
        XML_SetAttlistDeclHandler(p, &Construction::surDeclarationAttribut);
        XML_SetElementHandler(p, &Construction::surOuverture, &Construction::surFermeture);
        XML_SetCharacterDataHandler(p, &Construction::surCaracteres);
        XML_SetCdataSectionHandler(p, &Construction::surDebutCDATA, &Construction::surFinCDATA);
        XML_SetCommentHandler(p, &Construction::surCommentaire);
        XML_SetProcessingInstructionHandler(p, &Construction::surInstruction);
        XML_SetSkippedEntityHandler(p, &Construction::surEntiteInconnue);
        // Les entités HTML : un DTD donné par le programme, pour un document sans DTD comme à la
        // place d'un DTD externe ; rien n'est jamais lu d'ailleurs.
        XML_SetExternalEntityRefHandler(p, &Construction::surEntiteExterne);
        XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_ALWAYS);
        XML_UseForeignDTD(p, XML_TRUE);
        XML_SetBillionLaughsAttackProtectionMaximumAmplification(p, BudgetsDocument::amplificationMaximale);
        XML_SetBillionLaughsAttackProtectionActivationThreshold(p, BudgetsDocument::seuilAmplification);

        // Tout le texte en un appel, dans le tampon du parseur : il n'est pas gardé deux fois.
        m_taille = m_texte.octets.size();
        m_tamponParseur = static_cast<char *>(XML_GetBuffer(p, int(m_taille)));
        if (!m_tamponParseur)
            erreurDuParseur();
        std::memcpy(m_tamponParseur, m_texte.octets.constData(), std::size_t(m_taille));
        m_texte.octets = QByteArray();
        const XML_Status etat = XML_ParseBuffer(p, int(m_taille), XML_TRUE);
        if (m_erreur)
            std::rethrow_exception(m_erreur);
        if (etat != XML_STATUS_OK)
            erreurDuParseur();
        return document();
    }

private:
    // --- Les évènements du parseur ---

    // Une exception ne traverse pas le parseur : elle l'arrête et attend la fin de XML_Parse.
    // Les évènements qui suivent encore l'arrêt sont ignorés.
    template<typename Action>
    static void garde(void *donnees, Action &&action)
    {
        auto *c = static_cast<Construction *>(donnees);
        if (c->m_erreur)
            return;
        try {
            action(*c);
        } catch (...) {
            c->m_erreur = std::current_exception();
            XML_StopParser(c->m_parseur.get(), XML_FALSE);
        }
    }

    static void XMLCALL surDeclaration(void *d, const XML_Char *version, const XML_Char *encodage, int autonome)
    {
        garde(d, [&](Construction &c) { c.declaration(version, encodage, autonome); });
    }
    static void XMLCALL surDebutType(void *d, const XML_Char *nom, const XML_Char *systeme, const XML_Char *public_, int)
    {
        garde(d, [&](Construction &c) { c.typeDocument(nom, systeme, public_); });
    }
    static void XMLCALL surFinType(void *d)
    {
        garde(d, [](Construction &c) { c.m_dansType = false; });
    }
    static void XMLCALL surDeclarationAttribut(void *d, const XML_Char *element, const XML_Char *, const XML_Char *,
                                               const XML_Char *, int)
    {
        garde(d, [&](Construction &c) { ++c.m_declares[QByteArray(element)]; });
    }
    static void XMLCALL surOuverture(void *d, const XML_Char *nom, const XML_Char **attributs)
    {
        garde(d, [&](Construction &c) { c.ouvrir(nom, attributs); });
    }
    static void XMLCALL surFermeture(void *d, const XML_Char *)
    {
        garde(d, [](Construction &c) { c.fermer(); });
    }
    static void XMLCALL surCaracteres(void *d, const XML_Char *texte, int longueur)
    {
        garde(d, [&](Construction &c) { c.caracteres(texte, longueur); });
    }
    static void XMLCALL surDebutCDATA(void *d)
    {
        garde(d, [](Construction &c) { c.placerTexte(); });
    }
    static void XMLCALL surFinCDATA(void *d)
    {
        garde(d, [](Construction &c) { c.sectionCDATA(); });
    }
    static void XMLCALL surCommentaire(void *d, const XML_Char *texte)
    {
        garde(d, [&](Construction &c) {
            if (c.m_dansType) // ceux du DTD n'ont pas de nœud
                return;
            c.placerTexte();
            c.compter(unitesDe(texte));
            c.ajouter(c.document().createComment(texteDepuisUtf8(texte)));
        });
    }
    static void XMLCALL surInstruction(void *d, const XML_Char *cible, const XML_Char *donnees)
    {
        garde(d, [&](Construction &c) {
            if (c.m_dansType)
                return;
            c.placerTexte();
            c.compter(unitesDe(cible) + unitesDe(donnees));
            c.ajouter(c.document().createProcessingInstruction(texteDepuisUtf8(cible), texteDepuisUtf8(donnees)));
        });
    }
    static void XMLCALL surEntiteInconnue(void *d, const XML_Char *nom, int parametre)
    {
        garde(d, [&](Construction &c) {
            if (!parametre)
                c.entiteInconnue(nom);
        });
    }

    // Le DTD externe (ou celui qui tient lieu de DTD à un document qui n'en a pas) reçoit les
    // déclarations des entités HTML, une fois ; une entité externe ou une entité paramètre externe
    // ne reçoit rien, et n'ajoute rien au document.
    static int XMLCALL surEntiteExterne(XML_Parser parseur, const XML_Char *contexte, const XML_Char *,
                                        const XML_Char *, const XML_Char *)
    {
        auto *c = static_cast<Construction *>(XML_GetUserData(parseur));
        if (contexte || c->m_entitesHTMLDonnees)
            return XML_STATUS_OK;
        c->m_entitesHTMLDonnees = true;
        const std::unique_ptr<XML_ParserStruct, LibererParseur> dtd(XML_ExternalEntityParserCreate(parseur, nullptr, nullptr));
        if (!dtd)
            return XML_STATUS_ERROR;
        const QByteArray &declarations = EntitesHTML::declarations();
        return XML_Parse(dtd.get(), declarations.constData(), int(declarations.size()), XML_TRUE);
    }

    // --- La construction ---

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
        m_pile.assign(1, Niveau{m_document});
        m_attentes.clear();
        if (!m_declaration.isEmpty())
            m_document.appendChild(m_document.createProcessingInstruction(QStringLiteral("xml"), m_declaration));
    }

    void declaration(const char *version, const char *encodage, int autonome)
    {
        if (!version)
            return;
        m_declaration = QStringLiteral("version='%1'").arg(texteDepuisUtf8(version));
        if (encodage)
            m_declaration += QStringLiteral(" encoding='%1'").arg(texteDepuisUtf8(encodage));
        if (autonome == 1)
            m_declaration += QStringLiteral(" standalone='yes'");
    }

    void typeDocument(const char *nom, const char *systeme, const char *public_)
    {
        m_dansType = true;
        m_dtdExterne = systeme || public_;
        const auto texte = [](const char *t) { return t ? texteDepuisUtf8(t) : QString(); };
        const QDomDocument avant = m_document;
        creerDocument(QDomImplementation().createDocumentType(texte(nom), texte(public_), texte(systeme)));
        // Commentaires et instructions écrits avant le DOCTYPE.
        if (!avant.isNull()) {
            QDomNode n = avant.firstChild();
            if (!m_declaration.isEmpty())
                n = n.nextSibling();
            for (; !n.isNull(); n = n.nextSibling())
                m_document.appendChild(m_document.importNode(n, true));
        }
    }

    void ouvrir(const char *nomUtf8, const char **attributs)
    {
        placerTexte();
        document();
        const std::size_t marqueEspaces = m_espaces.marque();
        if (m_pile.size() > std::size_t(m_budgets.profondeur))
            refuser(QStringLiteral("Le document imbrique ses éléments sur plus de %1 niveaux.")
                        .arg(nombreFrancais(m_budgets.profondeur)));
        int nombre = 0;
        while (attributs[2 * nombre])
            ++nombre;
        if (nombre > m_budgets.attributsParElement)
            refuser(QStringLiteral("Un élément du document porte plus de %1 attributs.")
                        .arg(nombreFrancais(m_budgets.attributsParElement)));
        if (!m_declares.isEmpty())
            revoirDeclarations(nomUtf8);

        // Les caractères de l'élément, comptés avant que rien n'en soit bâti.
        const QString &nom = m_noms.nom(nomUtf8);
        const int specifies = XML_GetSpecifiedAttributeCount(m_parseur.get()) / 2;
        qint64 caracteres = nom.size(), defauts = 0;
        for (int i = 0; i < nombre; ++i) {
            const qint64 n = unitesDe(attributs[2 * i]) + unitesDe(attributs[2 * i + 1]);
            caracteres += n;
            if (i >= specifies)
                defauts += n;
        }
        compter(caracteres);
        compterDefauts(defauts);
        if (nombre > 0)
            m_noeuds += BudgetsDocument::tableAttributs + nombre;

        // Les déclarations d'espaces de noms de l'élément valent pour lui-même.
        for (int i = 0; i < nombre; ++i) {
            const char *a = attributs[2 * i];
            if (std::strncmp(a, "xmlns", 5) == 0 && (a[5] == '\0' || a[5] == ':'))
                m_espaces.declarer(a[5] ? texteDepuisUtf8(a + 6) : QString(), texteDepuisUtf8(attributs[2 * i + 1]));
        }
        QDomElement element = creerElement(nom);
        bool balise = m_pile.back().balise;
        for (int i = 0; i < nombre; ++i) {
            const QString &nomAttribut = m_noms.nom(attributs[2 * i]);
            const QString valeur = texteDepuisUtf8(attributs[2 * i + 1]);
            element.setAttribute(nomAttribut, valeur);
            balise = balise || (nomAttribut == u"type" && valeur == u"xhtml") || (nomAttribut == u"mode" && valeur == u"xml");
        }
        const bool detache = m_pile.size() % troncon == 0;
        if (detache)
            compterNoeud();
        else
            ajouter(element);
        m_pile.push_back(Niveau{element, false, balise, detache, m_attentes.size(), 0, marqueEspaces});
    }

    // Un élément au nom de la forme préfixe:local garde son espace de noms quand son préfixe est
    // déclaré ; un nom d'une autre forme, ou au préfixe inconnu, reste un nom sans espace de noms.
    QDomElement creerElement(const QString &nom)
    {
        const qsizetype deuxPoints = nom.indexOf(u':');
        if (deuxPoints < 0)
            return m_document.createElementNS(m_espaces.parDefaut(), nom);
        if (deuxPoints > 0 && deuxPoints < nom.size() - 1 && nom.indexOf(u':', deuxPoints + 1) < 0) {
            if (const QString *adresse = m_espaces.adresse(QStringView(nom).first(deuxPoints)))
                return m_document.createElementNS(*adresse, nom);
        }
        return m_document.createElement(nom);
    }

    // Le parseur vient de passer en revue les attributs que le DTD déclare pour ce type d'élément.
    void revoirDeclarations(const char *nom)
    {
        m_revues += m_declares.value(QByteArray::fromRawData(nom, qsizetype(std::strlen(nom))));
        if (m_revues > m_budgets.revuesDeclarations)
            refuser(QStringLiteral("Le document déclare dans son DTD trop d'attributs pour ses éléments "
                                   "(plus de %1 revues).")
                        .arg(nombreFrancais(m_budgets.revuesDeclarations)));
    }

    void fermer()
    {
        placerTexte();
        if (m_pile.size() <= 1)
            return;
        const Niveau niveau = m_pile.back();
        m_pile.pop_back();
        // Ses espaces encore en attente séparaient des éléments : ils sont abandonnés.
        m_attentes.resize(niveau.attentes);
        m_espaces.revenirA(niveau.espaces);
        if (niveau.detache) {
            m_pile.back().noeud.appendChild(niveau.noeud);
            ++m_pile.back().enfants;
        }
    }

    // Le parseur rapporte un texte par morceaux (une ligne, un développement d'entité...) : ils
    // sont mis bout à bout jusqu'au prochain nœud, puis le texte entier est placé.
    void caracteres(const char *texte, int longueur)
    {
        compter(unitesUtf16(texte, longueur));
        m_tampon.append(texte, longueur);
    }

    void placerTexte()
    {
        if (m_tampon.isEmpty())
            return;
        Niveau &niveau = m_pile.back();
        if (!estBlanc(m_tampon)) {
            placerAttentes(niveau);
            ajouter(m_document.createTextNode(texteDepuisUtf8(m_tampon.constData(), m_tampon.size())));
        } else if (niveau.noeud.isElement()) {
            // Les mêmes espaces reviennent d'un élément à l'autre : une seule chaîne partagée.
            if (m_espacesUtf8 != m_tampon) {
                m_espacesUtf8 = m_tampon;
                m_blancs = texteDepuisUtf8(m_tampon.constData(), m_tampon.size());
            }
            if (niveau.texte || niveau.balise)
                ajouter(m_document.createTextNode(m_blancs));
            else
                m_attentes.push_back(Attente{niveau.enfants, m_blancs});
        }
        m_tampon.resize(0);
    }

    void sectionCDATA()
    {
        if (!estBlanc(m_tampon))
            placerAttentes(m_pile.back());
        ajouter(m_document.createCDATASection(texteDepuisUtf8(m_tampon.constData(), m_tampon.size())));
        m_tampon.resize(0);
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

    // Une entité ni déclarée ni HTML : derrière un DTD externe, qui pourrait la déclarer, elle
    // reste une référence ; sans lui, le document est mal formé.
    void entiteInconnue(const char *nom)
    {
        if (!m_dtdExterne)
            malForme(raisonDuParseur(XML_ERROR_UNDEFINED_ENTITY, true) + QStringLiteral(" « %1 »").arg(texteDepuisUtf8(nom)));
        placerTexte();
        ajouter(m_document.createEntityReference(texteDepuisUtf8(nom)));
    }

    void ajouter(const QDomNode &noeud)
    {
        compterNoeud();
        m_pile.back().noeud.appendChild(noeud);
        ++m_pile.back().enfants;
    }

    // --- Les budgets ---

    void compterNoeud()
    {
        if (++m_noeuds > m_budgets.noeuds)
            refuser(QStringLiteral("Le document dépasse %1 nœuds (éléments, attributs, textes).")
                        .arg(nombreFrancais(m_budgets.noeuds)));
    }

    void compter(qint64 quantite)
    {
        m_caracteres += quantite;
        if (m_caracteres > m_budgets.caracteres)
            refuser(QStringLiteral("Le document dépasse %1 caractères de texte, de noms et de valeurs d'attributs.")
                        .arg(nombreFrancais(m_budgets.caracteres)));
    }

    void compterDefauts(qint64 quantite)
    {
        m_defauts += quantite;
        if (m_defauts > m_budgets.defauts)
            refuser(QStringLiteral("Le document développe ses valeurs d'attributs par défaut au-delà de %1 caractères.")
                        .arg(nombreFrancais(m_budgets.defauts)));
    }

    // --- Les erreurs du parseur ---

    // Le document refusé pour la raison donnée, à la position où le parseur en est.
    [[noreturn]] void malForme(const QString &raison) const
    {
        refuser(messageDocumentMalForme(raison, XML_GetCurrentLineNumber(m_parseur.get()),
                                        XML_GetCurrentColumnNumber(m_parseur.get()) + 1));
    }

    [[noreturn]] void erreurDuParseur() const
    {
        XML_Parser p = m_parseur.get();
        const XML_Error code = XML_GetErrorCode(p);
        if (code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH)
            refuser(QStringLiteral("Le document développe ses entités à plus de %1 fois sa taille.")
                        .arg(nombreFrancais(qint64(BudgetsDocument::amplificationMaximale))));
        if (code == XML_ERROR_NO_MEMORY && m_memoire.depassee())
            refuser(QStringLiteral("Le document demande au parseur plus de %1 octets de mémoire (noms, déclarations du DTD, "
                                   "attributs d'une même balise).")
                        .arg(nombreFrancais(m_budgets.memoireParseur)));
        if (code == XML_ERROR_NO_MEMORY)
            throw std::bad_alloc();
        const qsizetype octet = XML_GetCurrentByteIndex(p);
        if ((code == XML_ERROR_INVALID_TOKEN || code == XML_ERROR_PARTIAL_CHAR) && m_texte.octetsDuDocument
            && DecodageDocument::octetFauxUtf8(m_tamponParseur, m_taille, octet))
            refuser(DecodageDocument::messageOctetFaux(QStringLiteral("UTF-8"), octet));
        malForme(raisonDuParseur(code, m_pile.size() > 1));
    }

    TexteDocument m_texte;
    const BudgetsDocument &m_budgets;
    MemoireParseur m_memoire; // avant le parseur, qui lui rend sa mémoire à sa destruction
    std::unique_ptr<XML_ParserStruct, LibererParseur> m_parseur;
    char *m_tamponParseur = nullptr; // le texte, dans le tampon du parseur
    qsizetype m_taille = 0;
    std::exception_ptr m_erreur;
    QDomDocument m_document;
    std::vector<Niveau> m_pile;
    // Les espaces en attente de tous les niveaux ouverts, en pile : ceux d'un niveau suivent ceux
    // de ses ancêtres et partent à sa fermeture.
    std::vector<Attente> m_attentes;
    EspacesDeNoms m_espaces;
    Noms m_noms;
    QByteArray m_tampon; // le texte en cours, en UTF-8
    QByteArray m_espacesUtf8;
    QString m_blancs;
    QString m_declaration;
    QHash<QByteArray, qint64> m_declares; // attributs déclarés par le DTD, par type d'élément
    bool m_dansType = false;
    bool m_dtdExterne = false;
    bool m_entitesHTMLDonnees = false;
    qint64 m_caracteres = 0;
    qint64 m_defauts = 0; // caractères des valeurs par défaut, parmi m_caracteres
    qint64 m_noeuds = 0;
    qint64 m_revues = 0;
};

} // namespace

QDomDocument construireDocument(TexteDocument texte, const BudgetsDocument &budgets)
{
    return Construction(std::move(texte), budgets).construire();
}
