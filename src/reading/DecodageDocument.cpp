#include "reading/DecodageDocument.h"

#include "commun/Erreurs.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <optional>

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

// Le nom de l'encodage déclaré par l'en-tête « <?xml … ?> » lu dans sa forme ASCII ; vide sans
// déclaration.
QString encodageDeclare(const QString &debut)
{
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml[^>]*?\\sencoding\\s*=\\s*([\"'])([A-Za-z0-9._:-]*)\\1"));
    const QRegularExpressionMatch trouve = declaration.match(debut);
    return trouve.hasMatch() ? trouve.captured(2) : QString();
}

TexteDocument decoderAvec(QStringDecoder &decodeur, const QByteArray &octets, qsizetype debut, const QString &nom)
{
    TexteDocument document;
    document.enUtf8 = false;
    document.texte = decodeur.decode(QByteArrayView(octets).sliced(debut));
    if (decodeur.hasError())
        throw ErreurDocumentRefuse(
            QStringLiteral("Le document contient des octets qui ne s'écrivent pas en %1.").arg(nom));
    return document;
}

} // namespace

namespace DecodageDocument {

TexteDocument decoder(const QByteArray &octets)
{
    const std::optional<Forme> forme = formeImposee(octets);
    if (forme && forme->encodage == QStringConverter::Utf8)
        return TexteDocument{octets, QString(), true};
    if (forme) {
        QStringDecoder decodeur(forme->encodage, QStringConverter::Flag::Stateless);
        return decoderAvec(decodeur, octets, forme->marque, QString::fromLatin1(QStringConverter::nameForEncoding(forme->encodage)));
    }
    // L'en-tête est en ASCII, sauf en EBCDIC, où « <?xm » s'écrit 4C 6F A7 94.
    const QByteArray entete = octets.left(256);
    const bool ebcdic = commencePar(octets, "\x4C\x6F\xA7\x94", 4);
    const QString debut = ebcdic ? QStringDecoder("IBM037").decode(entete) : QString::fromLatin1(entete);
    QString nom = encodageDeclare(debut);
    if (nom.isEmpty())
        nom = ebcdic ? QStringLiteral("IBM037") : QStringLiteral("UTF-8");
    QStringDecoder decodeur(nom.toLatin1().constData(), QStringConverter::Flag::Stateless);
    // Les octets UTF-8 vont tels quels au parseur, qui les lira en UTF-8 comme annoncé.
    if (QStringConverter::encodingForName(nom.toLatin1().constData()) == QStringConverter::Utf8)
        return TexteDocument{octets, QString(), true};
    if (!decodeur.isValid())
        throw ErreurDocumentRefuse(QStringLiteral("L'encodage « %1 » du document n'est pas pris en charge.").arg(nom));
    return decoderAvec(decodeur, octets, 0, nom);
}

} // namespace DecodageDocument
