#include "EcritureJson.h"

#include "commun/Utf8.h"

namespace {

char chiffreHexa(unsigned valeur)
{
    return static_cast<char>(valeur < 10 ? '0' + valeur : 'a' + valeur - 10);
}

// \uXXXX, chiffres en minuscules ; rend la position qui suit.
char *ecrireEchappementU(char *ecrit, char16_t u)
{
    *ecrit++ = '\\';
    *ecrit++ = 'u';
    for (int decalage = 12; decalage >= 0; decalage -= 4)
        *ecrit++ = chiffreHexa((u >> decalage) & 0xF);
    return ecrit;
}

// Le texte entre guillemets : « " », « \ » et les caractères de contrôle échappés, le reste en
// UTF-8 ; une moitié de paire de substitution isolée, qui n'a pas d'UTF-8, s'écrit \uXXXX.
void ajouterTexteEchappe(QByteArray &sortie, QStringView valeur)
{
    const char16_t *p = valeur.utf16();
    const char16_t *const fin = p + valeur.size();
    // Au plus six octets par unité (\u00XX) : la place est prise une fois, la fin rognée après.
    const qsizetype debut = sortie.size();
    sortie.resize(debut + 6 * valeur.size() + 2);
    char *ecrit = sortie.data() + debut;
    *ecrit++ = '"';
    while (p < fin) {
        const char16_t u = *p++;
        if (u >= 0x20 && u < 0x80 && u != u'"' && u != u'\\') {
            *ecrit++ = static_cast<char>(u);
        } else if (u < 0x80) {
            const char *court = nullptr;
            switch (u) {
            case u'"': court = "\\\""; break;
            case u'\\': court = "\\\\"; break;
            case 0x08: court = "\\b"; break;
            case 0x0C: court = "\\f"; break;
            case 0x0A: court = "\\n"; break;
            case 0x0D: court = "\\r"; break;
            case 0x09: court = "\\t"; break;
            default: break;
            }
            if (court) {
                *ecrit++ = court[0];
                *ecrit++ = court[1];
            } else {
                ecrit = ecrireEchappementU(ecrit, u);
            }
        } else if (char *suite = ecrireUtf8(ecrit, u, p, fin)) {
            ecrit = suite;
        } else {
            ecrit = ecrireEchappementU(ecrit, u);
        }
    }
    *ecrit++ = '"';
    sortie.truncate(ecrit - sortie.constData());
}

} // namespace

void EcritureJson::avantValeur()
{
    if (m_apresCle) {
        m_apresCle = false;
        return;
    }
    if (m_elements.isEmpty())
        return;
    if (m_elements.last()++ > 0)
        m_sortie.append(",\n", 2);
    m_sortie.append(4 * m_elements.size(), ' ');
}

void EcritureJson::cle(const char *nom)
{
    avantValeur();
    m_sortie.append('"');
    m_sortie.append(nom);
    m_sortie.append("\": ", 3);
    m_apresCle = true;
}

void EcritureJson::texte(QStringView valeur)
{
    avantValeur();
    ajouterTexteEchappe(m_sortie, valeur);
}

void EcritureJson::ouvrir(char signe)
{
    avantValeur();
    m_sortie.append(signe);
    m_sortie.append('\n');
    m_elements.append(0);
}

void EcritureJson::fermer(char signe)
{
    if (m_elements.takeLast() > 0)
        m_sortie.append('\n');
    m_sortie.append(4 * m_elements.size(), ' ');
    m_sortie.append(signe);
    if (m_elements.isEmpty())
        m_sortie.append('\n');
}
