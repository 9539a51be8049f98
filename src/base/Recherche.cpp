#include "base/Recherche.h"

#include "base/TdmRSS.h"

#include <algorithm>
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

// La première position, à partir de `depuis`, où l'aiguille (longueur m) se trouve dans le foin
// (longueur n) ; -1 sans elle. a et b sont les positions des deux caractères filtres dans
// l'aiguille. m >= 1.
template<typename Car>
qsizetype chercher(const Car *foin, qsizetype n, const Car *aiguille, qsizetype m, qsizetype a, qsizetype b,
                   qsizetype depuis = 0)
{
    const qsizetype derniere = n - m; // dernière position de départ possible
    qsizetype i = depuis;
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
                return i + bit / sizeof(Car);
            masque &= ~(bitsParCar << bit);
        }
    }
#endif
    for (; i <= derniere; ++i) {
        if (foin[i + a] == aiguille[a] && foin[i + b] == aiguille[b]
            && std::memcmp(foin + i, aiguille, size_t(m) * sizeof(Car)) == 0)
            return i;
    }
    return -1;
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
                    reinterpret_cast<const char16_t *>(m_large.constData()), m_large.size(), m_pivot, m_second)
        >= 0;
}

bool TexteRecherche::trouveDansEtroit(const TexteEtroit &champ) const
{
    if (m_etroit.isEmpty() || champ.size() < m_etroit.size())
        return false;
    return chercher(champ.constData(), champ.size(), m_etroit.constData(), m_etroit.size(), m_pivot, m_second) >= 0;
}

bool TexteRecherche::trouveDans(const ChampsBoutABout &champs) const
{
    if (m_etroit.isEmpty())
        return false;
    const qsizetype m = m_etroit.size();
    qsizetype depuis = 0;
    for (;;) {
        const qsizetype trouve = chercher(champs.texte.constData(), champs.texte.size(), m_etroit.constData(), m,
                                          m_pivot, m_second, depuis);
        if (trouve < 0)
            return false;
        // Le champ où commence la rencontre doit la contenir entière : sinon elle chevauche deux
        // champs voisins, et la recherche reprend juste après son début.
        const auto suivant = std::upper_bound(champs.debuts.cbegin(), champs.debuts.cend(), trouve);
        const qsizetype fin = suivant == champs.debuts.cend() ? champs.texte.size() : *suivant;
        if (trouve + m <= fin)
            return true;
        depuis = trouve + 1;
    }
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
    // Les formes des flux qui ne sont plus dans la base (base relue, flux supprimés) s'oublient.
    if (m_indexRecherche.taille() > fluxBase.size() + 16)
        m_indexRecherche.garderSeulement(fluxBase);
    return m_indexRecherche.fluxTrouve(texte, flux, champs);
}
