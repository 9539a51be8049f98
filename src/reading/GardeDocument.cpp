#include "reading/GardeDocument.h"

#include "commun/Erreurs.h"

#include <QHash>
#include <QStringConverter>
#include <QStringView>
#include <QXmlStreamReader>
#include <cstring>

namespace {

// Les déclarations d'entités internes du DTD, lues sans aller plus loin que la racine.
QHash<QString, QString> entitesInternes(const QByteArray &octets)
{
    QHash<QString, QString> entites;
    QXmlStreamReader lecteur(octets);
    while (!lecteur.atEnd()) {
        const auto jeton = lecteur.readNext();
        if (jeton == QXmlStreamReader::DTD) {
            for (const auto &declaration : lecteur.entityDeclarations()) {
                if (declaration.systemId().isEmpty() && declaration.publicId().isEmpty())
                    entites.insert(declaration.name().toString(), declaration.value().toString());
            }
        }
        if (jeton == QXmlStreamReader::StartElement || jeton == QXmlStreamReader::Invalid)
            break;
    }
    return entites;
}

// Le texte du document, pour y compter les références : l'UTF-16 et l'UTF-32 sont décodés,
// le reste est lu octet par octet (les noms d'entités qu'on cherche sont ASCII).
QString texteDuDocument(const QByteArray &octets)
{
    if (octets.size() >= 2) {
        const auto a = static_cast<unsigned char>(octets[0]);
        const auto b = static_cast<unsigned char>(octets[1]);
        const bool utf32 = octets.size() >= 4
            && ((a == 0 && b == 0) || (octets.startsWith(QByteArray("\xFF\xFE\0\0", 4))));
        if (utf32) {
            auto decodeur = QStringDecoder(a == 0 ? QStringConverter::Utf32BE : QStringConverter::Utf32LE);
            return decodeur(octets);
        }
        if (a == 0 || b == 0 || (a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE)) {
            auto decodeur = QStringDecoder((a == 0 || a == 0xFE) ? QStringConverter::Utf16BE
                                                                 : QStringConverter::Utf16LE);
            return decodeur(octets);
        }
    }
    return QString::fromLatin1(octets);
}

class CalculExpansion
{
public:
    // limite : longueur au-delà de laquelle le calcul s'arrête (le résultat la dépasse alors).
    CalculExpansion(const QHash<QString, QString> &entites, qint64 limite) : m_entites(entites), m_limite(limite) {}

    // Longueur d'un texte une fois ses références aux entités internes développées.
    qint64 longueur(QStringView texte, int profondeur)
    {
        if (profondeur > 64)
            return m_limite + 1;
        qint64 total = texte.size();
        qsizetype debut = texte.indexOf(u'&');
        while (debut >= 0) {
            const qsizetype fin = texte.indexOf(u';', debut + 1);
            if (fin < 0)
                break;
            const QStringView nom = texte.mid(debut + 1, fin - debut - 1);
            if (nom.size() <= 256 && m_entites.contains(nom.toString())) {
                total += longueurEntite(nom.toString(), profondeur + 1) - (nom.size() + 2);
                if (total > m_limite)
                    return m_limite + 1;
            }
            debut = texte.indexOf(u'&', debut + 1);
        }
        return total;
    }

private:
    qint64 longueurEntite(const QString &nom, int profondeur)
    {
        const auto connue = m_longueurs.constFind(nom);
        if (connue != m_longueurs.cend())
            return *connue;
        const qint64 resultat = longueur(m_entites.value(nom), profondeur);
        m_longueurs.insert(nom, resultat);
        return resultat;
    }

    const QHash<QString, QString> &m_entites;
    const qint64 m_limite;
    QHash<QString, qint64> m_longueurs;
};

} // namespace

namespace GardeDocument {

namespace {

// Saute jusqu'après la première occurrence de fin à partir de p ; fin du texte sinon.
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

// Les octets à examiner : UTF-16 et UTF-32 ramenés en UTF-8, le reste tel quel.
QByteArray octetsCompatiblesAscii(const QByteArray &octets)
{
    if (octets.size() >= 2 && (octets[0] == 0 || octets[1] == 0 || octets.startsWith("\xFE\xFF")
                               || octets.startsWith("\xFF\xFE")))
        return texteDuDocument(octets).toUtf8();
    return octets;
}

} // namespace

int profondeur(const QByteArray &octetsBruts, int borne)
{
    const QByteArray octets = octetsCompatiblesAscii(octetsBruts);
    const char *p = octets.constData();
    const char *finTexte = p + octets.size();
    int niveau = 0;
    int maximum = 0;
    while ((p = static_cast<const char *>(std::memchr(p, '<', static_cast<std::size_t>(finTexte - p))))) {
        ++p;
        if (p >= finTexte)
            break;
        if (*p == '/') {
            --niveau;
            p = apres(p, finTexte, ">", 1);
        } else if (commencePar(p, finTexte, "!--", 3)) {
            p = apres(p + 3, finTexte, "-->", 3);
        } else if (commencePar(p, finTexte, "![CDATA[", 8)) {
            p = apres(p + 8, finTexte, "]]>", 3);
        } else if (*p == '?') {
            p = apres(p, finTexte, "?>", 2);
        } else if (*p == '!') {
            // DOCTYPE et déclarations : jusqu'au « > » qui suit le sous-ensemble interne éventuel.
            const char *crochet = static_cast<const char *>(std::memchr(p, '[', static_cast<std::size_t>(finTexte - p)));
            const char *chevron = static_cast<const char *>(std::memchr(p, '>', static_cast<std::size_t>(finTexte - p)));
            p = (crochet && chevron && crochet < chevron) ? apres(crochet, finTexte, "]>", 2)
                                                          : (chevron ? chevron + 1 : finTexte);
        } else {
            // Une balise ouvrante : jusqu'à son « > », les valeurs entre guillemets comprises.
            char guillemet = 0;
            const char *q = p;
            for (; q < finTexte; ++q) {
                if (guillemet) {
                    if (*q == guillemet)
                        guillemet = 0;
                } else if (*q == '"' || *q == '\'') {
                    guillemet = *q;
                } else if (*q == '>') {
                    break;
                }
            }
            const bool autoFermante = q < finTexte && q[-1] == '/';
            if (!autoFermante && ++niveau > maximum) {
                maximum = niveau;
                if (maximum > borne)
                    return maximum;
            }
            p = q < finTexte ? q + 1 : finTexte;
        }
    }
    return maximum;
}

void verifier(const QByteArray &octets)
{
    if (profondeur(octets) > profondeurMaximale)
        throw ErreurChargementXML(QStringLiteral("Le document imbrique ses éléments sur plus de %1 niveaux.")
                                      .arg(profondeurMaximale));
    const auto entites = entitesInternes(octets);
    if (entites.isEmpty())
        return;
    const QString texte = texteDuDocument(octets);
    const qint64 limite = texte.size() + expansionMaximale;
    CalculExpansion calcul(entites, limite);
    if (calcul.longueur(texte, 0) > limite)
        throw ErreurChargementXML(QStringLiteral("Le document développe ses entités au-delà de %1 caractères.")
                                      .arg(expansionMaximale));
}

} // namespace GardeDocument
