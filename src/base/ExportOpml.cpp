#include "base/ExportOpml.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QXmlStreamWriter>

namespace {

void ecrireFlux(QXmlStreamWriter &xml, const TFlux &flux)
{
    xml.writeEmptyElement(QStringLiteral("outline"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rss"));
    xml.writeAttribute(QStringLiteral("text"), flux.getTitre());
    xml.writeAttribute(QStringLiteral("title"), flux.getTitre());
    xml.writeAttribute(QStringLiteral("xmlUrl"), flux.getUrlRss());
    if (!flux.getLien().isEmpty())
        xml.writeAttribute(QStringLiteral("htmlUrl"), flux.getLien());
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

} // namespace

QByteArray ecrireListeOpml(const QList<PFlux> &fluxBase, const QList<PRubrique> &rubriquesBase)
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
    for (const QString &nom : std::as_const(dossiers)) {
        xml.writeStartElement(QStringLiteral("outline"));
        xml.writeAttribute(QStringLiteral("text"), nom);
        for (const TFlux *flux : rangement.fluxParNom.value(nom))
            ecrireFlux(xml, *flux);
        xml.writeEndElement();
    }
    for (const TFlux *flux : rangement.sansRubrique)
        ecrireFlux(xml, *flux);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return octets;
}
