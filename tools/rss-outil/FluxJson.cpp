#include "FluxJson.h"

#include <QJsonArray>

QJsonObject fluxEnJson(const TFlux &flux)
{
    const TImageFlux &image = flux.getImage();
    QJsonArray infos;
    for (const PInfo &info : flux.infos) {
        infos.append(QJsonObject{{QStringLiteral("titre"), info->getTitre()},
                                 {QStringLiteral("lien"), info->getLien()},
                                 {QStringLiteral("description"), info->getDescription()},
                                 {QStringLiteral("datePub"), info->getDatePub()}});
    }
    QJsonArray rubriques;
    for (const TexteEtroit &nom : flux.rubriquesAssociees)
        rubriques.append(depuisEtroit(nom));
    return QJsonObject{
        {QStringLiteral("titre"), flux.getTitre()},
        {QStringLiteral("lien"), flux.getLien()},
        {QStringLiteral("description"), flux.getDescription()},
        {QStringLiteral("copyright"), flux.getCopyright()},
        {QStringLiteral("datePub"), flux.getDatePub()},
        {QStringLiteral("langue"), flux.getLangue()},
        {QStringLiteral("auteur"), flux.getAuteur()},
        {QStringLiteral("urlrss"), flux.getUrlRss()},
        {QStringLiteral("image"),
         QJsonObject{{QStringLiteral("titre"), image.getTitre()},
                     {QStringLiteral("lien"), image.getLien()},
                     {QStringLiteral("url"), image.getUrl()},
                     {QStringLiteral("description"), image.getDescription()},
                     {QStringLiteral("hauteur"), image.getHauteur()},
                     {QStringLiteral("largeur"), image.getLargeur()}}},
        {QStringLiteral("infos"), infos},
        {QStringLiteral("rubriquesAssociees"), rubriques},
    };
}
