#include "base/CodageBase.h"

namespace {

// Vrai pour une unité que le fichier ne peut pas porter telle quelle.
inline bool aCoder(char16_t u)
{
    if (u < 0x20)
        return u != 0x09 && u != 0x0A && u != 0x0D;
    return u == CodageBase::marque || u == 0xFFFE || u == 0xFFFF;
}

// Position de la première unité à coder, ou -1. Une moitié de paire isolée est à coder ;
// une paire complète passe telle quelle.
qsizetype premiereACoder(const QString &valeur)
{
    const char16_t *debut = reinterpret_cast<const char16_t *>(valeur.constData());
    const qsizetype n = valeur.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = debut[i];
        if (u < 0x20 || u >= 0xD800) {
            if (QChar::isHighSurrogate(u)) {
                if (i + 1 < n && QChar::isLowSurrogate(debut[i + 1])) {
                    ++i;
                    continue;
                }
                return i;
            }
            if (QChar::isLowSurrogate(u) || aCoder(u))
                return i;
        }
    }
    return -1;
}

void ajouterCode(QString &sortie, char16_t u)
{
    static const char chiffres[] = "0123456789ABCDEF";
    sortie.append(QChar(CodageBase::marque));
    for (int decalage = 12; decalage >= 0; decalage -= 4)
        sortie.append(QLatin1Char(chiffres[(u >> decalage) & 0xF]));
}

int valeurHexa(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

} // namespace

namespace CodageBase {

QString encoder(const QString &valeur)
{
    // Un texte fait uniquement de blancs disparaîtrait à la lecture : son premier caractère
    // est codé, ce qui le rend visible.
    const bool queDesBlancs = !valeur.isEmpty() && valeur.front().isSpace() && valeur.trimmed().isEmpty();
    if (!queDesBlancs && premiereACoder(valeur) < 0)
        return valeur;

    QString sortie;
    sortie.reserve(valeur.size() + 10);
    const char16_t *p = reinterpret_cast<const char16_t *>(valeur.constData());
    const qsizetype n = valeur.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            sortie.append(QStringView(p + i, 2));
            ++i;
        } else if ((i == 0 && queDesBlancs) || QChar::isSurrogate(u) || aCoder(u)) {
            ajouterCode(sortie, u);
        } else {
            sortie.append(QChar(u));
        }
    }
    return sortie;
}

QString decoder(const QString &texte)
{
    qsizetype i = texte.indexOf(QChar(marque));
    if (i < 0)
        return texte;
    QString sortie;
    sortie.reserve(texte.size());
    const char16_t *p = reinterpret_cast<const char16_t *>(texte.constData());
    const qsizetype n = texte.size();
    qsizetype debut = 0;
    while (i >= 0) {
        sortie.append(QStringView(p + debut, i - debut));
        int code = -1;
        if (i + 4 < n) {
            code = 0;
            for (int k = 1; k <= 4 && code >= 0; ++k) {
                const int chiffre = valeurHexa(p[i + k]);
                code = chiffre < 0 ? -1 : (code << 4) | chiffre;
            }
        }
        if (code >= 0) {
            sortie.append(QChar(char16_t(code)));
            debut = i + 5;
        } else {
            sortie.append(QChar(marque));
            debut = i + 1;
        }
        i = texte.indexOf(QChar(marque), debut);
    }
    sortie.append(QStringView(p + debut, n - debut));
    return sortie;
}

} // namespace CodageBase
