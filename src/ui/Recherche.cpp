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
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

namespace {

// Les formes où chercher des informations de la base, faites par tranches de quelques millisecondes
// quand la boucle des messages est libre, sans geler la fenêtre ; l'objet se détruit à la fin.
// Une recherche lancée avant la fin fait elle-même celles qui manquent.
class PreparationRecherche : public QObject
{
public:
    PreparationRecherche(QObject *parent, TdmRSS &module)
        : QObject(parent), m_module(module), m_flux(module.getFluxBase())
    {
        m_minuterie.setInterval(0);
        QObject::connect(&m_minuterie, &QTimer::timeout, this, [this] { preparer(); });
        m_minuterie.start();
    }

private:
    static constexpr qint64 dureeTranche = 4; // ms

    void preparer()
    {
        QElapsedTimer chrono;
        chrono.start();
        for (; m_rangFlux < m_flux.size(); ++m_rangFlux) {
            if (chrono.elapsed() >= dureeTranche)
                return;
            m_module.preparerRecherche(*m_flux.at(m_rangFlux));
        }
        m_minuterie.stop();
        deleteLater();
    }

    const TdmRSS &m_module;
    const QList<PFlux> m_flux;
    qsizetype m_rangFlux = 0;
    QTimer m_minuterie;
};

} // namespace

void TmainForm::preparerRecherche()
{
    new PreparationRecherche(this, *dmRSS);
}

void TmainForm::rechercherExecute()
{
    listeRecherche->clear();
    const QString texte = edRecherche->text();
    if (texte.isEmpty())
        return;

    // La barre paraît à 5, sans passer par la position 100 gardée de la recherche précédente.
    rendreBarreAuxCommandes();
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
    montrerProgressionActualisation();
}

void TmainForm::rechercheChargerFluxExecute()
{
    // Seule la ligne courante s'ouvre ; l'ouvrir de nouveau ouvre un onglet de plus.
    const PFlux flux = DonneesLignes::fluxDeLigne(listeRecherche->currentItem());
    if (flux)
        ouvrirFluxDeBase(flux);
}
