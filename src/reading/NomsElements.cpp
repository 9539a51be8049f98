#include "reading/NomsElements.h"

namespace {

const QLatin1String espaceAtom10("http://www.w3.org/2005/Atom");
const QLatin1String espaceAtom03("http://purl.org/atom/ns#");

QString prefixeDe(const QString &nom)
{
    const qsizetype deuxPoints = nom.indexOf(u':');
    return deuxPoints < 0 ? QString() : nom.left(deuxPoints);
}

} // namespace

NomsElements::NomsElements(const QDomElement &racine)
{
    const QString nom = racine.nodeName();
    const QString prefixe = prefixeDe(nom);
    // L'espace de noms de la racine, que son préfixe nomme : il est déclaré sur elle.
    const QString espace = racine.attribute(prefixe.isEmpty() ? QStringLiteral("xmlns") : u"xmlns:" + prefixe);
    m_atom03 = espace == espaceAtom03;
    m_atom = nom == u"feed" || espace == espaceAtom10 || m_atom03;
    m_prefixeAtom = prefixe;
}

NomElement NomsElements::nom(const QDomNode &noeud) const
{
    if (!noeud.isElement())
        return {};
    QString ecrit = noeud.nodeName();
    const qsizetype deuxPoints = ecrit.indexOf(u':');
    const QStringView prefixe = deuxPoints < 0 ? QStringView() : QStringView(ecrit).first(deuxPoints);
    const qsizetype debutLocal = deuxPoints + 1;
    Vocabulaire vocabulaire = Vocabulaire::Autre;
    if (m_atom) {
        if (prefixe == m_prefixeAtom)
            vocabulaire = Vocabulaire::Atom;
    } else if (prefixe.isEmpty()) {
        vocabulaire = Vocabulaire::Rss;
    } else if (prefixe == u"dc") {
        vocabulaire = Vocabulaire::DublinCore;
    } else if (prefixe == u"content") {
        vocabulaire = Vocabulaire::ModuleContenu;
    }
    return NomElement(std::move(ecrit), debutLocal, vocabulaire);
}
