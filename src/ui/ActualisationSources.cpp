// L'actualisation des sources en fond (« Actualiser les sources », F9, ou toutes les 30 minutes
// au choix), les nombres de nouvelles et les marques d'échec de la liste des sources et de l'arbre
// des favoris, « Source suivante non lue », « Tout marquer comme lu », et l'état de lecture
// (etatLecture.json) qui garde tout cela d'une fois à l'autre.
//
// L'actualisation ne bloque jamais la fenêtre : toutes les commandes restent disponibles, celles
// qui téléchargent gardent leur propre attente. Ses résultats arrivent par la boucle des messages ;
// seule la fenêtre touche à l'état de lecture.

#include "base/EtatLecture.h"
#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "reading/Actualisation.h"
#include "ui/AttenteTelechargement.h"
#include "ui/DelegueNouvelles.h"
#include "ui/DonneesLignes.h"
#include "ui/TmainForm.h"

#include <QAction>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <type_traits>

namespace {

constexpr int minutesEntreActualisations = 30;

QString legendeActualiser() { return QStringLiteral("Actualiser les sources"); }
QString legendeArreter() { return QStringLiteral("Arrêter l'actualisation"); }

template<typename Ligne>
void poserMarques(Ligne *ligne, int nouvelles, const QString &echec)
{
    if constexpr (std::is_same_v<Ligne, QTreeWidgetItem>) {
        ligne->setData(0, TDelegueNouvelles::RoleNouvelles, nouvelles);
        ligne->setData(0, TDelegueNouvelles::RoleEchec, echec);
    } else {
        ligne->setData(TDelegueNouvelles::RoleNouvelles, nouvelles);
        ligne->setData(TDelegueNouvelles::RoleEchec, echec);
    }
}

} // namespace

void TmainForm::creerActualisation()
{
    m_etatLecture = std::make_unique<TEtatLecture>();
    m_ecritureEtat = new QThreadPool(this);
    m_ecritureEtat->setMaxThreadCount(1);
    actualisation = new TActualisation(this);
    actualisation->setObjectName(QStringLiteral("actualisation"));
    connect(actualisation, &TActualisation::sourceActualisee, this, [this](const ResultatActualisation &resultat) {
        m_etatLecture->appliquer(resultat);
        ++m_sourcesActualisees;
        montrerProgressionActualisation();
        marquerNouvelles();
    });
    connect(actualisation, &TActualisation::terminee, this, [this] {
        actualiserSources->setText(legendeActualiser());
        actualiserSources->setStatusTip(QStringLiteral("Actualiser toutes les sources de la base"));
        actualiserSources->setToolTip(actualiserSources->statusTip());
        m_echapActualisation->setEnabled(false);
        montrerProgressionActualisation();
        ecrireEtatLecture();
    });

    // Échap l'arrête, depuis la fenêtre elle-même (une boîte ouverte garde son propre Échap).
    m_echapActualisation = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_echapActualisation->setObjectName(QStringLiteral("echapActualisation"));
    m_echapActualisation->setContext(Qt::WindowShortcut);
    m_echapActualisation->setEnabled(false);
    connect(m_echapActualisation, &QShortcut::activated, actualisation, &TActualisation::arreter);

    timerActualisation = new QTimer(this);
    timerActualisation->setObjectName(QStringLiteral("timerActualisation"));
    timerActualisation->setInterval(minutesEntreActualisations * 60 * 1000);
    connect(timerActualisation, &QTimer::timeout, this, [this] {
        if (dmRSS && !actualisation->enCours())
            lancerActualisation();
    });

    arbreFavoris->setItemDelegate(new TDelegueNouvelles(arbreFavoris));
    listeRssSources->setItemDelegate(new TDelegueNouvelles(listeRssSources));
}

void TmainForm::avertirSansBloquer(const QString &texte)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(texte));
    auto boite = new QMessageBox(QMessageBox::Warning, windowTitle(), texte, QMessageBox::Ok, this);
    boite->setObjectName(QStringLiteral("avertissementEtatLecture"));
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->setWindowModality(Qt::NonModal);
    boite->show();
}

void TmainForm::chargerEtatLecture()
{
    const QString chemin = Emplacement::cheminEtatLecture();
    try {
        const TEtatLecture::Chargement chargement = m_etatLecture->charger(chemin);
        if (!chargement.copieIllisible.isEmpty())
            avertirSansBloquer(QStringLiteral("L'état de lecture « %1 » était illisible (%2).\n"
                                              "Il est gardé sous « %3 » ; les sources repartent sans nouvelles.")
                                   .arg(chemin, chargement.raison, chargement.copieIllisible));
    } catch (const ErreurLecteur &erreur) {
        // Illisible et impossible à garder à côté : il reste tel quel, rien ne l'écrasera.
        m_etatLectureIntouchable = true;
        avertirSansBloquer(erreur.message() + QStringLiteral("\nL'état de lecture ne sera pas enregistré."));
    }
    const QSignalBlocker bloqueur(actualisationAutomatique);
    actualisationAutomatique->setChecked(m_etatLecture->actualisationAutomatique());
    if (m_etatLecture->actualisationAutomatique())
        timerActualisation->start();
}

void TmainForm::apresBaseChargee()
{
    // Les sources qui ne sont plus dans la base n'ont plus d'état.
    m_etatLecture->garderSeulement(dmRSS->getFluxBase());
    marquerNouvelles();
    if (m_etatLecture->actualisationAutomatique())
        lancerActualisation();
}

void TmainForm::ecrireEtatLecture(bool enFin)
{
    if (m_etatLectureIntouchable)
        return;
    const QString chemin = Emplacement::cheminEtatLecture();
    const QString echec = QStringLiteral("L'état de lecture n'a pas pu être enregistré.\n");
    if (enFin) {
        m_ecritureEtat->waitForDone();
        try {
            m_etatLecture->ecrire(chemin);
        } catch (const ErreurLecteur &erreur) {
            dmRSS->dialogues().afficher(TypeBoite::Erreur, echec + erreur.message(), BoutonsBoite::Ok);
        }
        return;
    }
    // Une copie : les listes de clés sont partagées, pas recopiées, tant que la fenêtre n'y touche pas.
    m_ecritureEtat->start([this, etat = *m_etatLecture, chemin, echec] {
        try {
            etat.ecrire(chemin);
        } catch (const ErreurLecteur &erreur) {
            QMetaObject::invokeMethod(this, [this, texte = echec + erreur.message()] { avertirSansBloquer(texte); });
        }
    });
}

void TmainForm::actualiserSourcesExecute()
{
    if (actualisation->enCours())
        actualisation->arreter();
    else
        lancerActualisation();
}

void TmainForm::lancerActualisation()
{
    // Les adresses de la base à cet instant : une source ajoutée ensuite attend la suivante, une
    // source retirée entre-temps garde son résultat sous son adresse, sans ligne qui le montre.
    const QList<DemandeActualisation> demandes = m_etatLecture->demandes(dmRSS->getFluxBase());
    if (demandes.isEmpty() || !actualisation->lancer(demandes))
        return;
    m_sourcesActualisees = 0;
    m_sourcesAActualiser = static_cast<int>(demandes.size());
    actualiserSources->setText(legendeArreter());
    actualiserSources->setStatusTip(QStringLiteral("Arrêter l'actualisation en cours (Échap)"));
    actualiserSources->setToolTip(actualiserSources->statusTip());
    m_echapActualisation->setEnabled(true);
    montrerProgressionActualisation();
}

void TmainForm::rendreBarreAuxCommandes()
{
    if (!std::exchange(m_barreActualisation, false))
        return;
    pbarGenerale->setRange(0, 100);
    pbarGenerale->setTextVisible(false);
    pbarGenerale->hide();
}

void TmainForm::montrerProgressionActualisation()
{
    // Pendant l'attente d'une commande, la barre est à elle ; elle revient à l'actualisation après.
    if (attenteTelechargement->enCours())
        return;
    if (!actualisation->enCours()) {
        if (m_barreActualisation) {
            rendreBarreAuxCommandes();
            pbarGenerale->setValue(0);
        }
        return;
    }
    m_barreActualisation = true;
    pbarGenerale->setRange(0, m_sourcesAActualiser);
    pbarGenerale->setValue(m_sourcesActualisees);
    pbarGenerale->setFormat(QStringLiteral("Actualisation : %v / %m"));
    pbarGenerale->setTextVisible(true);
    pbarGenerale->show();
}

void TmainForm::marquerNouvelles()
{
    if (!m_etatLecture)
        return;
    const TEtatLecture &etat = *m_etatLecture;
    for (int l = 0; l < listeRssSources->count(); ++l) {
        QListWidgetItem *ligne = listeRssSources->item(l);
        poserMarques(ligne, etat.nombreNouvelles(ligne->text()), etat.echec(ligne->text()));
    }
    for (int r = 0; r < arbreFavoris->topLevelItemCount(); ++r) {
        QTreeWidgetItem *rubrique = arbreFavoris->topLevelItem(r);
        // Une rubrique fermée dit combien ses favoris en ont en tout.
        int total = 0;
        for (int f = 0; f < rubrique->childCount(); ++f) {
            QTreeWidgetItem *favori = rubrique->child(f);
            const QString adresse = DonneesLignes::fluxDuNoeud(favori)->getUrlRss();
            const int nouvelles = etat.nombreNouvelles(adresse);
            total += nouvelles;
            poserMarques(favori, nouvelles, etat.echec(adresse));
        }
        poserMarques(rubrique, total, QString());
    }
}

std::function<bool(const TInfo &)> TmainForm::nouveautesDe(const QString &adresse) const
{
    return [nouveautes = m_etatLecture->nouveautes(adresse)](const TInfo &info) {
        return nouveautes.estNouvelle(info.cle());
    };
}

void TmainForm::noterSourceLue(const QString &adresse, const TFlux &fluxLu)
{
    QStringList cles;
    cles.reserve(fluxLu.infos.size());
    for (const PInfo &info : fluxLu.infos)
        cles.append(info->cle());
    m_etatLecture->marquerLues(adresse, cles);
    marquerNouvelles();
}

void TmainForm::sourceSuivanteNonLueExecute()
{
    // Les places dans l'ordre : chaque favori de l'arbre, puis chaque ligne de la liste.
    struct Place
    {
        QTreeWidgetItem *favori;
        int ligne;
        QString adresse;
    };
    QList<Place> places;
    int courante = -1;
    for (int r = 0; r < arbreFavoris->topLevelItemCount(); ++r) {
        QTreeWidgetItem *rubrique = arbreFavoris->topLevelItem(r);
        for (int f = 0; f < rubrique->childCount(); ++f) {
            QTreeWidgetItem *favori = rubrique->child(f);
            if (favori == arbreFavoris->currentItem())
                courante = static_cast<int>(places.size());
            places.append({favori, -1, DonneesLignes::fluxDuNoeud(favori)->getUrlRss()});
        }
    }
    const int ligneCourante = courante < 0 ? listeRssSources->currentRow() : -1;
    for (int l = 0; l < listeRssSources->count(); ++l) {
        if (l == ligneCourante)
            courante = static_cast<int>(places.size());
        places.append({nullptr, l, listeRssSources->item(l)->text()});
    }
    for (qsizetype pas = 1; pas <= places.size(); ++pas) {
        const Place &place = places.at((courante + pas) % places.size());
        if (m_etatLecture->nombreNouvelles(place.adresse) == 0)
            continue;
        if (place.favori) {
            arbreFavoris->setCurrentItem(place.favori);
            arbreFavoris->scrollToItem(place.favori);
            chargerFluxExecute();
        } else {
            // La place suivante se comptera depuis cette ligne.
            arbreFavoris->setCurrentItem(nullptr);
            listeRssSources->setCurrentRow(place.ligne);
            connexionRSS_HTTPExecute();
        }
        return;
    }
}

void TmainForm::toutMarquerCommeLuExecute()
{
    m_etatLecture->toutMarquerLu();
    marquerNouvelles();
}

void TmainForm::actualisationAutomatiqueExecute(bool oui)
{
    m_etatLecture->setActualisationAutomatique(oui);
    if (oui)
        timerActualisation->start();
    else
        timerActualisation->stop();
    ecrireEtatLecture();
}
