#include "DescriptionBase.h"

QString texteLisible(const QString &texte)
{
    QString sortie;
    for (const QChar c : texte) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            sortie += QStringLiteral("\\\\");
        else if (u >= 0x20 && u < 0x7F)
            sortie += c;
        else
            sortie += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
    }
    return sortie;
}

namespace {

// Les octets d'un texte étroit, un à un, pour qu'aucune conversion ne masque une différence.
QString octets(const QByteArray &etroit)
{
    QString sortie;
    for (const char o : etroit)
        sortie += QStringLiteral("%1 ").arg(int(static_cast<unsigned char>(o)), 2, 16, QLatin1Char('0'));
    return sortie;
}

} // namespace

QStringList decrireBase(const QList<PFlux> &flux, const QList<PRubrique> &rubriques)
{
    QStringList lignes;
    auto valeur = [&lignes](const QString &chemin, const QString &texte) {
        lignes.append(chemin + QStringLiteral(" = [") + texteLisible(texte) + QLatin1Char(']'));
    };
    for (qsizetype i = 0; i < flux.size(); ++i) {
        const TFlux &f = *flux.at(i);
        const QString p = QStringLiteral("flux[%1].").arg(i);
        valeur(p + u"titre", f.getTitre());
        valeur(p + u"titreEnTexte", QString::number(f.getTitreEnTexte()));
        valeur(p + u"copyrightEnTexte", QString::number(f.getCopyrightEnTexte()));
        valeur(p + u"lien", f.getLien());
        valeur(p + u"description", f.getDescription());
        valeur(p + u"copyright", f.getCopyright());
        valeur(p + u"datePub", f.getDatePub());
        valeur(p + u"langue", f.getLangue());
        valeur(p + u"auteur", f.getAuteur());
        valeur(p + u"urlrss", f.getUrlRss());
        const TImageFlux &im = f.getImage();
        valeur(p + u"image.titre", im.getTitre());
        valeur(p + u"image.lien", im.getLien());
        valeur(p + u"image.url", im.getUrl());
        valeur(p + u"image.description", im.getDescription());
        valeur(p + u"image.hauteur", im.getHauteur());
        valeur(p + u"image.largeur", im.getLargeur());
        for (qsizetype k = 0; k < f.infos.size(); ++k) {
            const TInfo &info = *f.infos.at(k);
            const QString q = p + QStringLiteral("infos[%1].").arg(k);
            valeur(q + u"titre", info.getTitre());
            valeur(q + u"titreEnTexte", QString::number(info.getTitreEnTexte()));
            valeur(q + u"lien", info.getLien());
            valeur(q + u"description", info.getDescription());
            valeur(q + u"datePub", info.getDatePub());
        }
        for (qsizetype k = 0; k < f.rubriquesAssociees.size(); ++k)
            valeur(p + QStringLiteral("rubriquesAssociees[%1]").arg(k), octets(f.rubriquesAssociees.at(k)));
    }
    for (qsizetype i = 0; i < rubriques.size(); ++i) {
        const TRubrique &r = *rubriques.at(i);
        const QString p = QStringLiteral("rubriques[%1].").arg(i);
        valeur(p + u"nom", r.getNom());
        valeur(p + u"couleur", octets(r.getCouleur()));
        valeur(p + u"icone", r.getIcone());
    }
    lignes.append(QStringLiteral("%1 flux, %2 rubriques").arg(flux.size()).arg(rubriques.size()));
    return lignes;
}
