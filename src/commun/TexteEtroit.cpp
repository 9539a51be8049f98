#include "commun/TexteEtroit.h"

#include <array>

namespace {

// Les octets 0x80 à 0x9F de Windows-1252. Les cinq octets sans caractère attribué
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) correspondent aux caractères de contrôle de même valeur,
// comme le fait Windows, pour que l'aller-retour reste exact.
constexpr std::array<char16_t, 32> plage80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char octetPour(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < plage80.size(); ++i) {
        if (plage80[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

TexteEtroit versEtroit(const QString &large)
{
    TexteEtroit resultat;
    resultat.reserve(large.size());
    const char16_t *p = reinterpret_cast<const char16_t *>(large.constData());
    const char16_t *fin = p + large.size();
    while (p < fin) {
        const char16_t u = *p++;
        if (u < 0x80) {
            resultat.append(static_cast<char>(u));
            continue;
        }
        // Une paire de substitution forme un seul caractère, qui devient un seul « ? ».
        if (QChar::isHighSurrogate(u) && p < fin && QChar::isLowSurrogate(*p))
            ++p, resultat.append('?');
        else
            resultat.append(octetPour(u));
    }
    return resultat;
}

QString depuisEtroit(const TexteEtroit &etroit)
{
    QString resultat;
    resultat.resize(etroit.size());
    QChar *sortie = resultat.data();
    for (const char octet : etroit) {
        const auto o = static_cast<unsigned char>(octet);
        *sortie++ = (o >= 0x80 && o < 0xA0) ? QChar(plage80[o - 0x80]) : QChar(char16_t(o));
    }
    return resultat;
}
