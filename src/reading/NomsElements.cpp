#include "reading/NomsElements.h"

namespace {

const QLatin1String espaceAtom10("http://www.w3.org/2005/Atom");
const QLatin1String espaceAtom03("http://purl.org/atom/ns#");

QString prefixeDe(const QString &nom)
{
    const qsizetype deuxPoints = nom.indexOf(u':');
    return deuxPoints < 0 ? QString() : nom.left(deuxPoints);
}

// Le vocabulaire d'un espace de noms ; Autre pour un espace que les lecteurs ne lisent pas.
Vocabulaire vocabulaireDeLEspace(const QString &espace)
{
    if (espace == espaceAtom10 || espace == espaceAtom03)
        return Vocabulaire::Atom;
    if (espace == QLatin1String("http://purl.org/rss/1.0/modules/content/"))
        return Vocabulaire::ModuleContenu;
    if (espace == QLatin1String("http://purl.org/dc/elements/1.1/"))
        return Vocabulaire::DublinCore;
    if (espace == QLatin1String("http://purl.org/rss/1.0/") || espace == QLatin1String("http://my.netscape.com/rdf/simple/0.9/"))
        return Vocabulaire::Rss;
    return Vocabulaire::Autre;
}

} // namespace

NomsElements::NomsElements(const QDomElement &racine)
{
    const QString nom = racine.nodeName();
    const QString espace = racine.namespaceURI();
    m_atom03 = espace == espaceAtom03;
    m_atom = nom == u"feed" || espace == espaceAtom10 || m_atom03;
    m_prefixeAtom = prefixeDe(nom);
    if (m_atom)
        m_espaceAtom = espace;
}

NomElement NomsElements::nom(const QDomNode &noeud) const
{
    if (!noeud.isElement())
        return {};
    QString ecrit = noeud.nodeName();
    const qsizetype deuxPoints = ecrit.indexOf(u':');
    const QStringView prefixe = deuxPoints < 0 ? QStringView() : QStringView(ecrit).first(deuxPoints);
    const qsizetype debutLocal = deuxPoints + 1;
    const QString espace = noeud.namespaceURI();
    Vocabulaire vocabulaire = Vocabulaire::Autre;
    if (!espace.isEmpty()) {
        // Un espace de noms déclaré décide, quel que soit le préfixe ; celui de la racine d'un
        // flux Atom est celui d'Atom, même ancien (echo, pie) ou mal écrit. RSS 0.9x et 2.0 n'en
        // ont pas, mais certains flux en donnent un à leurs éléments sans préfixe : ceux-là
        // restent du RSS, hors des espaces des autres vocabulaires.
        vocabulaire = m_atom && espace == m_espaceAtom ? Vocabulaire::Atom : vocabulaireDeLEspace(espace);
        if (vocabulaire == Vocabulaire::Autre && prefixe.isEmpty() && !m_atom)
            vocabulaire = Vocabulaire::Rss;
    } else if (m_atom) {
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
