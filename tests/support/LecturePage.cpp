#include "LecturePage.h"

#include "commun/TexteEtroit.h"

#include <gumbo.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using Sortie = std::unique_ptr<GumboOutput, std::function<void(GumboOutput *)>>;

Sortie analyser(const QByteArray &utf8, GumboTag contexte)
{
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = contexte;
    options.max_errors = 0;
    auto *sortie = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    return Sortie(sortie, [options](GumboOutput *s) { gumbo_destroy_output(&options, s); });
}

bool estCache(GumboTag balise)
{
    for (const GumboTag cachee : {GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_TITLE, GUMBO_TAG_IFRAME,
                                  GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES, GUMBO_TAG_TEMPLATE}) {
        if (balise == cachee)
            return true;
    }
    return false;
}

QList<const GumboNode *> enfants(const GumboNode *noeud)
{
    QList<const GumboNode *> liste;
    if (noeud->type == GUMBO_NODE_ELEMENT || noeud->type == GUMBO_NODE_TEMPLATE) {
        for (unsigned i = 0; i < noeud->v.element.children.length; ++i)
            liste.append(static_cast<const GumboNode *>(noeud->v.element.children.data[i]));
    }
    return liste;
}

QList<const GumboNode *> elementsEnfants(const GumboNode *noeud, GumboTag balise = GUMBO_TAG_LAST)
{
    QList<const GumboNode *> liste;
    for (const GumboNode *enfant : enfants(noeud)) {
        if (enfant->type == GUMBO_NODE_ELEMENT && (balise == GUMBO_TAG_LAST || enfant->v.element.tag == balise))
            liste.append(enfant);
    }
    return liste;
}

QString texteDe(const GumboNode *racine)
{
    QString texte;
    std::vector<const GumboNode *> pile{racine};
    while (!pile.empty()) {
        const GumboNode *noeud = pile.back();
        pile.pop_back();
        if (noeud->type == GUMBO_NODE_TEXT || noeud->type == GUMBO_NODE_WHITESPACE || noeud->type == GUMBO_NODE_CDATA) {
            texte += QString::fromUtf8(noeud->v.text.text);
        } else if (noeud->type == GUMBO_NODE_ELEMENT && !estCache(noeud->v.element.tag)) {
            const QList<const GumboNode *> suite = enfants(noeud);
            for (auto e = suite.crbegin(); e != suite.crend(); ++e)
                pile.push_back(*e);
        }
    }
    return texte.simplified();
}

} // namespace

namespace LecturePage {

QString texteVisible(const QString &html) { return texteDe(analyser(html.toUtf8(), GUMBO_TAG_DIV)->root); }

std::optional<QStringList> cellulesDesInformations(const QByteArray &page)
{
    const Sortie sortie = analyser(depuisEtroit(page).toUtf8(), GUMBO_TAG_LAST);
    const QList<const GumboNode *> corps = elementsEnfants(sortie->root, GUMBO_TAG_BODY);
    if (corps.size() != 1)
        return std::nullopt;
    const QList<const GumboNode *> blocs = elementsEnfants(corps.first());
    if (blocs.size() < 2 || blocs.last()->v.element.tag != GUMBO_TAG_CENTER
        || !texteDe(blocs.last()).startsWith(u"RSS - lang :") || blocs.at(blocs.size() - 2)->v.element.tag != GUMBO_TAG_TABLE)
        return std::nullopt;
    // Après le pied, plus aucun texte.
    if (!texteDe(corps.first()).endsWith(texteDe(blocs.last())))
        return std::nullopt;
    QStringList cellules;
    for (const GumboNode *partie : elementsEnfants(blocs.at(blocs.size() - 2))) {
        for (const GumboNode *ligne : elementsEnfants(partie, GUMBO_TAG_TR)) {
            const QList<const GumboNode *> cases = elementsEnfants(ligne);
            if (cases.size() != 1 || cases.first()->v.element.tag != GUMBO_TAG_TD)
                return std::nullopt;
            cellules.append(texteDe(cases.first()));
        }
    }
    return cellules;
}

} // namespace LecturePage
