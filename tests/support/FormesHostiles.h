#pragma once
// Les formes de documents hostiles, à la taille voulue, partagées par le test des documents
// hostiles et la mesure de leur coût : chacune vise un budget de la construction de l'arbre,
// déguisée au besoin par un encodage, une valeur par défaut ou une entité. Chaque forme vient
// sous plusieurs en-têtes (Variante) : ce qui précède son DOCTYPE ou sa racine ne doit rien
// changer à ce qu'elle coûte.

#include "GenerateurFlux.h"

#include <QList>
#include <QStringEncoder>

namespace FormesHostiles {

struct Forme
{
    QByteArray nom;
    QByteArray octets;
    const char *refus; // un morceau du message de refus ; nullptr : document lu
};

// Répète un motif entre un début et une fin jusqu'à la taille voulue.
inline QByteArray remplir(const QByteArray &debut, const QByteArray &motif, const QByteArray &fin, qsizetype taille)
{
    const qsizetype n = std::max<qsizetype>(1, (taille - debut.size() - fin.size()) / motif.size());
    return debut + motif.repeated(n) + fin;
}

// Un flux RSS ordinaire d'à peu près la taille voulue.
inline QByteArray fluxOrdinaire(qsizetype taille)
{
    return GenerateurFlux::rss2(std::max<int>(1, int(taille / 446)));
}

// Le même sans sa déclaration XML : le corps d'une forme, que précède l'en-tête d'une variante.
inline QByteArray corpsOrdinaire(qsizetype taille)
{
    const QByteArray flux = fluxOrdinaire(taille);
    return flux.sliced(flux.indexOf("?>\n") + 3);
}

// Ce qui précède le DOCTYPE (ou la racine) d'un document dont le corps est dans l'encodage nommé :
// une déclaration qui le nomme, entre `avant` et `apres`. Sans nom de variante, un corps en UTF-8
// n'a pas de déclaration du tout.
struct Variante
{
    const char *nom;
    QByteArray avant;
    QByteArray apres;
    bool malFormee; // le parseur refuse l'en-tête lui-même

    QByteArray entete(const QByteArray &encodage) const
    {
        if (!*nom && encodage.isEmpty())
            return {};
        return avant + (encodage.isEmpty() ? QByteArray("UTF-8") : encodage) + apres;
    }
};

inline QList<Variante> variantes()
{
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"";
    return {
        {"", declaration, "\"?>\n", false},
        {"déclaration", declaration, "\"?>\n", false},
        {"commentaire", declaration, "\"?>\n<!-- avant le reste -->\n", false},
        // Des blancs au-delà des 256 premiers octets avant l'encodage déclaré.
        {"déclaration allongée", "<?xml version=\"1.0\"" + QByteArray(300, ' ') + "encoding=\"", "\"?>\n", false},
        {"encoding en double", "<?xml version=\"1.0\" encoding=\"UTF-8\" encoding=\"", "\"?>\n", true},
    };
}

// En ISO-2022-JP, « ESC $ B <? ESC ( B » ouvre ce qu'un lecteur d'octets prendrait pour une
// instruction de traitement.
inline QByteArray deguiseISO2022(const QByteArray &dtd, const QByteArray &motif, const QByteArray &fin, qsizetype taille)
{
    return remplir(dtd + "<rss><channel><title>\x1b$B<?\x1b(B", motif, fin, taille);
}

// Le texte en UTF-7 : une seule suite en base64 de son UTF-16.
inline QByteArray utf7(const QByteArray &ascii)
{
    return "+" + QStringEncoder(QStringConverter::Utf16BE)(QString::fromLatin1(ascii)).operator QByteArray().toBase64(
                     QByteArray::OmitTrailingEquals)
        + "-";
}

inline QByteArray attributsNombreux(qsizetype taille)
{
    QByteArray attributs = "<rss a0=\"\"";
    for (int i = 1; attributs.size() < taille; ++i)
        attributs += " a" + QByteArray::number(i) + "=\"\"";
    return attributs + "/>";
}

// Chaque forme sous chaque en-tête.
inline QList<Forme> formes(qsizetype taille)
{
    struct Corps
    {
        const char *nom;
        QByteArray encodage; // vide : UTF-8
        QByteArray octets;
        const char *refus;
    };
    const QByteArray grosse = "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>\n";
    QByteArray attlist, nomsLongs;
    for (int i = 0; i < 16000; ++i)
        attlist += "<!ATTLIST x a" + QByteArray::number(i) + " CDATA #IMPLIED>";
    for (int i = 0; i < 256; ++i)
        nomsLongs += "<!ATTLIST x a" + QByteArray::number(i) + QByteArray(4000, 'n') + " CDATA \"v\">";
    // Un flux ordinaire dont une description développe une entité en 16,4 M caractères.
    QByteArray developpee = corpsOrdinaire(taille);
    developpee.replace("<rss version", QByteArray(grosse + "<rss version"));
    developpee.replace("<description>Un flux", QByteArray("<description>" + QByteArray("&e;").repeated(4100) + "Un flux"));
    const QList<Corps> corps = {
        {"flux ordinaire", {}, corpsOrdinaire(taille), nullptr},
        {"ATTLIST de 4 000 caractères", {},
         remplir("<!DOCTYPE rss [<!ATTLIST x a CDATA \"" + QByteArray(4000, 'x') + "\">]><rss>", "<x/>", "</rss>", taille),
         "par défaut"},
        {"256 ATTLIST aux noms de 4 000 caractères", {},
         remplir("<!DOCTYPE rss [" + nomsLongs + "]><rss>", "<x/>", "</rss>", std::max(taille, nomsLongs.size() + 4000)),
         "par défaut"},
        {"entités, déguisées en ISO-2022-JP", "ISO-2022-JP", deguiseISO2022(grosse, "&e;", "</title></channel></rss>", taille),
         "entités"},
        {"imbrication, déguisée en ISO-2022-JP", "ISO-2022-JP",
         deguiseISO2022(QByteArray(), "<a>", "", std::min<qsizetype>(taille, 20000 * 3 + 100)), "niveaux"},
        {"entités en UTF-7", "UTF-7",
         utf7(grosse + remplir("<rss><channel><title>", "&e;", "</title></channel></rss>", taille * 3 / 8)), "entités"},
        {"un élément de nombreux attributs", {}, attributsNombreux(taille), "attributs"},
        {"nombreux attributs en UTF-7", "UTF-7", utf7(attributsNombreux(taille * 3 / 8)), "attributs"},
        {"16 000 ATTLIST et des éléments", {},
         remplir("<!DOCTYPE rss [" + attlist + "]><rss>", "<x/>", "</rss>", std::max(taille, attlist.size() * 2)), "DTD"},
        {"entités dans les attributs", {}, remplir(grosse + "<rss>", "<x a=\"&e;&e;\"/>", "</rss>", taille), "entités"},
        {"une description de 16 M caractères", {}, developpee, "entités"},
    };
    QList<Forme> liste;
    for (const Corps &c : corps) {
        for (const Variante &v : variantes()) {
            const QByteArray nom = *v.nom ? QByteArray(c.nom) + ", " + v.nom : QByteArray(c.nom);
            liste.append({nom, v.entete(c.encodage) + c.octets, v.malFormee ? "déclaration XML mal formée" : c.refus});
        }
    }
    return liste;
}

} // namespace FormesHostiles
