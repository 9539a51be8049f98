#include "reading/ArbreXML.h"

#include <QByteArrayView>
#include <array>

namespace ArbreXML {

TexteEtroit libelle(const QDomNode &noeud)
{
    const QDomNode::NodeType type = noeud.nodeType();
    if (type == QDomNode::TextNode || type == QDomNode::CDATASectionNode)
        return versEtroit(noeud.nodeValue());
    return versEtroit(noeud.nodeName());
}

int indexImage(const TexteEtroit &libelle)
{
    struct Correspondance
    {
        QByteArrayView libelle;
        int image;
    };
    static constexpr std::array<Correspondance, 13> table = {{
        {"title", 33},
        {"link", 13},
        {"description", 108},
        {"channel", 51},
        {"copyright", 119},
        {"dc:rights", 119},
        {"language", 107},
        {"dc:language", 107},
        {"url", 8},
        {"item", 3},
        {"pubDate", 39},
        {"dc:date", 39},
        {"image", 81},
    }};
    // Les libellés du tableau ont tous moins de 12 caractères : un texte long n'est pas comparé.
    if (libelle.size() > 11)
        return aucuneImage;
    const QByteArrayView vue(libelle);
    for (const Correspondance &c : table) {
        if (c.libelle == vue)
            return c.image;
    }
    return aucuneImage;
}

} // namespace ArbreXML
