#include "ChaineProfonde.h"

namespace OutilsTests {

void chargerChaineProfonde(TDocumentXML &document, int niveaux, const QString &nom, const QString &texte)
{
    document.chargerOctets("<a/>");
    QDomDocument &dom = document.dom();
    QDomNode chaine = dom.createTextNode(texte);
    for (int i = 1; i < niveaux; ++i) {
        QDomElement element = dom.createElement(nom);
        element.appendChild(chaine);
        chaine = element;
    }
    document.elementDocument().appendChild(chaine);
}

} // namespace OutilsTests
