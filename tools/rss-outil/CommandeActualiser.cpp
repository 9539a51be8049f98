// rss-outil actualiser BASE [--dossier DOSSIER] : chaque source de la base actualisée comme par
// « Actualiser les sources », l'état de lecture du dossier de données mis à jour.

#include "ChargementBaseOutil.h"
#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/EtatLecture.h"
#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Une ligne JSON par source.
QByteArray ligneResultat(const ResultatActualisation &resultat, const TEtatLecture &etat, int nouvelles)
{
    QJsonObject ligne;
    ligne.insert(u"adresse", resultat.adresse);
    ligne.insert(u"resultat", etat.source(resultat.adresse)->resultat);
    ligne.insert(u"statut", resultat.statut);
    ligne.insert(u"nouvelles", nouvelles);
    ligne.insert(u"erreur", resultat.erreur);
    return QJsonDocument(ligne).toJson(QJsonDocument::Compact) + '\n';
}

int actualiser(const QStringList &arguments)
{
    QString base;
    QString dossier;
    if (const int code = lireValeurEtDossier(arguments, QStringLiteral("actualiser"), QStringLiteral("une BASE"),
                                             base, dossier))
        return code;

    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!chargerBaseOuSignaler(module, base))
        return 2;
    if (!dossier.isEmpty())
        Emplacement::definirDossierExecutable(dossier);

    const QString cheminEtat = Emplacement::cheminEtatLecture();
    TEtatLecture etat;
    try {
        const TEtatLecture::Chargement chargement = etat.charger(cheminEtat);
        if (!chargement.copieIllisible.isEmpty())
            ecrireErreur(QStringLiteral("L'état de lecture « %1 » est illisible (%2) : il est gardé sous « %3 », "
                                        "la lecture repart de zéro.")
                             .arg(cheminEtat, chargement.raison, chargement.copieIllisible));
    } catch (const ErreurLecteur &e) {
        ecrireErreur(e.message());
        return 2;
    }

    TActualisation moteur;
    int echecs = 0;
    QObject::connect(&moteur, &TActualisation::sourceActualisee, [&](const ResultatActualisation &resultat) {
        const int nouvelles = etat.appliquer(resultat);
        if (resultat.issue == ResultatActualisation::Issue::Echec)
            ++echecs;
        ecrireSortie(ligneResultat(resultat, etat, nouvelles));
    });
    QEventLoop boucle;
    QObject::connect(&moteur, &TActualisation::terminee, &boucle, &QEventLoop::quit);
    moteur.lancer(etat.demandes(module.getFluxBase()));
    boucle.exec();

    try {
        etat.ecrire(cheminEtat);
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("L'état de lecture ne peut pas être écrit : ") + e.message());
        return 2;
    }
    return echecs == 0 ? 0 : 1;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("actualiser"),
    {QStringLiteral("actualiser BASE [--dossier DOSSIER]"),
     QStringLiteral("Actualise chaque source de BASE comme « Actualiser les sources » (six à la fois, deux par\n"
                    "      hôte, requêtes conditionnelles) : copies locales dans DOSSIER/ressourcesHTML/, état de\n"
                    "      lecture DOSSIER/etatLecture.json mis à jour (DOSSIER tient lieu du dossier de données).\n"
                    "      Écrit une ligne JSON par source : adresse, resultat (« lu », « inchange » pour un 304,\n"
                    "      « echec »), statut HTTP, nouvelles (informations jamais vues jusque-là), erreur.\n"
                    "      Sortie 0 si chaque source a répondu, 1 sinon ; 2 : base illisible ou état non écrit."),
     actualiser});

} // namespace
