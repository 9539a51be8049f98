#include "reading/GardeDocument.h"

#include "commun/Erreurs.h"

#include <QHash>
#include <QStringConverter>
#include <QStringView>
#include <QXmlStreamReader>
#include <cstring>
#include <functional>

namespace {

// Les octets à examiner : UTF-16 et UTF-32 ramenés en UTF-8, le reste tel quel (les balises et
// les noms d'entités qu'on cherche s'écrivent alors en ASCII).
QByteArray octetsCompatiblesAscii(const QByteArray &octets)
{
    if (octets.size() < 2)
        return octets;
    const auto a = static_cast<unsigned char>(octets[0]);
    const auto b = static_cast<unsigned char>(octets[1]);
    const bool utf32 = octets.size() >= 4
        && ((a == 0 && b == 0) || octets.startsWith(QByteArray("\xFF\xFE\0\0", 4)));
    if (utf32)
        return QStringDecoder(a == 0 ? QStringConverter::Utf32BE : QStringConverter::Utf32LE)(octets)
            .operator QString().toUtf8();
    if (a == 0 || b == 0 || (a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE))
        return QStringDecoder((a == 0 || a == 0xFE) ? QStringConverter::Utf16BE : QStringConverter::Utf16LE)(octets)
            .operator QString().toUtf8();
    return octets;
}

// Juste après la première occurrence de « fin » à partir de p ; la fin du texte sinon.
const char *apres(const char *p, const char *finTexte, const char *fin, std::size_t longueur)
{
    for (;;) {
        p = static_cast<const char *>(std::memchr(p, fin[0], static_cast<std::size_t>(finTexte - p)));
        if (!p || static_cast<std::size_t>(finTexte - p) < longueur)
            return finTexte;
        if (std::memcmp(p, fin, longueur) == 0)
            return p + longueur;
        ++p;
    }
}

bool commencePar(const char *p, const char *finTexte, const char *debut, std::size_t longueur)
{
    return static_cast<std::size_t>(finTexte - p) >= longueur && std::memcmp(p, debut, longueur) == 0;
}

// Juste après la valeur entre guillemets qui commence en p (sur le guillemet ouvrant).
const char *apresValeur(const char *p, const char *finTexte)
{
    const void *fermant = std::memchr(p + 1, *p, static_cast<std::size_t>(finTexte - p - 1));
    return fermant ? static_cast<const char *>(fermant) + 1 : finTexte;
}

// Une portion du document où le parseur développe les références d'entités (texte, balise ouvrante).
using Portion = std::function<void(const char *debut, const char *fin)>;

// Un seul passage sur les octets, chaque octet lu un nombre borné de fois : commentaires,
// sections CDATA, instructions de traitement et DOCTYPE sautés, valeurs entre guillemets
// comprises dans leur balise.
class Parcours
{
public:
    Parcours(const QByteArray &octets) : m_debut(octets.constData()), m_fin(octets.constData() + octets.size()) {}

    // La profondeur d'imbrication des éléments ; s'arrête dès qu'elle dépasse la borne.
    // portion, s'il est donné, reçoit le texte et les balises ouvrantes.
    int profondeur(int borne, const Portion &portion = {})
    {
        int niveau = 0;
        int maximum = 0;
        const char *p = m_debut;
        while (p < m_fin) {
            const char *chevron = static_cast<const char *>(std::memchr(p, '<', static_cast<std::size_t>(m_fin - p)));
            if (portion)
                portion(p, chevron ? chevron : m_fin);
            if (!chevron)
                break;
            p = chevron + 1;
            if (p >= m_fin)
                break;
            if (*p == '/') {
                --niveau;
                p = apres(p, m_fin, ">", 1);
            } else if (commencePar(p, m_fin, "!--", 3)) {
                p = apres(p + 3, m_fin, "-->", 3);
            } else if (commencePar(p, m_fin, "![CDATA[", 8)) {
                p = apres(p + 8, m_fin, "]]>", 3);
            } else if (*p == '?') {
                p = apres(p, m_fin, "?>", 2);
            } else if (*p == '!') {
                p = apresDeclaration(p);
            } else {
                const char *q = finDeBalise(p);
                if (portion)
                    portion(p, q);
                const bool autoFermante = q < m_fin && q[-1] == '/';
                if (!autoFermante && ++niveau > maximum) {
                    maximum = niveau;
                    if (maximum > borne)
                        return maximum;
                }
                p = q < m_fin ? q + 1 : m_fin;
            }
        }
        return maximum;
    }

    // Vrai quand le DOCTYPE a un sous-ensemble interne, seul endroit où des entités se déclarent.
    bool aUnSousEnsembleInterne() const { return m_sousEnsembleInterne; }

private:
    // Le « > » d'une balise ouvrante, les valeurs entre guillemets comprises ; la fin du texte sinon.
    const char *finDeBalise(const char *p) const
    {
        while (p < m_fin && *p != '>')
            p = (*p == '"' || *p == '\'') ? apresValeur(p, m_fin) : p + 1;
        return p;
    }

    // Après « <! » qui n'est ni un commentaire ni une section CDATA (DOCTYPE et autres
    // déclarations) : jusqu'au « > » final, le sous-ensemble interne éventuel compris.
    const char *apresDeclaration(const char *p)
    {
        while (p < m_fin) {
            if (*p == '>')
                return p + 1;
            if (*p == '"' || *p == '\'') {
                p = apresValeur(p, m_fin);
            } else if (*p == '[') {
                m_sousEnsembleInterne = true;
                p = apresSousEnsemble(p + 1);
            } else {
                ++p;
            }
        }
        return m_fin;
    }

    // Après le « ] » qui ferme le sous-ensemble interne (valeurs, commentaires et instructions sautés).
    const char *apresSousEnsemble(const char *p) const
    {
        while (p < m_fin) {
            if (*p == ']')
                return p + 1;
            if (*p == '"' || *p == '\'')
                p = apresValeur(p, m_fin);
            else if (commencePar(p, m_fin, "<!--", 4))
                p = apres(p + 4, m_fin, "-->", 3);
            else if (commencePar(p, m_fin, "<?", 2))
                p = apres(p + 2, m_fin, "?>", 2);
            else
                ++p;
        }
        return m_fin;
    }

    const char *m_debut;
    const char *m_fin;
    bool m_sousEnsembleInterne = false;
};

// Les déclarations d'entités internes du sous-ensemble interne (celles qu'un paramètre y déclare
// comprises), lues par le parseur de Qt sans aller plus loin que la racine, et l'encodage déclaré.
struct Declarations
{
    // Pour un nom déclaré plusieurs fois (doublon, ou entité paramètre du même nom, que
    // QXmlStreamReader ne distingue pas), on garde la plus longue valeur : le compte ne peut
    // alors qu'être trop grand, jamais trop petit.
    QHash<QString, QString> valeurs;
    QString encodage;
};

Declarations declarationsInternes(const QByteArray &octets)
{
    Declarations resultat;
    QXmlStreamReader lecteur(octets);
    while (!lecteur.atEnd()) {
        const auto jeton = lecteur.readNext();
        if (jeton == QXmlStreamReader::StartDocument)
            resultat.encodage = lecteur.documentEncoding().toString();
        if (jeton == QXmlStreamReader::DTD) {
            for (const auto &declaration : lecteur.entityDeclarations()) {
                if (!declaration.systemId().isEmpty() || !declaration.publicId().isEmpty())
                    continue;
                QString &valeur = resultat.valeurs[declaration.name().toString()];
                if (declaration.value().size() >= valeur.size())
                    valeur = declaration.value().toString();
            }
        }
        if (jeton == QXmlStreamReader::StartElement || jeton == QXmlStreamReader::Invalid)
            break;
    }
    return resultat;
}

bool estOctetDeNom(char c)
{
    switch (c) {
    case ' ': case '\t': case '\r': case '\n': case '<': case '>': case '&': case ';':
    case '"': case '\'': case '=': case '/':
        return false;
    default:
        return true;
    }
}

bool estCaractereDeNom(QChar c) { return c.unicode() >= 0x80 || estOctetDeNom(static_cast<char>(c.unicode())); }

// Ce que les références aux entités internes ajoutent au texte, en caractères : chaque valeur
// est développée une fois (mémorisée), chaque portion du document lue une fois.
class CalculExpansion
{
public:
    // encodage : celui des octets lus (vide pour UTF-8).
    CalculExpansion(const Declarations &declarations, const QString &encodage, qint64 limite)
        : m_valeurs(declarations.valeurs), m_limite(limite), m_decodeur(encodage.toLatin1().constData())
    {
        if (encodage.isEmpty() || !m_decodeur.isValid())
            m_decodeur = QStringDecoder(QStringConverter::Utf8);
    }

    bool depasse() const { return m_croissance > m_limite; }

    // Ajoute les références d'une portion du document.
    void compterPortion(const char *debut, const char *fin)
    {
        const char *p = static_cast<const char *>(std::memchr(debut, '&', static_cast<std::size_t>(fin - debut)));
        while (p && !depasse()) {
            const char *n = p + 1;
            while (n < fin && estOctetDeNom(*n))
                ++n;
            if (n < fin && *n == ';' && n > p + 1 && p[1] != '#')
                m_croissance += croissanceReference(QByteArray::fromRawData(p + 1, n - p - 1));
            p = static_cast<const char *>(std::memchr(n, '&', static_cast<std::size_t>(fin - n)));
        }
    }

private:
    // Ce qu'une référence écrite dans le document ajoute : sa valeur développée moins elle-même.
    qint64 croissanceReference(const QByteArray &nomOctets)
    {
        // Un document hostile répète d'ordinaire le même nom : il est comparé avant d'être haché.
        if (nomOctets == m_dernierNom)
            return m_derniereCroissance;
        const auto connue = m_croissanceParNom.constFind(nomOctets);
        if (connue != m_croissanceParNom.cend()) {
            m_dernierNom = connue.key();
            m_derniereCroissance = *connue;
            return *connue;
        }
        const QString nom = m_decodeur.decode(nomOctets);
        const qint64 croissance = m_valeurs.contains(nom) ? longueurDeveloppee(nom, 0) - (nom.size() + 2) : 0;
        m_croissanceParNom.insert(QByteArray(nomOctets.constData(), nomOctets.size()), croissance);
        return croissance;
    }

    // La longueur de la valeur d'une entité une fois ses propres références développées.
    qint64 longueurDeveloppee(const QString &nom, int profondeur)
    {
        const auto connue = m_longueurs.constFind(nom);
        if (connue != m_longueurs.cend())
            return *connue;
        if (profondeur > 64)
            return m_limite + 1;
        const QString valeur = m_valeurs.value(nom);
        qint64 total = valeur.size();
        const QStringView texte(valeur);
        qsizetype debut = texte.indexOf(u'&');
        while (debut >= 0 && total <= m_limite) {
            qsizetype fin = debut + 1;
            while (fin < texte.size() && estCaractereDeNom(texte[fin]))
                ++fin;
            if (fin < texte.size() && texte[fin] == u';' && fin > debut + 1 && texte[debut + 1] != u'#') {
                const QString reference = texte.mid(debut + 1, fin - debut - 1).toString();
                if (m_valeurs.contains(reference))
                    total += longueurDeveloppee(reference, profondeur + 1) - (reference.size() + 2);
            }
            debut = texte.indexOf(u'&', fin);
        }
        total = qMin(total, m_limite + 1);
        m_longueurs.insert(nom, total);
        return total;
    }

    const QHash<QString, QString> &m_valeurs;
    const qint64 m_limite;
    QStringDecoder m_decodeur;
    QHash<QString, qint64> m_longueurs;
    QHash<QByteArray, qint64> m_croissanceParNom;
    QByteArray m_dernierNom;
    qint64 m_derniereCroissance = 0;
    qint64 m_croissance = 0;
};

} // namespace

namespace GardeDocument {

int profondeur(const QByteArray &octetsBruts, int borne)
{
    return Parcours(octetsCompatiblesAscii(octetsBruts)).profondeur(borne);
}

void verifier(const QByteArray &octetsBruts)
{
    const QByteArray octets = octetsCompatiblesAscii(octetsBruts);
    Parcours parcours(octets);
    if (parcours.profondeur(profondeurMaximale) > profondeurMaximale)
        throw ErreurChargementXML(QStringLiteral("Le document imbrique ses éléments sur plus de %1 niveaux.")
                                      .arg(profondeurMaximale));
    // Sans sous-ensemble interne, aucune entité ne peut faire grossir le document.
    if (!parcours.aUnSousEnsembleInterne())
        return;
    const Declarations declarations = declarationsInternes(octetsBruts);
    if (declarations.valeurs.isEmpty())
        return;
    // Un document UTF-16 ou UTF-32 a été ramené en UTF-8 pour le parcours.
    const bool converti = octets.constData() != octetsBruts.constData();
    CalculExpansion calcul(declarations, converti ? QString() : declarations.encodage, expansionMaximale);
    Parcours(octets).profondeur(profondeurMaximale, [&calcul](const char *debut, const char *fin) {
        calcul.compterPortion(debut, fin);
    });
    if (calcul.depasse())
        throw ErreurChargementXML(QStringLiteral("Le document développe ses entités au-delà de %1 caractères.")
                                      .arg(expansionMaximale));
}

} // namespace GardeDocument
