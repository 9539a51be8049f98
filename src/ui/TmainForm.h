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
//   Onglets.cpp         les onglets, la vue de page et les trois commandes d'ouverture ;
//   PageHTML.cpp        les règles de sûreté de la vue de page ;
//   SourcesFavoris.cpp  la liste des sources, l'arbre des favoris et leurs commandes ;
//   Demarrage.cpp       la minuterie de démarrage, la sauvegarde, la fermeture, « A propos ».
//   ActualisationSources.cpp  l'actualisation des sources en fond, les nouvelles et l'état de lecture.
// Les commandes de la recherche et des informations sauvegardées viennent chacune dans leur
// fichier (Recherche.cpp, InfosSauvegardees.cpp) et se branchent dans brancherActions().

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QCloseEvent;
class QComboBox;
class QDateTime;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QTabBar;
class QTabWidget;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTimer;
class QShortcut;
class QThreadPool;
class QWebEngineView;
class TActualisation;
class TAttenteTelechargement;
class TEtatLecture;
class TInfo;
class TBarrePeinte;
class TBoitePeinte;
class TSeparateur;
class TFlux;
class TdmRSS;
class TObjetString;
class TPageHTML;
class RepriseBascule;
struct SignatureFichier;

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
    // Charge la base dès que baseFlux.xml existe, puis arrête la minuterie.
    void timerDemarrageTimer();
    void sauvegarderXMLExecute();
    void quitterExecute();
    // Les deux questions de fermeture ; vrai quand la fenêtre peut se fermer.
    bool FormCloseQuery();
    void aProposExecute();
    // Le nom de la copie de sûreté d'une base illisible, à côté d'elle.
    static QString nomCopieBaseIllisible(const QString &cheminBase, const QDateTime &moment);
    // Une autre instance a été lancée sur le même dossier de données : la fenêtre passe devant et
    // ouvre chacun de ses fichiers dans un onglet.
    void recevoirFichiers(const QStringList &fichiers);

    // --- Onglets et page (Onglets.cpp) ---
    // Arbre XML, page du document de XMLDoc, et navigation de pageHTML vers elle ; rend le flux
    // lu pour la page. estNouvelle : les informations marquées « Nouveau » (aucune sans lui).
    std::shared_ptr<TFlux> afficherDocument(const std::function<bool(const TInfo &)> &estNouvelle = {});
    // Ajoute un onglet qui prend la fiche, le rend courant et remplit les listes.
    // Une fiche nulle ou sans chemin n'ajoute rien.
    // fluxLu : le flux lu de XMLDoc, celui que la page montre.
    void ajouterOnglet(const QString &legende, std::unique_ptr<TObjetString> fiche, std::shared_ptr<TFlux> fluxLu);
    // fluxLu : le flux déjà lu de XMLDoc, s'il l'est ; sinon les listes le lisent.
    void actualiserListesInfos(std::shared_ptr<TFlux> fluxLu = nullptr);
    // Montre de nouveau l'onglet courant : relit son fichier (ou reprend sa dernière lecture s'il
    // n'a pas changé), réécrit sa page, remplit les listes.
    void ongletsPagesChange();
    void ouvrirRSSExecute();
    // Ouvre ce fichier dans un nouvel onglet comme le fait ouvrirRSSExecute après le choix.
    void ouvrirFichierRSS(const QString &chemin);
    void connexionRSS_HTTPExecute();
    void chargerFluxExecute();
    void fermerOngletExecute();
    void pageHTMLPrecedentExecute();
    void pageHTMLSuivanteExecute();
    void pageHTMLActualiserExecute();
    // La fiche d'un onglet (nulle hors des bornes) et celle de l'onglet courant.
    TObjetString *ficheOnglet(int index) const;
    TObjetString *ficheCourante() const;
    // Navigation de pageHTML : vers un fichier local, ou vers une adresse vide.
    void naviguerVersFichier(const QString &chemin);
    void naviguerVersVide();
    // Indice de pbTitreFlux (le titre du flux courant), repeint aussitôt.
    void afficherTitreFlux(const QString &titre);

    // --- Sources et favoris (SourcesFavoris.cpp) ---
    void actualiserFavoris();
    void actualiserListeSources();
    void ajouterSourceRSSExecute();
    void supprimerSourceRSSExecute();
    void decocherTousFluxExecute();
    void ajouterRubriqueExecute();
    void supprimerRubriqueExecute();
    void ajouterFluxDansRubriqueExecute();
    void supprimerFluxDeRubriqueExecute();
    // Après « Supprimer RSS » : les onglets dont le flux n'est plus dans la base deviennent des
    // onglets de fichier, et les résultats de recherche de ces flux disparaissent.
    void apresRetraitDeFlux();

    // --- Actualisation des sources (ActualisationSources.cpp) ---
    // Lance l'actualisation de toutes les sources de la base en fond, ou l'arrête si elle tourne.
    void actualiserSourcesExecute();
    // Ouvre la source suivante qui a des nouvelles : favoris de l'arbre, puis liste des sources,
    // après le favori ou la ligne courante.
    void sourceSuivanteNonLueExecute();
    void toutMarquerCommeLuExecute();
    void actualisationAutomatiqueExecute(bool oui);
    // Les nombres de nouvelles et les marques d'échec, sur les lignes de la liste des sources et
    // les nœuds de l'arbre des favoris.
    void marquerNouvelles();
    // L'état de lecture, lu au démarrage (un fichier illisible est gardé à côté, sans bloquer).
    TEtatLecture &etatLecture() { return *m_etatLecture; }
    // Écrit l'état tel qu'il est, sur un fil à part (la fenêtre n'attend ni le disque ni la mise en
    // forme) ; à la fermeture, enFin : tout de suite, après les écritures encore en route.
    void ecrireEtatLecture(bool enFin = false);
    TActualisation *actualisation = nullptr;
    QTimer *timerActualisation = nullptr; // toutes les 30 minutes, quand l'utilisateur le veut

    // --- Recherche (Recherche.cpp) ---
    // Remplit listeRecherche des flux de la base dont une information sauvegardée contient le
    // texte de edRecherche, dans les champs cochés.
    void rechercherExecute();
    // Fait d'avance, par tranches, ce que la première recherche dans la base ferait (Recherche.cpp).
    void preparerRecherche();
    // Ouvre dans un nouvel onglet le flux de la ligne courante de listeRecherche.
    void rechercheChargerFluxExecute();

    // --- Informations sauvegardées (InfosSauvegardees.cpp) ---
    // Range l'information choisie de listeInfosFlux dans le flux de la base de l'onglet courant.
    void enregistrerInfoDansFluxExecute();
    // Retire du flux de la base les lignes choisies de listeInfosFluxCharge, après question.
    void supprimerInfoDeFluxExecute();

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
    QAction *actualiserSources = nullptr;
    QAction *sourceSuivanteNonLue = nullptr;
    QAction *toutMarquerCommeLu = nullptr;
    QAction *actualisationAutomatique = nullptr;

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
    QTreeView *xmlTreeView = nullptr;
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
    TPageHTML *pagePageHTML = nullptr; // la page de pageHTML et ses règles de sûreté

    // --- Minuterie de démarrage (500 ms) ---
    QTimer *timerDemarrage = nullptr;

    // --- Pendant un téléchargement : fenêtre bloquée par une modalité, Échap pour arrêter ---
    TAttenteTelechargement *attenteTelechargement = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

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
    void preparerPageHTML();
    // La page d'un onglet remontré et son titre.
    void montrerPageOnglet(const TObjetString &fiche, const QString &page);
    void FormCreate();
    // Ouvre un flux de la base dans un nouvel onglet, avec ses informations sauvegardées : le
    // favori choisi, ou le résultat de recherche (Onglets.cpp).
    void ouvrirFluxDeBase(const std::shared_ptr<TFlux> &flux);
    // Remontre l'onglet courant et ses deux listes après un changement des informations
    // sauvegardées (InfosSauvegardees.cpp).
    void remontrerApresChangement();
    // Barre de progression des commandes d'ouverture.
    class BarreOuverture;
    // La barre de progression rendue aux commandes (0 à 100, sans texte), puis, la commande
    // finie, de nouveau à l'actualisation si elle tourne.
    void rendreBarreAuxCommandes();
    void montrerProgressionActualisation();
    // Actualisation : préparation à la création, état lu quand le module arrive, ce qui suit la
    // lecture de la base (oubli des sources parties, actualisation automatique), le lancement.
    void creerActualisation();
    void chargerEtatLecture();
    void apresBaseChargee();
    void lancerActualisation();
    // Un avertissement qui ne bloque rien (ni le démarrage, ni une commande en cours).
    void avertirSansBloquer(const QString &texte);
    // Les informations à marquer « Nouveau » sur la page d'une source qu'on ouvre, puis la source
    // vue : ses informations comptent comme lues.
    std::function<bool(const TInfo &)> nouveautesDe(const QString &adresse) const;
    void noterSourceLue(const QString &adresse, const TFlux &fluxLu);
    // La barre à une position, peinte tout de suite : le pas qui suit bloque la boucle des messages.
    void barreA(int position);
    // La barre à une position sans la peindre aussitôt : le pas qui suit ne bloque pas, elle se
    // peindra avec le reste de la fenêtre (chaque peinture forcée coûte quelques millisecondes).
    void barreSansAttente(int position);
    // Télécharge l'adresse dans sa copie locale (barre à la position donnée ensuite) et lit la copie
    // dans XMLDoc ; rend son chemin, ou un texte vide quand elle ne se lit pas.
    QString telechargerEtLire(const QString &adresse, int positionApresTelechargement);
    // La suite de l'ouverture d'un fichier déjà lu dans XMLDoc : page, onglet « Fichier : », titre.
    void montrerFichierOuvert(const QString &chemin);
    // Lit le fichier dans XMLDoc et note cette lecture pour les bascules qui y reviendront ;
    // faux (après la boîte d'erreur) quand il ne se lit pas.
    bool lireEtNoter(const QString &chemin, const SignatureFichier &signature);
    RepriseBascule &repriseBascule();

    // Vrai pendant la fermeture de la fenêtre : les onglets se ferment sans remontrer le suivant.
    bool m_fermetureEnCours = false;
    // Les deux derniers documents montrés par les bascules d'onglets, repris tant que leur
    // fichier ne change pas.
    std::unique_ptr<RepriseBascule> m_reprise;
    // La base lue, ou écrite par une sauvegarde : la minuterie ne la chargera plus.
    bool m_baseEnMemoire = false;
    // Une base trouvée illisible : elle sera copiée à côté avant qu'une sauvegarde la remplace.
    QString m_baseIllisible;
    // L'état de lecture et l'avancée de l'actualisation en cours.
    std::unique_ptr<TEtatLecture> m_etatLecture;
    int m_sourcesActualisees = 0;
    int m_sourcesAActualiser = 0;
    // La barre de progression montre l'actualisation.
    bool m_barreActualisation = false;
    // Échap dans la fenêtre pendant l'actualisation.
    QShortcut *m_echapActualisation = nullptr;
    // Un état de lecture illisible qui n'a pas pu être gardé à côté : il n'est pas remplacé.
    bool m_etatLectureIntouchable = false;
    // Le fil qui écrit l'état de lecture, une écriture après l'autre.
    QThreadPool *m_ecritureEtat = nullptr;
};
