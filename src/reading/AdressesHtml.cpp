#include "reading/AdressesHtml.h"

#include "reading/ResolutionAdresse.h"

#include <algorithm>
#include <vector>

namespace {

enum class SorteAttribut { Autre, Adresse, ListeSrcset };

// Le nom d'un attribut : du DOM (QStringView) ou de gumbo (QLatin1String, sans copie).
template<typename Vue>
SorteAttribut sorteDe(Vue nom)
{
    if (nom == QLatin1String("href") || nom == QLatin1String("src") || nom == QLatin1String("poster")
        || nom == QLatin1String("background"))
        return SorteAttribut::Adresse;
    return nom == QLatin1String("srcset") ? SorteAttribut::ListeSrcset : SorteAttribut::Autre;
}

// Les blancs ASCII, que HTML retire autour d'une adresse.
bool estBlancHtml(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; }

std::optional<QString> adresseResolue(QStringView ecrite, const QString &base)
{
    qsizetype debut = 0, fin = ecrite.size();
    while (debut < fin && estBlancHtml(ecrite[debut]))
        ++debut;
    while (fin > debut && estBlancHtml(ecrite[fin - 1]))
        --fin;
    const QStringView adresse = ecrite.sliced(debut, fin - debut);
    if (adresse.isEmpty() || adresse.startsWith(u'#') || estAdresseAbsolue(adresse))
        return std::nullopt;
    return resoudreAdresse(base, adresse.toString());
}

// Un srcset : des candidats séparés par des virgules, chacun une adresse suivie ou non de
// descripteurs (« 2x », « 640w »). Seules les adresses changent.
std::optional<QString> srcsetResolu(QStringView valeur, const QString &base)
{
    QString sortie;
    qsizetype fait = 0;
    const qsizetype n = valeur.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (estBlancHtml(valeur[i]) || valeur[i] == u','))
            ++i;
        const qsizetype debut = i;
        while (i < n && !estBlancHtml(valeur[i]))
            ++i;
        // Des virgules collées à l'adresse la terminent, elle et son candidat.
        qsizetype fin = i;
        while (fin > debut && valeur[fin - 1] == u',')
            --fin;
        if (const std::optional<QString> resolue = adresseResolue(valeur.sliced(debut, fin - debut), base)) {
            sortie += valeur.sliced(fait, debut - fait);
            sortie += *resolue;
            fait = fin;
        }
        if (fin < i)
            continue;
        // Les descripteurs, jusqu'à la virgule qui n'est pas entre parenthèses.
        int parentheses = 0;
        for (; i < n && (parentheses > 0 || valeur[i] != u','); ++i) {
            if (valeur[i] == u'(')
                ++parentheses;
            else if (valeur[i] == u')' && parentheses > 0)
                --parentheses;
        }
    }
    if (fait == 0)
        return std::nullopt;
    sortie += valeur.sliced(fait);
    return sortie;
}

// Une valeur d'attribut entre guillemets, en UTF-8, ses « & » et guillemets échappés.
QByteArray valeurEntreGuillemets(const QString &valeur, char guillemet)
{
    QByteArray sortie(1, guillemet);
    for (const char octet : valeur.toUtf8()) {
        if (octet == '&')
            sortie += "&amp;";
        else if (octet == guillemet)
            sortie += guillemet == '"' ? "&quot;" : "&#39;";
        else
            sortie += octet;
    }
    sortie += guillemet;
    return sortie;
}

} // namespace

std::optional<QString> adresseAttributResolue(QStringView nom, QStringView valeur, const QString &base)
{
    switch (sorteDe(nom)) {
    case SorteAttribut::Adresse:
        return adresseResolue(valeur, base);
    case SorteAttribut::ListeSrcset:
        return srcsetResolu(valeur, base);
    case SorteAttribut::Autre:
        break;
    }
    return std::nullopt;
}

HtmlResolu resoudreAdressesHtml(const QString &html, const QString &base, BudgetHtml &budget)
{
    // Sans balise, pas d'attribut.
    if (!html.contains(u'<'))
        return {html, false};
    const std::unique_ptr<FragmentHtml> fragment = FragmentHtml::lire(html, budget);
    if (!fragment)
        return {html, false};
    const QByteArray &source = fragment->source();
    struct Remplacement
    {
        qsizetype debut, longueur;
        QByteArray texte;
    };
    std::vector<Remplacement> remplacements;
    fragment->parcourir(
        [&](const GumboNode &noeud) {
            if (!FragmentHtml::aDesEnfants(noeud))
                return;
            const GumboVector &attributs = noeud.v.element.attributes;
            for (unsigned i = 0; i < attributs.length; ++i) {
                const auto *attribut = static_cast<const GumboAttribute *>(attributs.data[i]);
                const GumboStringPiece &ecrite = attribut->original_value;
                const QLatin1String nom(attribut->name);
                // Une valeur absente de la source (attribut ajouté par l'analyseur) n'a pas de place.
                if (ecrite.length == 0 || ecrite.data < source.constData()
                    || ecrite.data >= source.constData() + source.size() || sorteDe(nom) == SorteAttribut::Autre)
                    continue;
                const std::optional<QString> resolue =
                    adresseAttributResolue(QString(nom), QString::fromUtf8(attribut->value), base);
                if (resolue)
                    remplacements.push_back({fragment->position(ecrite.data), qsizetype(ecrite.length),
                                             valeurEntreGuillemets(*resolue, ecrite.data[0] == '\'' ? '\'' : '"')});
            }
        },
        [](const GumboNode &) {});
    if (remplacements.empty())
        return {html, fragment->sansReparation(), fragment->noeuds()};
    // Un élément recopié par l'analyseur (balise mal imbriquée) partage les attributs de son
    // modèle : une même valeur n'est réécrite qu'une fois.
    std::sort(remplacements.begin(), remplacements.end(),
              [](const Remplacement &a, const Remplacement &b) { return a.debut < b.debut; });
    QByteArray sortie;
    sortie.reserve(source.size() + 64 * qsizetype(remplacements.size()));
    qsizetype fait = 0;
    for (const Remplacement &r : remplacements) {
        if (r.debut < fait)
            continue;
        sortie += QByteArrayView(source).sliced(fait, r.debut - fait);
        sortie += r.texte;
        fait = r.debut + r.longueur;
    }
    sortie += QByteArrayView(source).sliced(fait);
    return {QString::fromUtf8(sortie), false};
}
