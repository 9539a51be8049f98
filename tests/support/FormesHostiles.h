#pragma once
// Les formes de documents hostiles, à la taille voulue, partagées par le test des documents
// hostiles, la mesure de leur coût et les graines du fuzzing : chacune vise un budget de la
// construction de l'arbre, déguisée au besoin par un encodage, une valeur par défaut ou une entité.

#include "GenerateurFlux.h"

#include <QList>
#include <QStringEncoder>

namespace FormesHostiles {

struct Forme
{
    const char *nom;
    QByteArray octets;
    const char *refus; // un morceau du message de refus ; nullptr pour un document accepté
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

// En ISO-2022-JP, « ESC $ B <? ESC ( B » ouvre ce qu'un lecteur d'octets prendrait pour une
// instruction de traitement.
inline QByteArray deguiseISO2022(const QByteArray &dtd, const QByteArray &motif, const QByteArray &fin, qsizetype taille)
{
    return remplir("<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?>\n" + dtd + "<rss><channel><title>\x1b$B<?\x1b(B",
                   motif, fin, taille);
}

inline QList<Forme> formes(qsizetype taille)
{
    const QByteArray grosse = "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>\n";
    // En UTF-7, tout le document après l'en-tête : une seule suite en base64 de son UTF-16.
    const QByteArray corpsUtf7 = grosse + remplir("<rss><channel><title>", "&e;", "</title></channel></rss>", taille * 3 / 8);
    const QByteArray utf7 = "+" + QStringEncoder(QStringConverter::Utf16BE)(QString::fromLatin1(corpsUtf7))
                                      .operator QByteArray().toBase64(QByteArray::OmitTrailingEquals) + "-";
    QByteArray attlist;
    for (int i = 0; i < 16000; ++i)
        attlist += "<!ATTLIST x a" + QByteArray::number(i) + " CDATA #IMPLIED>";
    QByteArray attributs = "<rss a0=\"\"";
    for (int i = 1; attributs.size() < taille; ++i)
        attributs += " a" + QByteArray::number(i) + "=\"\"";
    return {
        {"flux ordinaire", fluxOrdinaire(taille), nullptr},
        {"ATTLIST de 4 000 caractères",
         remplir("<!DOCTYPE rss [<!ATTLIST x a CDATA \"" + QByteArray(4000, 'x') + "\">]><rss>", "<x/>", "</rss>", taille),
         "par défaut"},
        {"entités, déguisées en ISO-2022-JP", deguiseISO2022(grosse, "&e;", "</title></channel></rss>", taille),
         "entités"},
        {"imbrication, déguisée en ISO-2022-JP",
         deguiseISO2022(QByteArray(), "<a>", "", std::min<qsizetype>(taille, 20000 * 3 + 100)), "niveaux"},
        {"entités en UTF-7", "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n" + utf7, "entités"},
        {"un élément de nombreux attributs", attributs + "/>", "attributs"},
        {"16 000 ATTLIST et des éléments",
         remplir("<!DOCTYPE rss [" + attlist + "]><rss>", "<x/>", "</rss>", std::max(taille, attlist.size() * 2)),
         "DTD"},
        {"entités dans les attributs", remplir(grosse + "<rss>", "<x a=\"&e;&e;\"/>", "</rss>", taille), "entités"},
    };
}

} // namespace FormesHostiles
