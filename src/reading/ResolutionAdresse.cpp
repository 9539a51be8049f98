#include "reading/ResolutionAdresse.h"

#include <QStringView>

namespace {

// Les cinq parties d'une référence ; une partie absente n'est pas une partie vide.
struct Composants
{
    QStringView schema, autorite, chemin, requete, fragment;
    bool aSchema = false, aAutorite = false, aRequete = false, aFragment = false;
};

bool estLettre(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool estSchema(QStringView texte)
{
    if (texte.isEmpty() || !estLettre(texte.front()))
        return false;
    for (QChar c : texte) {
        if (!estLettre(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    return true;
}

// L'indice du premier caractère de « arrets » à partir de debut, ou la longueur du texte.
template<typename... Arrets>
qsizetype jusquA(QStringView texte, qsizetype debut, Arrets... arrets)
{
    const QChar *d = texte.data();
    const qsizetype n = texte.size();
    while (debut < n && ((d[debut] != arrets) && ...))
        ++debut;
    return debut;
}

Composants decomposer(QStringView texte)
{
    Composants c;
    qsizetype i = 0;
    const qsizetype deuxPoints = jusquA(texte, 0, u':', u'/', u'?', u'#');
    if (deuxPoints < texte.size() && texte[deuxPoints] == u':' && estSchema(texte.first(deuxPoints))) {
        c.schema = texte.first(deuxPoints);
        c.aSchema = true;
        i = deuxPoints + 1;
    }
    if (texte.sliced(i).startsWith(u"//")) {
        const qsizetype fin = jusquA(texte, i + 2, u'/', u'?', u'#');
        c.autorite = texte.sliced(i + 2, fin - i - 2);
        c.aAutorite = true;
        i = fin;
    }
    qsizetype fin = jusquA(texte, i, u'?', u'#');
    c.chemin = texte.sliced(i, fin - i);
    i = fin;
    if (i < texte.size() && texte[i] == u'?') {
        fin = jusquA(texte, i + 1, u'#');
        c.requete = texte.sliced(i + 1, fin - i - 1);
        c.aRequete = true;
        i = fin;
    }
    if (i < texte.size()) {
        c.fragment = texte.sliced(i + 1);
        c.aFragment = true;
    }
    return c;
}

// Retire de la sortie son dernier segment et la barre qui le précède.
void retirerDernierSegment(QString &sortie)
{
    const qsizetype barre = sortie.lastIndexOf(u'/');
    sortie.truncate(barre < 0 ? 0 : barre);
}

// Le retrait des segments « . » et « .. » (RFC 3986, 5.2.4). Un chemin sans tel segment (ni
// « . » en tête, ni « /. ») revient tel quel.
QString retirerPoints(QStringView entree)
{
    if (!entree.startsWith(u'.') && !entree.contains(u"/."))
        return entree.toString();
    QString sortie;
    sortie.reserve(entree.size());
    while (!entree.isEmpty()) {
        if (entree.startsWith(u"../")) {
            entree = entree.sliced(3);
        } else if (entree.startsWith(u"./") || entree.startsWith(u"/./")) {
            entree = entree.sliced(2);
        } else if (entree == u"/.") {
            entree = u"/";
        } else if (entree.startsWith(u"/../")) {
            entree = entree.sliced(3);
            retirerDernierSegment(sortie);
        } else if (entree == u"/..") {
            entree = u"/";
            retirerDernierSegment(sortie);
        } else if (entree == u"." || entree == u"..") {
            entree = {};
        } else {
            // Le premier segment, avec sa barre de tête, passe à la sortie.
            const qsizetype fin = jusquA(entree, entree.startsWith(u'/') ? 1 : 0, u'/');
            sortie += entree.first(fin);
            entree = entree.sliced(fin);
        }
    }
    return sortie;
}

// La fusion d'un chemin relatif avec celui de la base (RFC 3986, 5.2.3).
QString fusionner(const Composants &base, QStringView chemin)
{
    QString fusion = base.aAutorite && base.chemin.isEmpty()
        ? QStringLiteral("/")
        : base.chemin.first(base.chemin.lastIndexOf(u'/') + 1).toString();
    fusion += chemin;
    return fusion;
}

} // namespace

QString resoudreAdresse(const QString &base, const QString &reference)
{
    const Composants r = decomposer(reference);
    const Composants b = decomposer(base);
    Composants t;
    QString chemin;
    if (r.aSchema || r.aAutorite) {
        t = r;
        if (!r.aSchema) {
            t.schema = b.schema;
            t.aSchema = b.aSchema;
        }
        chemin = retirerPoints(r.chemin);
    } else {
        t = b;
        if (r.chemin.isEmpty()) {
            chemin = b.chemin.toString();
            if (r.aRequete) {
                t.requete = r.requete;
                t.aRequete = true;
            }
        } else {
            chemin = retirerPoints(r.chemin.startsWith(u'/') ? r.chemin.toString() : fusionner(b, r.chemin));
            t.requete = r.requete;
            t.aRequete = r.aRequete;
        }
    }
    t.fragment = r.fragment;
    t.aFragment = r.aFragment;

    // La recomposition (RFC 3986, 5.3).
    QString cible;
    cible.reserve(base.size() + reference.size());
    const auto ajouter = [&cible](bool present, QStringView avant, QStringView partie, QStringView apres) {
        if (present) {
            cible += avant;
            cible += partie;
            cible += apres;
        }
    };
    ajouter(t.aSchema, {}, t.schema, u":");
    ajouter(t.aAutorite, u"//", t.autorite, {});
    cible += chemin;
    ajouter(t.aRequete, u"?", t.requete, {});
    ajouter(t.aFragment, u"#", t.fragment, {});
    return cible;
}

bool estAdresseHttp(QStringView adresse)
{
    return adresse.startsWith(u"http://", Qt::CaseInsensitive) || adresse.startsWith(u"https://", Qt::CaseInsensitive);
}

bool estAdresseAbsolue(QStringView adresse)
{
    const qsizetype deuxPoints = jusquA(adresse, 0, u':', u'/', u'?', u'#');
    return deuxPoints < adresse.size() && adresse[deuxPoints] == u':' && estSchema(adresse.first(deuxPoints));
}

QStringView sansBlancsXml(QStringView texte)
{
    const auto blanc = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    qsizetype debut = 0, fin = texte.size();
    while (debut < fin && blanc(texte[debut]))
        ++debut;
    while (fin > debut && blanc(texte[fin - 1]))
        --fin;
    return texte.sliced(debut, fin - debut);
}

QString adresseDuDocument(QStringView ecrite, const std::optional<QString> &base)
{
    const QStringView adresse = sansBlancsXml(ecrite);
    if (!base || adresse.isEmpty() || estAdresseAbsolue(adresse))
        return adresse.toString();
    return resoudreAdresse(*base, adresse.toString());
}
