#include "base/Recherche.h"

#include "base/TdmRSS.h"

#include <cstring>
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

// Vrai quand l'aiguille (longueur m) se trouve dans le foin (longueur n) ; a et b sont les
// positions des deux caractères filtres dans l'aiguille. n >= m >= 1.
bool chercher(const char16_t *foin, qsizetype n, const char16_t *aiguille, qsizetype m, qsizetype a, qsizetype b)
{
    const qsizetype derniere = n - m; // dernière position de départ possible
    qsizetype i = 0;
#if defined(__SSE2__)
    // Huit positions de départ à la fois : celles où les deux caractères filtres sont à leur place.
    const __m128i filtreA = _mm_set1_epi16(short(aiguille[a]));
    const __m128i filtreB = _mm_set1_epi16(short(aiguille[b]));
    for (; i + 7 <= derniere; i += 8) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(foin + i + a));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(foin + i + b));
        unsigned masque = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(va, filtreA), _mm_cmpeq_epi16(vb, filtreB))));
        while (masque != 0) {
            const unsigned bit = unsigned(__builtin_ctz(masque));
            if (std::memcmp(foin + i + bit / 2, aiguille, size_t(m) * sizeof(char16_t)) == 0)
                return true;
            masque &= ~(3u << bit);
        }
    }
#endif
    for (; i <= derniere; ++i) {
        if (foin[i + a] == aiguille[a] && foin[i + b] == aiguille[b]
            && std::memcmp(foin + i, aiguille, size_t(m) * sizeof(char16_t)) == 0)
            return true;
    }
    return false;
}

} // namespace

TexteRecherche::TexteRecherche(const QString &texte)
    : m_etroit(versEtroit(texte))
{
    // « ? » tient lieu de tout caractère que Windows-1252 ne sait pas écrire : seul un texte
    // sans « ? » se cherche directement dans le champ large.
    m_direct = !m_etroit.contains('?');
    if (!m_direct)
        return;
    m_large = depuisEtroit(m_etroit);
    for (qsizetype i = 1; i < m_large.size(); ++i) {
        if (rarete(m_large.at(i)) > rarete(m_large.at(m_pivot)))
            m_pivot = i;
    }
    m_second = m_pivot;
    for (qsizetype i = 0; i < m_large.size(); ++i) {
        if (i != m_pivot && (m_second == m_pivot || rarete(m_large.at(i)) > rarete(m_large.at(m_second))))
            m_second = i;
    }
}

bool TexteRecherche::trouveDans(const QString &champ) const
{
    if (m_etroit.isEmpty() || champ.size() < m_etroit.size())
        return false;
    if (!m_direct) {
        m_tampon.truncate(0);
        ajouterEtroit(m_tampon, champ);
        return QByteArrayView(m_tampon).indexOf(m_etroit) >= 0;
    }

    return chercher(reinterpret_cast<const char16_t *>(champ.constData()), champ.size(),
                    reinterpret_cast<const char16_t *>(m_large.constData()), m_large.size(), m_pivot, m_second);
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
    return texte.trouveDans(info.getTitre());
}

bool TdmRSS::lienContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(info.getLien());
}

bool TdmRSS::descriptionContient(const TexteRecherche &texte, const TInfo &info) const
{
    return texte.trouveDans(info.getDescription());
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
