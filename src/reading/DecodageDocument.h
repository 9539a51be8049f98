#pragma once
// Les octets d'un document XML décodés en texte, une seule fois, comme le parseur de Qt les
// lirait : marque d'ordre des octets, sinon la forme des premiers octets (UTF-16 et UTF-32 sans
// marque, EBCDIC), sinon l'encodage que déclare l'en-tête, UTF-8 à défaut. Le texte est ensuite
// analysé tel quel : l'encodage déclaré n'est plus relu. Un document en UTF-8 (le cas courant)
// garde ses octets, que le parseur décode lui-même en UTF-8 : c'est le même texte, sans copie.

#include <QByteArray>
#include <QString>

// Le texte d'un document : ses octets UTF-8, ou le texte décodé d'un autre encodage.
struct TexteDocument
{
    QByteArray utf8;
    QString texte;
    bool enUtf8 = true;
};

namespace DecodageDocument {

// Le texte du document ; ErreurDocumentRefuse, avec un message qui nomme l'encodage, quand
// l'encodage n'est pas connu ou que des octets ne s'y lisent pas.
TexteDocument decoder(const QByteArray &octets);

} // namespace DecodageDocument
