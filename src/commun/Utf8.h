#pragma once
// L'écriture UTF-8 d'un caractère UTF-16, dans un tampon dont la place est déjà prise (au plus
// quatre octets pour une paire de substitution, trois pour tout autre caractère).

#include <QChar>

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
