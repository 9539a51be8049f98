#pragma once
// L'écriture UTF-8 d'un caractère UTF-16, dans un tampon dont la place est déjà prise (au plus
// quatre octets pour une paire de substitution, trois pour tout autre caractère).

#include <QChar>
#include <QString>

#include <cstring>

// Écrit le caractère u, lu à p[-1] (une paire de substitution entière consomme aussi *p), et
// rend la position qui suit ; rend nullptr, sans rien écrire, pour une moitié de paire isolée,
// qui n'a pas d'UTF-8.
inline char *ecrireUtf8(char *ecrit, char16_t u, const char16_t *&p, const char16_t *fin)
{
    if (u < 0x80) {
        *ecrit++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *ecrit++ = static_cast<char>(0xC0 | (u >> 6));
        *ecrit++ = static_cast<char>(0x80 | (u & 0x3F));
    } else if (!QChar::isSurrogate(u)) {
        *ecrit++ = static_cast<char>(0xE0 | (u >> 12));
        *ecrit++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *ecrit++ = static_cast<char>(0x80 | (u & 0x3F));
    } else if (QChar::isHighSurrogate(u) && p < fin && QChar::isLowSurrogate(*p)) {
        const char32_t c = QChar::surrogateToUcs4(u, *p++);
        *ecrit++ = static_cast<char>(0xF0 | (c >> 18));
        *ecrit++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *ecrit++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *ecrit++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        return nullptr;
    }
    return ecrit;
}

// La longueur de la suite UTF-8 correcte qui commence à p (1 à 4 octets) ; 0 quand les octets
// qui s'y trouvent n'en forment pas une : octet de suite isolé, forme trop longue, moitié de
// paire de substitution, au-delà de U+10FFFF, ou suite coupée par la fin.
inline int longueurSuiteUtf8(const unsigned char *p, const unsigned char *fin)
{
    const unsigned char c = *p;
    if (c < 0x80)
        return 1;
    int longueur = 0;
    unsigned char min = 0x80, max = 0xBF; // bornes du deuxième octet
    if (c >= 0xC2 && c <= 0xDF) {
        longueur = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        longueur = 3;
        min = c == 0xE0 ? 0xA0 : 0x80;
        max = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        longueur = 4;
        min = c == 0xF0 ? 0x90 : 0x80;
        max = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (fin - p < longueur || p[1] < min || p[1] > max)
        return 0;
    for (int i = 2; i < longueur; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    }
    return longueur;
}

// Le nombre d'unités UTF-16 du texte UTF-8 correct donné : un par caractère, deux au-delà de
// U+FFFF (les octets de suite ne comptent pas, les débuts de suite de quatre octets deux fois).
inline qsizetype unitesUtf16(const char *texte, qsizetype taille)
{
    qsizetype unites = taille;
    for (qsizetype i = 0; i < taille; ++i) {
        const unsigned char c = static_cast<unsigned char>(texte[i]);
        unites -= (c & 0xC0) == 0x80;
        unites += c >= 0xF0;
    }
    return unites;
}

// Le texte UTF-8 correct donné, en QString. QString::fromUtf8 saute une marque d'ordre des octets
// placée en tête ; ici, un U+FEFF en tête d'un texte est un caractère comme un autre et reste.
inline QString texteDepuisUtf8(const char *texte, qsizetype taille)
{
    qsizetype marques = 0;
    while (taille - 3 * marques >= 3 && texte[3 * marques] == '\xEF' && texte[3 * marques + 1] == '\xBB'
           && texte[3 * marques + 2] == '\xBF')
        ++marques;
    if (marques == 0)
        return QString::fromUtf8(texte, taille);
    return QString(marques, QChar(0xFEFF)) + QString::fromUtf8(texte + 3 * marques, taille - 3 * marques);
}

inline QString texteDepuisUtf8(const char *texte) { return texteDepuisUtf8(texte, qsizetype(std::strlen(texte))); }
