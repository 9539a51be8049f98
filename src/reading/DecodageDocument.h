#pragma once
// Les octets d'un document XML décodés une seule fois, en UTF-8, pour le parseur : la marque
// d'ordre des octets d'abord, sinon la forme des premiers octets (UTF-16 et UTF-32 sans marque,
// EBCDIC), sinon l'encodage que déclare l'en-tête, UTF-8 à défaut ; ISO-8859-1, US-ASCII et
// leurs autres noms se lisent en Windows-1252, comme dans un navigateur. Le parseur reçoit le texte
// avec son encodage nommé (UTF-8) : l'en-tête n'est plus relu, et une marque qui le dément
// l'emporte. Un document en UTF-8 (le cas courant) garde ses octets, sans copie : c'est le
// parseur qui les lit, et un octet qui ne s'y lit pas est signalé à sa position (octetFauxUtf8).

#include <QByteArray>
#include <QString>

#include <optional>

// Le texte d'un document en UTF-8. Pour un document en UTF-8, ce sont ses propres octets, marque
// comprise (le parseur la reconnaît, et ne cherche alors plus d'autre marque) : une position dans
// le texte en est une dans le fichier.
struct TexteDocument
{
    QByteArray octets;
    bool octetsDuDocument = true;
};

namespace DecodageDocument {

// Le texte du document ; ErreurDocumentRefuse, avec un message qui nomme l'encodage (et la
// position du premier octet faux), quand l'encodage n'est pas connu ou que des octets ne s'y
// lisent pas.
TexteDocument decoder(QByteArray octets);

// Vrai quand les octets qui commencent à `position` d'un texte UTF-8 n'en sont pas (celle où le
// parseur s'est arrêté, dans un texte fait des octets du document : c'est leur position dans le
// fichier).
bool octetFauxUtf8(const char *texte, qsizetype taille, qsizetype position);

// Le message d'un document dont l'octet à la position donnée ne s'écrit pas dans l'encodage.
QString messageOctetFaux(const QString &encodage, qsizetype position);

} // namespace DecodageDocument
