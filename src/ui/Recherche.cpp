// La recherche dans les informations sauvegardées de la base : les flux dont une information
// contient le texte cherché, dans les champs cochés, listés dans listeRecherche ; l'ouverture
// d'un flux trouvé dans un nouvel onglet, comme celle d'un favori.
//
// Seules les informations sauvegardées sont parcourues, ni les flux vivants ni leurs titres.
// La comparaison est celle de TexteRecherche : sur la forme étroite, casse et accents compris.

#include "base/TdmRSS.h"
#include "ui/DonneesLignes.h"
#include "ui/TmainForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

void TmainForm::rechercherExecute()
{
    listeRecherche->clear();
    const QString texte = edRecherche->text();
    if (texte.isEmpty())
        return;

    // La barre paraît à 5, sans passer par la position 100 gardée de la recherche précédente.
    pbarGenerale->setValue(5);
    pbarGenerale->show();
    pbarGenerale->repaint();
    // Le texte cherché n'est converti qu'une fois pour toute la recherche.
    const TexteRecherche cherche(texte);
    const ChampsRecherche champs{cbRechercheTitre->isChecked(), cbRechercheLien->isChecked(),
                                 cbRechercheDescription->isChecked()};
    const QList<PFlux> &fluxBase = dmRSS->getFluxBase();
    // La barre avance de 90 / N en nombres entiers : rien au-delà de 90 flux.
    const int pas = fluxBase.isEmpty() ? 0 : 90 / static_cast<int>(fluxBase.size());
    for (const PFlux &flux : fluxBase) {
        // Un flux est listé une fois, dès sa première information qui convient.
        if (dmRSS->fluxTrouve(cherche, *flux, champs)) {
            auto ligne = new QListWidgetItem(flux->getTitre());
            DonneesLignes::attacherFlux(ligne, flux);
            listeRecherche->addItem(ligne);
        }
        if (pas > 0)
            barreA(pbarGenerale->value() + pas);
    }
    // La barre garde la position 100, cachée, jusqu'à la commande suivante.
    pbarGenerale->setValue(100);
    pbarGenerale->hide();
}

void TmainForm::rechercheChargerFluxExecute()
{
    // Seule la ligne courante s'ouvre ; l'ouvrir de nouveau ouvre un onglet de plus.
    const PFlux flux = DonneesLignes::fluxDeLigne(listeRecherche->currentItem());
    if (flux)
        ouvrirFluxDeBase(flux);
}
