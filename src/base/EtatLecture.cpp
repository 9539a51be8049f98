#include "base/EtatLecture.h"

#include "base/TdmRSS.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

constexpr int versionFichier = 1;

QString texteResultat(ResultatActualisation::Issue issue)
{
    switch (issue) {
    case ResultatActualisation::Issue::Lue:
        return QStringLiteral("lu");
    case ResultatActualisation::Issue::Inchangee:
        return QStringLiteral("inchange");
    case ResultatActualisation::Issue::Echec:
        break;
    }
    return QStringLiteral("echec");
}

// Les clés données, chacune une fois, dans leur ordre.
QStringList sansDoublons(const QStringList &cles)
{
    QStringList uniques;
    uniques.reserve(cles.size());
    QSet<QString> vues;
    vues.reserve(cles.size());
    for (const QString &cle : cles) {
        if (!vues.contains(cle)) {
            vues.insert(cle);
            uniques.append(cle);
        }
    }
    return uniques;
}

// Les clés données, chacune une fois, dans leur ordre, et chacune dans une chaîne à l'état : celle
// qu'il garde déjà pour une clé connue, sinon une copie faite ici. Les clés d'un résultat sont
// faites sur un fil de lecture, au milieu de l'arbre d'un document : n'en garder aucune laisse
// toute cette mémoire se libérer.
QStringList clesGardees(const QStringList &cles, const QStringList &vues)
{
    const QSet<QString> connues(vues.cbegin(), vues.cend());
    QStringList gardees;
    for (const QString &cle : sansDoublons(cles)) {
        const auto connue = connues.constFind(cle);
        gardees.append(connue != connues.cend() ? *connue : QString(cle.constData(), cle.size()));
    }
    return gardees;
}

// Les clés de la dernière copie, puis au plus autresClesGardees des anciennes qui n'en sont pas.
QStringList fusionnerVues(const QStringList &copie, const QStringList &anciennes)
{
    const QSet<QString> dansCopie(copie.cbegin(), copie.cend());
    QStringList vues = copie;
    int autres = 0;
    for (const QString &cle : anciennes) {
        if (autres >= TEtatLecture::autresClesGardees)
            break;
        if (!dansCopie.contains(cle)) {
            vues.append(cle);
            ++autres;
        }
    }
    return vues;
}

QJsonArray versJson(const QStringList &cles)
{
    QJsonArray tableau;
    for (const QString &cle : cles)
        tableau.append(cle);
    return tableau;
}

// Une liste de textes ; faux quand la valeur n'en est pas une.
bool lireTextes(const QJsonValue &valeur, QStringList &textes)
{
    if (valeur.isUndefined())
        return true;
    if (!valeur.isArray())
        return false;
    for (const QJsonValue &element : valeur.toArray()) {
        if (!element.isString())
            return false;
        textes.append(element.toString());
    }
    return true;
}

} // namespace

TEtatLecture::Chargement TEtatLecture::charger(const QString &chemin)
{
    m_sources.clear();
    m_actualisationAutomatique = false;
    QFile fichier(chemin);
    if (!fichier.exists())
        return {};

    QString raison;
    QHash<QString, Source> sources;
    bool automatique = false;
    if (!fichier.open(QIODevice::ReadOnly)) {
        raison = fichier.errorString();
    } else {
        QJsonParseError erreur;
        const QJsonDocument document = QJsonDocument::fromJson(fichier.readAll(), &erreur);
        fichier.close();
        const QJsonObject racine = document.object();
        if (erreur.error != QJsonParseError::NoError)
            raison = erreur.errorString();
        else if (!document.isObject() || racine.value(u"version").toInt() != versionFichier
                 || !racine.value(u"sources").isArray())
            raison = QStringLiteral("ce n'est pas un état de lecture");
        automatique = racine.value(u"actualisationAutomatique").toBool();
        for (const QJsonValue &valeur : racine.value(u"sources").toArray()) {
            const QJsonObject objet = valeur.toObject();
            Source source;
            const QString adresse = objet.value(u"adresse").toString();
            if (!valeur.isObject() || adresse.isEmpty() || !lireTextes(objet.value(u"vues"), source.vues)
                || !lireTextes(objet.value(u"nouvelles"), source.nouvelles)) {
                raison = QStringLiteral("une source y est illisible");
                break;
            }
            source.etag = objet.value(u"etag").toString().toUtf8();
            source.derniereModification = objet.value(u"derniereModification").toString().toUtf8();
            source.actualisation = QDateTime::fromString(objet.value(u"actualisation").toString(), Qt::ISODate);
            source.resultat = objet.value(u"resultat").toString();
            source.statut = objet.value(u"statut").toInt();
            source.erreur = objet.value(u"erreur").toString();
            sources.insert(adresse, std::move(source));
        }
    }
    if (raison.isEmpty()) {
        m_sources = std::move(sources);
        m_actualisationAutomatique = automatique;
        return {};
    }
    // Gardé à côté, jamais effacé : l'utilisateur peut encore le lire ou le réparer.
    const QString copie = cheminLibreCopieIllisible(chemin, QDateTime::currentDateTime());
    if (!QFile::rename(chemin, copie))
        throw ErreurEcriture(QStringLiteral("Impossible de garder l'état de lecture illisible « %1 » sous « %2 ».")
                                 .arg(chemin, copie));
    return {copie, raison};
}

void TEtatLecture::ecrire(const QString &chemin) const
{
    QStringList adresses = m_sources.keys();
    std::sort(adresses.begin(), adresses.end());
    QJsonArray sources;
    for (const QString &adresse : std::as_const(adresses)) {
        const Source &source = m_sources[adresse];
        QJsonObject objet;
        objet.insert(u"adresse", adresse);
        objet.insert(u"vues", versJson(source.vues));
        objet.insert(u"nouvelles", versJson(source.nouvelles));
        objet.insert(u"etag", QString::fromUtf8(source.etag));
        objet.insert(u"derniereModification", QString::fromUtf8(source.derniereModification));
        objet.insert(u"actualisation", source.actualisation.toUTC().toString(Qt::ISODate));
        objet.insert(u"resultat", source.resultat);
        objet.insert(u"statut", source.statut);
        objet.insert(u"erreur", source.erreur);
        sources.append(objet);
    }
    QJsonObject racine;
    racine.insert(u"version", versionFichier);
    racine.insert(u"actualisationAutomatique", m_actualisationAutomatique);
    racine.insert(u"sources", sources);
    ecrireFichierEntier(chemin, QJsonDocument(racine).toJson(QJsonDocument::Indented));
}

QList<DemandeActualisation> TEtatLecture::demandes(const QList<PFlux> &flux) const
{
    QList<DemandeActualisation> demandes;
    QSet<QString> adresses;
    for (const PFlux &f : flux) {
        const QString adresse = f->getUrlRss();
        if (adresses.contains(adresse))
            continue;
        adresses.insert(adresse);
        DemandeActualisation demande;
        demande.adresse = adresse;
        demande.copieLocale = Emplacement::dossierRessources() + TdmRSS::nomCopieLocale(adresse);
        if (const Source *s = source(adresse)) {
            demande.etag = s->etag;
            demande.derniereModification = s->derniereModification;
        }
        demandes.append(demande);
    }
    return demandes;
}

int TEtatLecture::appliquer(const ResultatActualisation &resultat, const QDateTime &moment)
{
    Source &source = m_sources[resultat.adresse];
    source.actualisation = moment;
    source.resultat = texteResultat(resultat.issue);
    source.statut = resultat.statut;
    source.erreur = resultat.erreur;
    if (resultat.issue != ResultatActualisation::Issue::Lue)
        return 0;

    const QStringList cles = clesGardees(resultat.cles, source.vues);
    const QSet<QString> vues(source.vues.cbegin(), source.vues.cend());
    const QSet<QString> nouvellesAvant(source.nouvelles.cbegin(), source.nouvelles.cend());
    int jamaisVues = 0;
    QStringList nouvelles;
    for (const QString &cle : cles) {
        const bool jamaisVue = !vues.contains(cle);
        jamaisVues += jamaisVue ? 1 : 0;
        // Une nouvelle pas encore lue le reste tant que la copie la tient.
        if (jamaisVue || nouvellesAvant.contains(cle))
            nouvelles.append(cle);
    }
    source.nouvelles = nouvelles;
    source.vues = fusionnerVues(cles, source.vues);
    source.etag = resultat.etag;
    source.derniereModification = resultat.derniereModification;
    return jamaisVues;
}

TEtatLecture::Nouveautes TEtatLecture::nouveautes(const QString &adresse) const
{
    Nouveautes n;
    if (const Source *s = source(adresse)) {
        n.m_vues = QSet<QString>(s->vues.cbegin(), s->vues.cend());
        n.m_nouvelles = QSet<QString>(s->nouvelles.cbegin(), s->nouvelles.cend());
    }
    return n;
}

void TEtatLecture::marquerLues(const QString &adresse, const QStringList &cles)
{
    Source &source = m_sources[adresse];
    source.vues = fusionnerVues(clesGardees(cles, source.vues), source.vues);
    source.nouvelles.clear();
}

void TEtatLecture::toutMarquerLu()
{
    for (Source &source : m_sources)
        source.nouvelles.clear();
}

int TEtatLecture::nombreNouvelles(const QString &adresse) const
{
    const Source *s = source(adresse);
    return s ? static_cast<int>(s->nouvelles.size()) : 0;
}

QString TEtatLecture::echec(const QString &adresse) const
{
    const Source *s = source(adresse);
    return s && s->resultat == u"echec" ? s->erreur : QString();
}

const TEtatLecture::Source *TEtatLecture::source(const QString &adresse) const
{
    const auto trouvee = m_sources.constFind(adresse);
    return trouvee == m_sources.cend() ? nullptr : &trouvee.value();
}

void TEtatLecture::garderSeulement(const QList<PFlux> &flux)
{
    QSet<QString> adresses;
    for (const PFlux &f : flux)
        adresses.insert(f->getUrlRss());
    m_sources.removeIf([&adresses](const auto &entree) { return !adresses.contains(entree.key()); });
}
