#include "reading/DecodageDocument.h"

#include "commun/Erreurs.h"
#include "commun/NombreFrancais.h"
#include "commun/TexteEtroit.h"
#include "commun/Utf8.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <functional>

namespace {

struct Forme
{
    QStringConverter::Encoding encodage;
    qsizetype marque; // octets de la marque d'ordre, sautés
};

bool commencePar(const QByteArray &octets, const char *debut, qsizetype longueur)
{
    return octets.size() >= longueur && std::equal(debut, debut + longueur, octets.constData());
}

// L'encodage que la marque ou la forme des premiers octets impose (« < » ou « <? » écrit en
// UTF-16 ou UTF-32), sans regarder la déclaration.
std::optional<Forme> formeImposee(const QByteArray &octets)
{
    if (commencePar(octets, "\x00\x00\xFE\xFF", 4))
        return Forme{QStringConverter::Utf32BE, 4};
    if (commencePar(octets, "\xFF\xFE\x00\x00", 4))
        return Forme{QStringConverter::Utf32LE, 4};
    if (commencePar(octets, "\xEF\xBB\xBF", 3))
        return Forme{QStringConverter::Utf8, 3};
    if (commencePar(octets, "\xFE\xFF", 2))
        return Forme{QStringConverter::Utf16BE, 2};
    if (commencePar(octets, "\xFF\xFE", 2))
        return Forme{QStringConverter::Utf16LE, 2};
    if (commencePar(octets, "\x00\x00\x00\x3C", 4))
        return Forme{QStringConverter::Utf32BE, 0};
    if (commencePar(octets, "\x3C\x00\x00\x00", 4))
        return Forme{QStringConverter::Utf32LE, 0};
    if (commencePar(octets, "\x00\x3C", 2))
        return Forme{QStringConverter::Utf16BE, 0};
    if (commencePar(octets, "\x3C\x00", 2))
        return Forme{QStringConverter::Utf16LE, 0};
    return std::nullopt;
}

// Les caractères des octets en EBCDIC (IBM037) : ceux d'un en-tête (lettres, chiffres, « <?=.-_ »,
// guillemets, blancs) s'y écrivent de la même façon dans toutes les pages EBCDIC.
const std::array<char16_t, 256> &tableEbcdic()
{
    static const std::array<char16_t, 256> table = [] {
        QByteArray octets(256, '\0');
        for (int i = 0; i < 256; ++i)
            octets[i] = char(i);
        const QString texte = QStringDecoder("IBM037").decode(octets);
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256 && i < texte.size(); ++i)
            t[std::size_t(i)] = texte.at(i).unicode();
        return t;
    }();
    return table;
}

// L'en-tête « <?xml version=… encoding=… » lu selon sa grammaire, un caractère après l'autre,
// aussi loin qu'elle le permet et pas plus : des blancs de n'importe quelle longueur sont lus
// entiers. Ce qui s'en écarte arrête la lecture ; le parseur, qui relit l'en-tête, le refusera.
class LectureEntete
{
public:
    LectureEntete(const QByteArray &octets, const std::array<char16_t, 256> *table) : m_octets(octets), m_table(table) {}

    // Le nom de l'encodage déclaré ; vide sans en-tête ou sans déclaration d'encodage.
    QString encodage()
    {
        const auto chiffre = [](char16_t c) { return (c >= u'0' && c <= u'9') || c == u'.'; };
        const auto lettre = [](char16_t c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.'
                || c == u'_' || c == u'-';
        };
        if (!mot(u"<?xml") || !blancs() || !mot(u"version") || !egal() || !valeur(chiffre) || !blancs()
            || !mot(u"encoding") || !egal())
            return QString();
        return valeur(lettre).value_or(QString());
    }

private:
    char16_t caractere() const
    {
        if (m_position >= m_octets.size())
            return 0;
        const auto octet = static_cast<unsigned char>(m_octets.at(m_position));
        return m_table ? (*m_table)[octet] : char16_t(octet);
    }

    bool mot(QStringView attendu)
    {
        for (const QChar c : attendu) {
            if (caractere() != c.unicode())
                return false;
            ++m_position;
        }
        return true;
    }

    bool blancs()
    {
        const qsizetype avant = m_position;
        for (char16_t c = caractere(); c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; c = caractere())
            ++m_position;
        return m_position > avant;
    }

    bool egal()
    {
        blancs();
        if (caractere() != u'=')
            return false;
        ++m_position;
        blancs();
        return true;
    }

    std::optional<QString> valeur(const std::function<bool(char16_t)> &admis)
    {
        const char16_t guillemet = caractere();
        if (guillemet != u'"' && guillemet != u'\'')
            return std::nullopt;
        ++m_position;
        QString texte;
        for (char16_t c = caractere(); admis(c); c = caractere()) {
            texte += QChar(c);
            ++m_position;
        }
        if (caractere() != guillemet)
            return std::nullopt;
        ++m_position;
        return texte;
    }

    const QByteArray &m_octets;
    const std::array<char16_t, 256> *m_table;
    qsizetype m_position = 0;
};

// La position du premier octet qui ne se lit pas dans l'encodage : là où le texte décodé montre
// son premier caractère de remplacement (U+FFFD, ou SUB que certains décodeurs mettent),
// comptée en octets du même encodage. Ne sert qu'au message.
qsizetype premierOctetFaux(const QString &decode, const QByteArray &nom)
{
    qsizetype k = 0;
    while (k < decode.size() && decode.at(k) != QChar::ReplacementCharacter && decode.at(k) != QChar(0x1A))
        ++k;
    QStringEncoder encodeur(nom.constData());
    return encodeur.isValid() ? QByteArray(encodeur.encode(QStringView(decode).first(k))).size() : k;
}

TexteDocument decoderAvec(QStringDecoder decodeur, const QByteArray &octets, qsizetype marque, const QString &nom)
{
    if (!decodeur.isValid())
        throw ErreurDocumentRefuse(QStringLiteral("L'encodage « %1 » du document n'est pas pris en charge.").arg(nom));
    const QString decode = decodeur.decode(QByteArrayView(octets).sliced(marque));
    if (decodeur.hasError())
        throw ErreurDocumentRefuse(
            DecodageDocument::messageOctetFaux(nom, marque + premierOctetFaux(decode, nom.toLatin1())));
    return TexteDocument{decode.toUtf8(), false};
}

// Les noms qui désignent Windows-1252 pour un navigateur (table des encodages du WHATWG) :
// ISO-8859-1 et US-ASCII en font partie. Les flux qui se déclarent ainsi portent presque toujours
// les guillemets et tirets de Windows-1252 (octets 0x80 à 0x9F), que ces navigateurs montrent.
bool designeWindows1252(const QString &nom)
{
    // (« iso_8859-1:1987 » n'y est pas : un nom d'encodage écrit dans l'en-tête n'a pas de « : ».)
    static const QStringView noms[] = {u"ansi_x3.4-1968", u"ascii",      u"cp1252",     u"cp819",    u"csisolatin1",
                                       u"ibm819",         u"iso-8859-1", u"iso-ir-100", u"iso8859-1", u"iso88591",
                                       u"iso_8859-1",     u"l1",         u"latin1",     u"us-ascii", u"windows-1252",
                                       u"x-cp1252"};
    return std::any_of(std::begin(noms), std::end(noms),
                       [&](QStringView n) { return n.compare(nom, Qt::CaseInsensitive) == 0; });
}

} // namespace

namespace DecodageDocument {

TexteDocument decoder(QByteArray octets)
{
    if (const std::optional<Forme> forme = formeImposee(octets)) {
        if (forme->encodage == QStringConverter::Utf8)
            return TexteDocument{std::move(octets), true};
        return decoderAvec(QStringDecoder(forme->encodage, QStringConverter::Flag::Stateless), octets, forme->marque,
                           QString::fromLatin1(QStringConverter::nameForEncoding(forme->encodage)));
    }
    // L'en-tête s'écrit en ASCII, sauf en EBCDIC, où « <?xm » s'écrit 4C 6F A7 94.
    const bool ebcdic = commencePar(octets, "\x4C\x6F\xA7\x94", 4);
    QString nom = LectureEntete(octets, ebcdic ? &tableEbcdic() : nullptr).encodage();
    if (nom.isEmpty())
        nom = ebcdic ? QStringLiteral("IBM037") : QStringLiteral("UTF-8");
    // Tout octet a son caractère en Windows-1252 : les cinq sans caractère attribué donnent le
    // caractère de contrôle de même valeur.
    if (designeWindows1252(nom))
        return TexteDocument{depuisEtroit(octets).toUtf8(), false};
    const QByteArray nomLatin1 = nom.toLatin1();
    if (QStringConverter::encodingForName(nomLatin1.constData()) == QStringConverter::Utf8)
        return TexteDocument{std::move(octets), true};
    return decoderAvec(QStringDecoder(nomLatin1.constData(), QStringConverter::Flag::Stateless), octets, 0, nom);
}

bool octetFauxUtf8(const char *texte, qsizetype taille, qsizetype position)
{
    if (position < 0 || position >= taille)
        return false;
    const auto *debut = reinterpret_cast<const unsigned char *>(texte);
    return longueurSuiteUtf8(debut + position, debut + taille) == 0;
}

QString messageOctetFaux(const QString &encodage, qsizetype position)
{
    return QStringLiteral("Le document contient des octets qui ne s'écrivent pas en %1 (octet %2 du fichier).")
        .arg(encodage, nombreFrancais(position));
}

} // namespace DecodageDocument
