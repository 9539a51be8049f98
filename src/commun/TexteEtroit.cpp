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

// L'octet de chaque unité UTF-16 : « ? » pour tout ce que Windows-1252 n'a pas.
const std::array<char, 0x10000> &tableEtroite()
{
    static const std::array<char, 0x10000> table = [] {
        std::array<char, 0x10000> t;
        t.fill('?');
        for (char16_t c = 0; c < 0x80; ++c)
            t[c] = static_cast<char>(c);
        for (char16_t c = 0xA0; c <= 0xFF; ++c)
            t[c] = static_cast<char>(c);
        for (std::size_t i = 0; i < plage80.size(); ++i)
            t[plage80[i]] = static_cast<char>(0x80 + i);
        return t;
    }();
    return table;
}

} // namespace

void ajouterEtroit(TexteEtroit &sortie, QStringView large)
{
    const std::array<char, 0x10000> &table = tableEtroite();
    const char16_t *p = large.utf16();
    const char16_t *fin = p + large.size();
    const qsizetype debut = sortie.size();
    sortie.resize(debut + large.size());
    char *ecrit = sortie.data() + debut;
    while (p < fin) {
        const char16_t u = *p++;
        // Une paire de substitution forme un seul caractère, qui devient un seul « ? ».
        if (QChar::isHighSurrogate(u) && p < fin && QChar::isLowSurrogate(*p))
            ++p;
        *ecrit++ = table[u];
    }
    sortie.truncate(ecrit - sortie.constData());
}

TexteEtroit versEtroit(const QString &large)
{
    TexteEtroit resultat;
    ajouterEtroit(resultat, large);
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
