#include "ui/TmainForm.h"

#include "base/EtatLecture.h"
#include "base/TdmRSS.h"
#include "paint/TBarrePeinte.h"
#include "paint/TBoitePeinte.h"
#include "reading/Actualisation.h"
#include "ui/AttenteTelechargement.h"
#include "ui/BullesTexteCoupe.h"
#include "ui/Construction.h"
#include "ui/RepriseBascule.h"
#include "ui/Polices.h"
#include "ui/TSeparateur.h"

#include <QAction>
#include <QIcon>
#include <QListWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QThreadPool>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineView>

using namespace Construction;

namespace {

// La couleur des bordures de fenêtre inactives, fond du panneau de commandes.
const QColor couleurBordureInactive(0xD4, 0xD0, 0xC8);
const QColor couleurListeInfosFlux(0xBE, 0xDC, 0xFA);
const QColor couleurListeInfosFluxCharge(0xFF, 0xC7, 0xC7);

void colorerFond(QWidget *w, QPalette::ColorRole role, const QColor &couleur)
{
    QPalette palette = w->palette();
    palette.setColor(role, couleur);
    w->setPalette(palette);
    if (role == QPalette::Window)
        w->setAutoFillBackground(true);
}

// Une liste qui peut tenir des milliers d'informations mesure ses lignes par lots, entre deux
// passages de la boucle des messages : remplie, elle ne bloque pas la fenêtre (ni la page qui se
// charge à côté) le temps de les mesurer toutes d'un coup.
void disposerParLots(QListWidget *liste)
{
    liste->setLayoutMode(QListView::Batched);
    liste->setBatchSize(200);
}

} // namespace

TmainForm::TmainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainForm"));
    setWindowTitle(QStringLiteral("Brindlewave - Lecteur RSS"));
    // L'icône du programme, rendue à la construction depuis data/bureau (ses boîtes la reprennent).
    setWindowIcon(QIcon(QStringLiteral(":/icones/org.brindlewave.LecteurRSS.png")));
    setFont(Polices::fenetre());
    // Pas de menu contextuel des barres : la fenêtre n'a pas de menu à elle.
    setContextMenuPolicy(Qt::PreventContextMenu);

    creerActions();
    creerMenu();
    creerBarreMenu();
    creerBarreOutils();

    auto centre = new QWidget(this);
    auto disposition = rangee(centre);
    disposition->addWidget(creerPanneauGauche());
    Splitter2 = new TSeparateur(Qt::Horizontal, 3, centre);
    NOMMER(Splitter2);
    disposition->addWidget(Splitter2);

    auto droite = new QWidget(centre);
    droite->setObjectName(QStringLiteral("partieDroite"));
    auto colonneDroite = colonne(droite);
    colonneDroite->addWidget(creerPanneauFlux());
    separateurH = new TSeparateur(Qt::Vertical, 4, droite);
    NOMMER(separateurH);
    colonneDroite->addWidget(separateurH);
    colonneDroite->addWidget(creerPanneauPrincipal(), 1);
    disposition->addWidget(droite, 1);
    setCentralWidget(centre);

    Splitter2->setCible(commandPanel, 30, droite, true);
    separateurH->setCible(PanelFlux, 80, PanelPrincipale, true);

    resize(780, 622);
    creerActualisation();
    brancherActions();
    // Les rubriques, les sources, les informations et les flux trouvés trop longs pour leur vue.
    BullesTexteCoupe::installer({arbreFavoris, listeRssSources, listeInfosFlux, listeInfosFluxCharge, listeRecherche});

    // Les téléchargements du module de données bloquent ce fil : pendant ce temps, la fenêtre
    // ne prend aucune entrée et se repeint (AttenteTelechargement.h).
    attenteTelechargement = new TAttenteTelechargement(this, pbarGenerale);
    TClientHTTP::installerAttente(attenteTelechargement);
    FormCreate();
}

TmainForm::~TmainForm()
{
    if (TClientHTTP::attente() == attenteTelechargement)
        TClientHTTP::installerAttente(nullptr);
    // Une écriture de l'état en route finit pendant que la fenêtre est encore entière.
    m_ecritureEtat->waitForDone();
}

void TmainForm::setDmRSS(TdmRSS *module)
{
    dmRSS = module;
    if (dmRSS)
        chargerEtatLecture();
}

QWidget *TmainForm::creerPanneauGauche()
{
    commandPanel = new QWidget;
    NOMMER(commandPanel);
    commandPanel->setFixedWidth(225);
    commandPanel->setMinimumHeight(140);
    colorerFond(commandPanel, QPalette::Window, couleurBordureInactive);
    auto disposition = colonne(commandPanel);

    commandFond = new TBoitePeinte(TBoitePeinte::Dessin::FondCommandes, QString(), commandPanel);
    NOMMER(commandFond);
    commandFond->setFixedHeight(41);
    auto fond = rangee(commandFond);
    fond->setContentsMargins(8, 8, 8, 8);
    btOuvrirFond = new TBoitePeinte(TBoitePeinte::Dessin::Bouton, QStringLiteral("Ouvrir RSS"), commandFond);
    NOMMER(btOuvrirFond);
    btOuvrirFond->setFixedHeight(25);
    btOuvrirFond->setAspectEnfonce(true);
    fond->addWidget(btOuvrirFond);
    disposition->addWidget(commandFond);

    creerVuesLaterales();
    disposition->addWidget(pcSupplement, 1);
    return commandPanel;
}

QWidget *TmainForm::creerPanneauFlux()
{
    PanelFlux = new QWidget;
    NOMMER(PanelFlux);
    PanelFlux->setFixedHeight(176);
    auto disposition = colonne(PanelFlux);

    pbTitreFlux = new TBoitePeinte(TBoitePeinte::Dessin::Titre, QString(), PanelFlux);
    NOMMER(pbTitreFlux);
    pbTitreFlux->setFixedHeight(24);
    pbTitreFlux->setLegendeDepuisIndice(true);
    pbTitreFlux->setIndice(QStringLiteral("-"));
    disposition->addWidget(pbTitreFlux);

    auto corps = new QWidget(PanelFlux);
    auto disposerCorps = rangee(corps);

    // Les deux listes d'informations, l'une au-dessus de l'autre.
    auto listes = new QWidget(corps);
    auto disposerListes = colonne(listes);
    const QFont policeListes = Polices::fenetre(true);
    listeInfosFlux = new QListWidget(listes);
    NOMMER(listeInfosFlux);
    listeInfosFlux->setFont(policeListes);
    listeInfosFlux->setSelectionMode(QAbstractItemView::SingleSelection);
    disposerParLots(listeInfosFlux);
    colorerFond(listeInfosFlux, QPalette::Base, couleurListeInfosFlux);
    disposerListes->addWidget(listeInfosFlux, 1);
    splitPanelFlux = new TSeparateur(Qt::Vertical, 3, listes);
    NOMMER(splitPanelFlux);
    splitPanelFlux->hide();
    disposerListes->addWidget(splitPanelFlux);
    listeInfosFluxCharge = new QListWidget(listes);
    NOMMER(listeInfosFluxCharge);
    listeInfosFluxCharge->setFont(policeListes);
    listeInfosFluxCharge->setSelectionMode(QAbstractItemView::ExtendedSelection);
    disposerParLots(listeInfosFluxCharge);
    listeInfosFluxCharge->setFixedHeight(45);
    colorerFond(listeInfosFluxCharge, QPalette::Base, couleurListeInfosFluxCharge);
    listeInfosFluxCharge->hide();
    disposerListes->addWidget(listeInfosFluxCharge);
    splitPanelFlux->setCible(listeInfosFluxCharge, 20, listeInfosFlux, false);
    disposerCorps->addWidget(listes, 1);

    // Les boutons des informations sauvegardées, à droite.
    panelCommandesInfosFlux = new QWidget(corps);
    NOMMER(panelCommandesInfosFlux);
    panelCommandesInfosFlux->setFixedWidth(125);
    panelCommandesInfosFlux->setMinimumHeight(150);
    auto disposerCommandes = colonne(panelCommandesInfosFlux);
    pbEnregistrerInfo = new TBoitePeinte(TBoitePeinte::Dessin::Bouton, QStringLiteral("Enregistrer Info"),
                                         panelCommandesInfosFlux);
    NOMMER(pbEnregistrerInfo);
    pbEnregistrerInfo->setFixedHeight(17);
    disposerCommandes->addWidget(pbEnregistrerInfo);
    disposerCommandes->addStretch(1);
    pbSupprimerInfo = new TBoitePeinte(TBoitePeinte::Dessin::Bouton, QStringLiteral("Supprimer Info"),
                                       panelCommandesInfosFlux);
    NOMMER(pbSupprimerInfo);
    pbSupprimerInfo->setFixedHeight(17);
    disposerCommandes->addWidget(pbSupprimerInfo);
    panelCommandesInfosFlux->hide();
    disposerCorps->addWidget(panelCommandesInfosFlux);

    disposition->addWidget(corps, 1);
    return PanelFlux;
}

QWidget *TmainForm::creerPanneauPrincipal()
{
    PanelPrincipale = new QWidget;
    NOMMER(PanelPrincipale);
    PanelPrincipale->setMinimumHeight(100);
    auto disposition = colonne(PanelPrincipale);

    auto bandeau = new QWidget(PanelPrincipale);
    auto disposerBandeau = rangee(bandeau);
    ongletsPages = new QTabBar(bandeau);
    NOMMER(ongletsPages);
    ongletsPages->setFixedHeight(22);
    ongletsPages->setExpanding(false);
    ongletsPages->setUsesScrollButtons(true);
    ongletsPages->setElideMode(Qt::ElideNone);
    ongletsPages->setDrawBase(false);
    disposerBandeau->addWidget(ongletsPages, 1);
    btFermerOnglet = new QToolButton(bandeau);
    NOMMER(btFermerOnglet);
    btFermerOnglet->setDefaultAction(fermerOnglet);
    btFermerOnglet->setAutoRaise(true);
    btFermerOnglet->setFixedSize(25, 25);
    btFermerOnglet->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btFermerOnglet->hide();
    disposerBandeau->addWidget(btFermerOnglet);
    disposition->addWidget(bandeau);

    pageHTML = new QWebEngineView(PanelPrincipale);
    NOMMER(pageHTML);
    preparerPageHTML();
    disposition->addWidget(pageHTML, 1);
    return PanelPrincipale;
}

void TmainForm::brancherActions()
{
    // Les boutons peints et les doubles clics passent par leurs actions.
    connect(btOuvrirFond, &TBoitePeinte::clicked, ouvrirRSS, &QAction::trigger);
    connect(btConnexionFond, &TBoitePeinte::clicked, connexionRSS_HTTP, &QAction::trigger);
    connect(btAjouterRSS, &TBoitePeinte::clicked, ajouterSourceRSS, &QAction::trigger);
    connect(btSupprimerFlux, &TBoitePeinte::clicked, supprimerSourceRSS, &QAction::trigger);
    connect(btDecocherTout, &TBoitePeinte::clicked, decocherTousFlux, &QAction::trigger);
    connect(btAjouterFavoris, &TBoitePeinte::clicked, ajouterFluxDansRubrique, &QAction::trigger);
    connect(pbEnregistrerInfo, &TBoitePeinte::clicked, enregistrerInfoDansFlux, &QAction::trigger);
    connect(pbSupprimerInfo, &TBoitePeinte::clicked, supprimerInfoDeFlux, &QAction::trigger);
    connect(pbBoutonRechercher, &TBoitePeinte::clicked, rechercher, &QAction::trigger);
    connect(pbBoutonRechercherOuvrir, &TBoitePeinte::clicked, rechercheChargerFlux, &QAction::trigger);
    connect(arbreFavoris, &QTreeWidget::itemDoubleClicked, chargerFlux, &QAction::trigger);
    connect(listeRecherche, &QListWidget::itemDoubleClicked, rechercheChargerFlux, &QAction::trigger);

    // Affichage des vues latérales.
    connect(affichageFavoris, &QAction::triggered, this, &TmainForm::affichageFavorisExecute);
    connect(affichageFlux, &QAction::triggered, this, &TmainForm::affichageFluxExecute);
    connect(affichageArbreFlux, &QAction::triggered, this, &TmainForm::affichageArbreFluxExecute);
    connect(affichageRecherche, &QAction::triggered, this, &TmainForm::affichageRechercheExecute);

    // Les commandes qui s'adressent au module de données ne font rien tant qu'il n'existe pas, ni
    // pendant un téléchargement (aucune entrée n'y mène ; un appel posté qui passerait non plus).
    const auto brancher = [this](QAction *action, void (TmainForm::*commande)()) {
        connect(action, &QAction::triggered, this, [this, commande] {
            if (dmRSS && !attenteTelechargement->enCours())
                (this->*commande)();
        });
    };

    // Démarrage, sauvegarde et fermeture.
    brancher(sauvegarderXML, &TmainForm::sauvegarderXMLExecute);
    connect(quitter, &QAction::triggered, this, &TmainForm::quitterExecute);
    brancher(aPropos, &TmainForm::aProposExecute);

    // Onglets et page.
    brancher(ouvrirRSS, &TmainForm::ouvrirRSSExecute);
    brancher(connexionRSS_HTTP, &TmainForm::connexionRSS_HTTPExecute);
    brancher(chargerFlux, &TmainForm::chargerFluxExecute);
    brancher(fermerOnglet, &TmainForm::fermerOngletExecute);
    connect(pageHTMLPrecedent, &QAction::triggered, this, &TmainForm::pageHTMLPrecedentExecute);
    connect(pageHTMLSuivante, &QAction::triggered, this, &TmainForm::pageHTMLSuivanteExecute);
    connect(pageHTMLActualiser, &QAction::triggered, this, &TmainForm::pageHTMLActualiserExecute);
    connect(ongletsPages, &QTabBar::currentChanged, this, [this] {
        if (dmRSS)
            ongletsPagesChange();
    });

    // Sources et favoris.
    brancher(ajouterSourceRSS, &TmainForm::ajouterSourceRSSExecute);
    brancher(supprimerSourceRSS, &TmainForm::supprimerSourceRSSExecute);
    brancher(decocherTousFlux, &TmainForm::decocherTousFluxExecute);
    brancher(ajouterRubrique, &TmainForm::ajouterRubriqueExecute);
    brancher(supprimerRubrique, &TmainForm::supprimerRubriqueExecute);
    brancher(ajouterFluxDansRubrique, &TmainForm::ajouterFluxDansRubriqueExecute);
    brancher(supprimerFluxDeRubrique, &TmainForm::supprimerFluxDeRubriqueExecute);

    // Recherche.
    brancher(rechercher, &TmainForm::rechercherExecute);
    brancher(rechercheChargerFlux, &TmainForm::rechercheChargerFluxExecute);

    // Informations sauvegardées.
    brancher(enregistrerInfoDansFlux, &TmainForm::enregistrerInfoDansFluxExecute);
    brancher(supprimerInfoDeFlux, &TmainForm::supprimerInfoDeFluxExecute);

    // Actualisation des sources.
    brancher(actualiserSources, &TmainForm::actualiserSourcesExecute);
    brancher(sourceSuivanteNonLue, &TmainForm::sourceSuivanteNonLueExecute);
    brancher(toutMarquerCommeLu, &TmainForm::toutMarquerCommeLuExecute);
    connect(actualisationAutomatique, &QAction::toggled, this, &TmainForm::actualisationAutomatiqueExecute);
}
