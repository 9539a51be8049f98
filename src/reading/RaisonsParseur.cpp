#include "reading/RaisonsParseur.h"

QString raisonDuParseur(XML_Error code, bool elementOuvert)
{
    switch (code) {
    case XML_ERROR_SYNTAX:
        return QStringLiteral("erreur de syntaxe");
    case XML_ERROR_NO_ELEMENTS:
        return elementOuvert ? QStringLiteral("le document s'arrête avant la fermeture de ses éléments")
                             : QStringLiteral("document vide (aucun élément)");
    case XML_ERROR_INVALID_TOKEN:
        return QStringLiteral("caractère interdit à cet endroit (un « & » ou un « < » seul, par exemple)");
    case XML_ERROR_UNCLOSED_TOKEN:
        return QStringLiteral("balise ou référence inachevée");
    case XML_ERROR_PARTIAL_CHAR:
        return QStringLiteral("caractère incomplet");
    case XML_ERROR_TAG_MISMATCH:
        return QStringLiteral("balise mal fermée");
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
        return QStringLiteral("attribut écrit deux fois dans la même balise");
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
        return QStringLiteral("contenu après la fin de l'élément racine");
    case XML_ERROR_PARAM_ENTITY_REF:
        return QStringLiteral("référence à une entité paramètre interdite à cet endroit");
    case XML_ERROR_UNDEFINED_ENTITY:
        return QStringLiteral("entité non déclarée");
    case XML_ERROR_RECURSIVE_ENTITY_REF:
        return QStringLiteral("entité qui se contient elle-même");
    case XML_ERROR_ASYNC_ENTITY:
        return QStringLiteral("entité dont le texte n'est pas équilibré");
    case XML_ERROR_BAD_CHAR_REF:
        return QStringLiteral("référence à un caractère interdit");
    case XML_ERROR_BINARY_ENTITY_REF:
        return QStringLiteral("référence à une entité non analysable");
    case XML_ERROR_ATTRIBUTE_EXTERNAL_ENTITY_REF:
        return QStringLiteral("référence à une entité externe dans un attribut");
    case XML_ERROR_MISPLACED_XML_PI:
        return QStringLiteral("déclaration XML ailleurs qu'au début du document");
    case XML_ERROR_UNKNOWN_ENCODING:
    case XML_ERROR_INCORRECT_ENCODING:
        return QStringLiteral("encodage incorrect");
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
        return QStringLiteral("section CDATA jamais fermée");
    case XML_ERROR_EXTERNAL_ENTITY_HANDLING:
        return QStringLiteral("entité externe illisible");
    case XML_ERROR_NOT_STANDALONE:
        return QStringLiteral("document déclaré autonome qui ne l'est pas");
    case XML_ERROR_ENTITY_DECLARED_IN_PE:
        return QStringLiteral("entité déclarée dans une entité paramètre");
    case XML_ERROR_UNBOUND_PREFIX:
        return QStringLiteral("préfixe d'espace de noms non déclaré");
    case XML_ERROR_UNDECLARING_PREFIX:
        return QStringLiteral("retrait interdit d'un préfixe d'espace de noms");
    case XML_ERROR_INCOMPLETE_PE:
        return QStringLiteral("entité paramètre incomplète");
    case XML_ERROR_XML_DECL:
        return QStringLiteral("déclaration XML mal formée");
    case XML_ERROR_TEXT_DECL:
        return QStringLiteral("déclaration de texte mal formée");
    case XML_ERROR_PUBLICID:
        return QStringLiteral("caractère interdit dans un identifiant public");
    case XML_ERROR_RESERVED_PREFIX_XML:
    case XML_ERROR_RESERVED_PREFIX_XMLNS:
    case XML_ERROR_RESERVED_NAMESPACE_URI:
        return QStringLiteral("usage interdit d'un préfixe ou d'un espace de noms réservé");
    default:
        // Les autres codes disent un état du parseur, jamais le défaut d'un document : le
        // message anglais du parseur reste la meilleure indication.
        return QStringLiteral("erreur du parseur « %1 »").arg(QString::fromLatin1(XML_ErrorString(code)));
    }
}

QString messageDocumentMalForme(const QString &raison, XML_Size ligne, XML_Size colonne)
{
    return QStringLiteral("Le document n'est pas du XML bien formé, ligne %1, colonne %2 : %3.")
        .arg(ligne)
        .arg(colonne)
        .arg(raison);
}
