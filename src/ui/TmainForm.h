#pragma once
// La fenêtre principale, `mainForm` : barre de menu peinte, barre d'outils, panneau de commandes
// et vues latérales à gauche, panneau du flux et pages ouvertes à droite. Elle tient chaque
// contrôle et chaque commande ; le module de données lui est donné après sa création.
//
// Chaque préoccupation vit dans son propre fichier :
//   TmainForm.cpp       la disposition des contrôles et le branchement des commandes ;
//   ListeActions.cpp    les 25 actions de ListeActions ;
//   MenuBarres.cpp      le menu MainFormMenu, la barre de menu ToolBar2 et la barre barreOutils ;
//   VuesLaterales.cpp   les quatre vues de pcSupplement, les commandes d'affichage et l'arbre XML.
// Les commandes des onglets, des sources et favoris, du démarrage, de la recherche et des
// informations sauvegardées viennent chacune dans leur fichier (Onglets.cpp, SourcesFavoris.cpp,
// Demarrage.cpp, Recherche.cpp, InfosSauvegardees.cpp) et se branchent dans brancherActions().

#include <QMainWindow>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QTabBar;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QWebEngineView;
class TBarrePeinte;
class TBoitePeinte;
class TSeparateur;
class TdmRSS;

class TmainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TmainForm(QWidget *parent = nullptr);
    ~TmainForm() override;

    // Le module de données, créé après la fenêtre. La fenêtre ne le possède pas.
    void setDmRSS(TdmRSS *module);
    TdmRSS *getDmRSS() const { return dmRSS; }

    // Les actions de ListeActions, dans l'ordre de la liste.
    QList<QAction *> actionsDeLaListe() const;

    // --- Affichage des vues latérales (F5 à F8) ---
    void affichageFavorisExecute();
    void affichageFluxExecute();
    void affichageArbreFluxExecute();
    void affichageRechercheExecute();

    // --- Arbre XML du document chargé dans XMLDoc ---
    void afficherArbreXML();

    // --- Démarrage, sauvegarde et fermeture (Demarrage.cpp) ---

    // --- Onglets et page (Onglets.cpp) ---

    // --- Sources et favoris (SourcesFavoris.cpp) ---

    // --- Recherche (Recherche.cpp) ---

    // --- Informations sauvegardées (InfosSauvegardees.cpp) ---

    // --- Actions ---
    QObject *ListeActions = nullptr;
    QAction *ouvrirRSS = nullptr;
    QAction *connexionRSS_HTTP = nullptr;
    QAction *ajouterSourceRSS = nullptr;
    QAction *fermerOnglet = nullptr;
    QAction *sauvegarderXML = nullptr;
    QAction *ajouterRubrique = nullptr;
    QAction *supprimerRubrique = nullptr;
    QAction *decocherTousFlux = nullptr;
    QAction *supprimerSourceRSS = nullptr;
    QAction *ajouterFluxDansRubrique = nullptr;
    QAction *supprimerFluxDeRubrique = nullptr;
    QAction *chargerFlux = nullptr;
    QAction *quitter = nullptr;
    QAction *pageHTMLPrecedent = nullptr;
    QAction *pageHTMLSuivante = nullptr;
    QAction *pageHTMLActualiser = nullptr;
    QAction *affichageFavoris = nullptr;
    QAction *affichageFlux = nullptr;
    QAction *affichageArbreFlux = nullptr;
    QAction *affichageRecherche = nullptr;
    QAction *rechercher = nullptr;
    QAction *rechercheChargerFlux = nullptr;
    QAction *supprimerInfoDeFlux = nullptr;
    QAction *enregistrerInfoDansFlux = nullptr;
    QAction *aPropos = nullptr;

    // --- Menu et barres ---
    QMenu *MainFormMenu = nullptr; // jamais affiché lui-même : ses sept menus s'ouvrent depuis ToolBar2
    TBarrePeinte *ToolBar2 = nullptr;
    TBarrePeinte *barreOutils = nullptr;
    QProgressBar *pbarGenerale = nullptr;

    // --- Panneau de gauche ---
    QWidget *commandPanel = nullptr;
    TBoitePeinte *commandFond = nullptr;
    TBoitePeinte *btOuvrirFond = nullptr;
    QTabWidget *pcSupplement = nullptr;
    TSeparateur *Splitter2 = nullptr;

    // Vue 0 : favoris.
    QWidget *pageFavoris = nullptr;
    TBoitePeinte *btTitreFavoris = nullptr;
    QTreeWidget *arbreFavoris = nullptr;
    // Vue 1 : sources RSS.
    QWidget *pageListeRSS = nullptr;
    TBoitePeinte *btTitreListeRSS = nullptr;
    QListWidget *listeRssSources = nullptr; // liste à cocher
    QWidget *panelBoutonsRSS = nullptr;
    TBoitePeinte *btAjouterRSS = nullptr;
    TBoitePeinte *btSupprimerFlux = nullptr;
    TBoitePeinte *btDecocherTout = nullptr;
    TBoitePeinte *btConnexionFond = nullptr;
    QWidget *groupeFavoris = nullptr;
    QComboBox *cbListeFavoris = nullptr;
    TBoitePeinte *btAjouterFavoris = nullptr;
    // Vue 2 : arbre XML.
    QWidget *pageArbreXML = nullptr;
    TBoitePeinte *btTitreArbreXML = nullptr;
    QTreeWidget *xmlTreeView = nullptr;
    // Vue 3 : recherche.
    QWidget *TabSheet1 = nullptr;
    TBoitePeinte *btTitreRecherche = nullptr;
    QWidget *panelRecherche = nullptr;
    QLineEdit *edRecherche = nullptr;
    QCheckBox *cbRechercheTitre = nullptr;
    QCheckBox *cbRechercheLien = nullptr;
    QCheckBox *cbRechercheDescription = nullptr;
    TBoitePeinte *pbBoutonRechercher = nullptr;
    TBoitePeinte *pbBoutonRechercherOuvrir = nullptr;
    QListWidget *listeRecherche = nullptr;

    // --- Panneau du flux ---
    QWidget *PanelFlux = nullptr;
    TBoitePeinte *pbTitreFlux = nullptr; // peint son indice : le titre du flux montré, « - » sans flux
    QWidget *panelCommandesInfosFlux = nullptr;
    TBoitePeinte *pbEnregistrerInfo = nullptr;
    TBoitePeinte *pbSupprimerInfo = nullptr;
    QListWidget *listeInfosFlux = nullptr;
    TSeparateur *splitPanelFlux = nullptr;
    QListWidget *listeInfosFluxCharge = nullptr;
    TSeparateur *separateurH = nullptr;

    // --- Pages ouvertes ---
    QWidget *PanelPrincipale = nullptr;
    QTabBar *ongletsPages = nullptr;
    QToolButton *btFermerOnglet = nullptr;
    QWebEngineView *pageHTML = nullptr;

protected:
    // Le module de données (nul tant que main ne l'a pas donné).
    TdmRSS *dmRSS = nullptr;

private:
    QWidget *creerPanneauGauche();
    QWidget *creerPanneauFlux();
    QWidget *creerPanneauPrincipal();
    void creerActions();
    QAction *creerAction(const QString &nom, const QString &categorie, const QString &legende,
                         const QString &indice, const QKeySequence &raccourci, int indexImage);
    void creerMenu();
    void creerBarreMenu();
    void creerBarreOutils();
    void creerVuesLaterales();
    QWidget *creerPageFavoris();
    QWidget *creerPageListeRSS();
    QWidget *creerPageArbreXML();
    QWidget *creerPageRecherche();
    void brancherActions();
};
