#include "base/Recherche.h"

#include "base/TdmRSS.h"

#include <cstring>
#include <tuple>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// La rareté d'un caractère dans un texte courant : le blanc est le plus fréquent, puis les
// minuscules dans l'ordre de fréquence du français et de l'anglais ; tout le reste (capitales,
// chiffres, ponctuation, lettres accentuées) est tenu pour rare.
int rarete(QChar c)
{
    static const char frequentes[] = " esaitnrulodcpmhgvfbqyjxzkw";
    const char16_t u = c.unicode();
    if (u < 0x80) {
        if (const char *trouve = std::strchr(frequentes, char(u)); trouve && u != 0)
            return int(trouve - frequentes);
    }
    return 100;
}

#if defined(__SSE2__)
// Seize octets ou huit unités UTF-16 comparés d'un coup.
__m128i partout(char c) { return _mm_set1_epi8(c); }
__m128i partout(char16_t c) { return _mm_set1_epi16(short(c)); }
__m128i egaux(__m128i x, __m128i y, char) { return _mm_cmpeq_epi8(x, y); }
__m128i egaux(__m128i x, __m128i y, char16_t) { return _mm_cmpeq_epi16(x, y); }
#endif

// Vrai quand l'aiguille (longueur m) se trouve dans le foin (longueur n) ; a et b sont les
// positions des deux caractères filtres dans l'aiguille. n >= m >= 1.
template<typename Car>
bool chercher(const Car *foin, qsizetype n, const Car *aiguille, qsizetype m, qsizetype a, qsizetype b)
{
    const qsizetype derniere = n - m; // dernière position de départ possible
    qsizetype i = 0;
#if defined(__SSE2__)
    // Plusieurs positions de départ à la fois : celles où les deux caractères filtres sont à
    // leur place.
    constexpr qsizetype parBloc = 16 / sizeof(Car);
    constexpr unsigned bitsParCar = (1u << sizeof(Car)) - 1;
    const __m128i filtreA = partout(aiguille[a]);
    const __m128i filtreB = partout(aiguille[b]);
    for (; i + parBloc - 1 <= derniere; i += parBloc) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(foin + i + a));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(foin + i + b));
        unsigned masque = unsigned(_mm_movemask_epi8(_mm_and_si128(egaux(va, filtreA, Car()), egaux(vb, filtreB, Car()))));
        while (masque != 0) {
            const unsigned bit = unsigned(__builtin_ctz(masque));
            if (std::memcmp(foin + i + bit / sizeof(Car), aiguille, size_t(m) * sizeof(Car)) == 0)
                return true;
            masque &= ~(bitsParCar << bit);
        }
    }
#endif
    for (; i <= derniere; ++i) {
        if (foin[i + a] == aiguille[a] && foin[i + b] == aiguille[b]
            && std::memcmp(foin + i, aiguille, size_t(m) * sizeof(Car)) == 0)
            return true;
    }
    return false;
}

// Les positions des deux caractères probablement les plus rares du texte. Elles valent aussi pour
// sa forme large, qui a un caractère par octet.
std::pair<qsizetype, qsizetype> filtres(const TexteEtroit &texte)
{
    auto rareteA = [&texte](qsizetype i) { return rarete(QChar(char16_t(uchar(texte.at(i))))); };
    qsizetype pivot = 0;
    for (qsizetype i = 1; i < texte.size(); ++i) {
        if (rareteA(i) > rareteA(pivot))
            pivot = i;
    }
    qsizetype second = pivot;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        if (i != pivot && (second == pivot || rareteA(i) > rareteA(second)))
            second = i;
    }
    return {pivot, second};
}

} // namespace

TexteRecherche::TexteRecherche(const QString &texte)
    : m_etroit(versEtroit(texte))
{
    // « ? » tient lieu de tout caractère que Windows-1252 ne sait pas écrire : seul un texte
    // sans « ? » se cherche directement dans le champ large.
    m_direct = !m_etroit.contains('?');
    if (m_direct)
        m_large = depuisEtroit(m_etroit);
    std::tie(m_pivot, m_second) = filtres(m_etroit);
}

bool TexteRecherche::trouveDans(const QString &champ) const
{
    if (m_etroit.isEmpty() || champ.size() < m_etroit.size())
        return false;
    if (!m_direct)
        return trouveDansEtroit(versEtroit(champ));
    return chercher(reinterpret_cast<const char16_t *>(champ.constData()), champ.size(),
                    reinterpret_cast<const char16_t *>(m_large.constData()), m_large.size(), m_pivot, m_second);
}

bool TexteRecherche::trouveDansEtroit(const TexteEtroit &champ) const
{
    if (m_etroit.isEmpty() || champ.size() < m_etroit.size())
        return false;
    return chercher(champ.constData(), champ.size(), m_etroit.constData(), m_etroit.size(), m_pivot, m_second);
}

bool TdmRSS::titreContient(const QString &texte, const TInfo &info) const
{
    return titreContient(TexteRecherche(texte), info);
}

bool TdmRSS::lienContient(const QString &texte, const TInfo &info) const
{
    return lienContient(TexteRecherche(texte), info);
}

bool TdmRSS::descriptionContient(const QString &texte, const TInfo &info) const
{
    return descriptionContient(TexteRecherche(texte), info);
}

bool TdmRSS::titreContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(
        info.getTitre(), [&info]() -> const TexteEtroit & { return info.getTitreEtroit(); }, info.etroitsFaits());
}

bool TdmRSS::lienContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(
        info.getLien(), [&info]() -> const TexteEtroit & { return info.getLienEtroit(); }, info.etroitsFaits());
}

bool TdmRSS::descriptionContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(
        info.getDescription(), [&info]() -> const TexteEtroit & { return info.getDescriptionEtroit(); },
        info.etroitsFaits());
}

bool TdmRSS::fluxTrouve(const TexteRecherche &texte, const TFlux &flux, ChampsRecherche champs) const
{
    if (texte.estVide())
        return false;
    for (const PInfo &info : flux.infos) {
        if ((champs.titre && titreContient(texte, *info)) || (champs.lien && lienContient(texte, *info))
            || (champs.description && descriptionContient(texte, *info)))
            return true;
    }
    return false;
}
