#include "base/ExportOpml.h"

#include "base/ImportOpml.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QXmlStreamWriter>
#include <vector>

namespace {

// Le texte, chaque caractère que XML 1.0 refuse (contrôle, moitié isolée d'une paire de
// substitution, U+FFFE, U+FFFF) remplacé par U+FFFD ; le compte augmente quand il a changé.
QString ecrivable(QString texte, int &valeursRemplacees)
{
    bool change = false;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < texte.size() && QChar::isLowSurrogate(texte.at(i + 1).unicode())) {
            ++i;
            continue;
        }
        if (c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xFFFD && !QChar::isSurrogate(c)))
            continue;
        texte[i] = QChar(QChar::ReplacementCharacter);
        change = true;
    }
    if (change)
        ++valeursRemplacees;
    return texte;
}

// Un flux tel qu'il s'écrit, ses valeurs rendues écrivables une fois même s'il est dans
// plusieurs dossiers.
struct FluxEcrit
{
    QString titre;
    QString adresse;
    QString lien;
};

void ecrireFlux(QXmlStreamWriter &xml, const FluxEcrit &flux)
{
    xml.writeEmptyElement(QStringLiteral("outline"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rss"));
    xml.writeAttribute(QStringLiteral("text"), flux.titre);
    xml.writeAttribute(QStringLiteral("title"), flux.titre);
    xml.writeAttribute(QStringLiteral("xmlUrl"), flux.adresse);
    if (!flux.lien.isEmpty())
        xml.writeAttribute(QStringLiteral("htmlUrl"), flux.lien);
}

// Les flux de chaque nom de rubrique cité, et les noms dans l'ordre de leur première citation.
struct Rangement
{
    QHash<QString, QList<const TFlux *>> fluxParNom;
    QStringList nomsCites;
    QList<const TFlux *> sansRubrique;
};

Rangement ranger(const QList<PFlux> &fluxBase)
{
    Rangement r;
    for (const PFlux &flux : fluxBase) {
        QSet<QString> nomsDuFlux;
        for (const TexteEtroit &etroit : std::as_const(flux->rubriquesAssociees)) {
            const QString nom = depuisEtroit(etroit);
            if (nom.isEmpty() || nomsDuFlux.contains(nom))
                continue;
            nomsDuFlux.insert(nom);
            auto place = r.fluxParNom.find(nom);
            if (place == r.fluxParNom.end()) {
                place = r.fluxParNom.insert(nom, {});
                r.nomsCites.append(nom);
            }
            place->append(flux.get());
        }
        if (nomsDuFlux.isEmpty())
            r.sansRubrique.append(flux.get());
    }
    return r;
}

// Les dossiers à écrire, en arbre : la racine (indice 0) tient les flux rangés nulle part.
struct Dossier
{
    QString nom;
    QList<int> sousDossiers;
    QHash<QString, int> sousDossierParNom;
    QList<const TFlux *> flux;
};

// Place la rubrique dans l'arbre par son chemin (« Tech / News ») et renvoie son dossier. Un nom
// dont un morceau serait vide reste un seul dossier : relu, il redonne le même nom.
int placer(std::vector<Dossier> &arbre, const QString &nom)
{
    QStringList morceaux = nom.split(separateurDossiersOpml);
    if (morceaux.contains(QString()))
        morceaux = QStringList{nom};
    int dossier = 0;
    for (const QString &morceau : std::as_const(morceaux)) {
        int suivant = arbre[dossier].sousDossierParNom.value(morceau, -1);
        if (suivant < 0) {
            suivant = int(arbre.size());
            arbre.push_back({morceau, {}, {}, {}});
            arbre[dossier].sousDossiers.append(suivant);
            arbre[dossier].sousDossierParNom.insert(morceau, suivant);
        }
        dossier = suivant;
    }
    return dossier;
}

} // namespace

QByteArray ecrireListeOpml(const QList<PFlux> &fluxBase, const QList<PRubrique> &rubriquesBase, int *valeursRemplacees)
{
    const Rangement rangement = ranger(fluxBase);
    // Les dossiers : les rubriques de la base, puis les noms cités sans rubrique ; chaque nom
    // non vide une fois.
    QStringList dossiers;
    QSet<QString> dejaPris;
    const auto prendre = [&dossiers, &dejaPris](const QString &nom) {
        if (!nom.isEmpty() && !dejaPris.contains(nom)) {
            dejaPris.insert(nom);
            dossiers.append(nom);
        }
    };
    for (const PRubrique &rubrique : rubriquesBase)
        prendre(rubrique->getNom());
    for (const QString &nom : rangement.nomsCites)
        prendre(nom);

    int remplacees = 0;
    std::vector<Dossier> arbre(1);
    for (const QString &nom : std::as_const(dossiers))
        arbre[placer(arbre, ecrivable(nom, remplacees))].flux += rangement.fluxParNom.value(nom);
    arbre[0].flux = rangement.sansRubrique;

    QByteArray octets;
    QXmlStreamWriter xml(&octets);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("opml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("head"));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Abonnements du Lecteur RSS"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("body"));
    // Parcours sans récursion : chaque niveau garde son dossier et le rang du sous-dossier suivant ;
    // un dossier écrit ses sous-dossiers, puis ses flux.
    std::vector<std::pair<int, qsizetype>> pile{{0, 0}};
    QHash<const TFlux *, FluxEcrit> fluxEcrits;
    while (!pile.empty()) {
        const int dossier = pile.back().first;
        const qsizetype rang = pile.back().second++;
        if (rang < arbre[dossier].sousDossiers.size()) {
            const int sousDossier = arbre[dossier].sousDossiers.at(rang);
            xml.writeStartElement(QStringLiteral("outline"));
            xml.writeAttribute(QStringLiteral("text"), arbre[sousDossier].nom);
            pile.push_back({sousDossier, 0});
            continue;
        }
        for (const TFlux *flux : std::as_const(arbre[dossier].flux)) {
            auto ecrit = fluxEcrits.find(flux);
            if (ecrit == fluxEcrits.end())
                ecrit = fluxEcrits.insert(flux, {ecrivable(flux->getTitre(), remplacees),
                                                 ecrivable(flux->getUrlRss(), remplacees),
                                                 ecrivable(flux->getLien(), remplacees)});
            ecrireFlux(xml, *ecrit);
        }
        pile.pop_back();
        xml.writeEndElement(); // le dossier, ou « body » pour la racine
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (valeursRemplacees)
        *valeursRemplacees = remplacees;
    return octets;
}
