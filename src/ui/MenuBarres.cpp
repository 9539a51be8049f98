// Le menu MainFormMenu et les deux barres du haut : ToolBar2, qui présente les sept menus comme
// des boutons, et barreOutils, la barre d'outils avec la barre de progression pbarGenerale.

#include "paint/TBarrePeinte.h"
#include "ui/Construction.h"
#include "ui/ListeImages.h"
#include "ui/TmainForm.h"

#include <QAction>
#include <QEvent>
#include <QShortcutEvent>
#include <QMenu>
#include <QProgressBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>
#include <initializer_list>

namespace {

// Un bouton de la barre de menu : sa légende seule, sans la flèche d'un bouton à menu.
// Sa lettre d'accès ouvre le menu même quand un autre bouton a la même (« &Fichier » et
// « &Favoris ») : Qt passe alors d'un bouton à l'autre à chaque appui, Fichier d'abord.
class TBoutonMenu : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    bool event(QEvent *evenement) override
    {
        if (evenement->type() == QEvent::Shortcut && static_cast<QShortcutEvent *>(evenement)->isAmbiguous()) {
            showMenu();
            return true;
        }
        return QToolButton::event(evenement);
    }

    void paintEvent(QPaintEvent *) override
    {
        QStylePainter canevas(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.features &= ~(QStyleOptionToolButton::HasMenu | QStyleOptionToolButton::MenuButtonPopup);
        canevas.drawComplexControl(QStyle::CC_ToolButton, option);
    }
};

// Les boutons de la barre d'outils n'ont de bulle que si leur action a un indice.
class FiltreBulles : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        if (evenement->type() == QEvent::ToolTip) {
            auto bouton = qobject_cast<QToolButton *>(objet);
            if (bouton && bouton->defaultAction() && bouton->defaultAction()->statusTip().isEmpty())
                return true;
        }
        return QObject::eventFilter(objet, evenement);
    }
};

// Un menu de MainFormMenu ; nullptr dans la liste est une ligne de séparation.
QMenu *ajouterMenu(QMenu *menuPrincipal, const QString &nom, const QString &legende,
                   std::initializer_list<QAction *> elements)
{
    QMenu *menu = menuPrincipal->addMenu(legende);
    menu->setObjectName(nom);
    for (QAction *action : elements) {
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
    }
    return menu;
}

} // namespace

void TmainForm::creerMenu()
{
    MainFormMenu = new QMenu(this);
    NOMMER(MainFormMenu);

    // Dans le menu « Edition », la fermeture de l'onglet porte sa propre légende. Son raccourci
    // n'est qu'affiché : il n'agit que dans le menu ouvert, celui de l'action vaut pour la fenêtre.
    auto elementFermerOnglet = new QAction(ListeImages::icone(119), QStringLiteral("&Fermer l'onglet"), MainFormMenu);
    NOMMER(elementFermerOnglet);
    elementFermerOnglet->setStatusTip(fermerOnglet->statusTip());
    elementFermerOnglet->setShortcut(fermerOnglet->shortcut());
    elementFermerOnglet->setShortcutContext(Qt::WidgetShortcut);
    connect(elementFermerOnglet, &QAction::triggered, fermerOnglet, &QAction::trigger);

    ajouterMenu(MainFormMenu, QStringLiteral("menuFichier"), QStringLiteral("&Fichier"),
                {ouvrirRSS, connexionRSS_HTTP, nullptr, actualiserSources, sourceSuivanteNonLue, toutMarquerCommeLu,
                 actualisationAutomatique, nullptr, sauvegarderXML, nullptr, quitter});
    ajouterMenu(MainFormMenu, QStringLiteral("menuEdition"), QStringLiteral("&Edition"),
                {ajouterSourceRSS, nullptr, elementFermerOnglet});
    ajouterMenu(MainFormMenu, QStringLiteral("menuAffichage"), QStringLiteral("&Affichage"),
                {affichageFavoris, affichageFlux, affichageArbreFlux, affichageRecherche});
    ajouterMenu(MainFormMenu, QStringLiteral("menuFavoris"), QStringLiteral("&Favoris"),
                {ajouterRubrique, supprimerRubrique, nullptr, chargerFlux, supprimerFluxDeRubrique});
    ajouterMenu(MainFormMenu, QStringLiteral("menuInformations"), QStringLiteral("&Informations"),
                {enregistrerInfoDansFlux, supprimerInfoDeFlux});
    ajouterMenu(MainFormMenu, QStringLiteral("menuNavigation"), QStringLiteral("&Navigation"),
                {pageHTMLPrecedent, pageHTMLSuivante, nullptr, pageHTMLActualiser});
    ajouterMenu(MainFormMenu, QStringLiteral("menuAPropos"), QStringLiteral("&?"), {aPropos});
}

void TmainForm::creerBarreMenu()
{
    ToolBar2 = new TBarrePeinte(TBarrePeinte::Fond::BleuInverse, QStringLiteral("Menu"), this);
    NOMMER(ToolBar2);
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setFixedHeight(25);
    for (QAction *entree : MainFormMenu->actions()) {
        auto bouton = new TBoutonMenu(ToolBar2);
        bouton->setObjectName(entree->menu()->objectName() + QStringLiteral("_bouton"));
        bouton->setText(entree->text()); // la lettre d'accès ouvre le menu (Alt+F pour « &Fichier »)
        bouton->setMenu(entree->menu());
        bouton->setPopupMode(QToolButton::InstantPopup);
        bouton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bouton->setAutoRaise(true);
        bouton->setFocusPolicy(Qt::NoFocus);
        bouton->setFixedSize(70, 21);
        ToolBar2->addWidget(bouton);
    }
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    addToolBarBreak(Qt::TopToolBarArea);
}

void TmainForm::creerBarreOutils()
{
    barreOutils = new TBarrePeinte(TBarrePeinte::Fond::Bleu, QStringLiteral("Outils"), this);
    NOMMER(barreOutils);
    // L'utilisateur peut la déplacer, mais seulement le long du haut de la fenêtre.
    barreOutils->setFloatable(false);
    barreOutils->setAllowedAreas(Qt::TopToolBarArea);
    barreOutils->setFixedHeight(24);
    barreOutils->setIconSize(QSize(16, 16));
    barreOutils->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto filtre = new FiltreBulles(barreOutils);

    auto separer = [this] {
        if (QWidget *separateur = barreOutils->widgetForAction(barreOutils->addSeparator()))
            separateur->setFixedWidth(8);
    };
    auto ajouter = [this, filtre](std::initializer_list<QAction *> actions) {
        for (QAction *action : actions) {
            barreOutils->addAction(action);
            QWidget *bouton = barreOutils->widgetForAction(action);
            bouton->setObjectName(action->objectName() + QStringLiteral("_bouton"));
            bouton->setFixedSize(33, 22);
            bouton->installEventFilter(filtre);
        }
    };
    ajouter({ouvrirRSS, connexionRSS_HTTP, actualiserSources});
    separer();
    ajouter({sauvegarderXML});
    separer();
    ajouter({ajouterSourceRSS});
    separer();
    ajouter({ajouterRubrique, supprimerRubrique, chargerFlux, supprimerFluxDeRubrique});
    separer();
    ajouter({pageHTMLPrecedent, pageHTMLSuivante, pageHTMLActualiser});
    separer();

    // La barre de progression occupe le reste de la barre ; elle est cachée hors des commandes
    // d'ouverture et de recherche. Son conteneur reste, pour qu'on puisse la montrer directement.
    auto conteneur = new QWidget(barreOutils);
    conteneur->setObjectName(QStringLiteral("conteneurProgression"));
    conteneur->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto disposition = Construction::rangee(conteneur);
    disposition->setContentsMargins(2, 0, 2, 0);
    pbarGenerale = new QProgressBar(conteneur);
    NOMMER(pbarGenerale);
    // Aussi haute que sa police : le texte « Échap : annuler » d'un téléchargement s'y lit entier.
    pbarGenerale->setMinimumHeight(pbarGenerale->fontMetrics().height());
    pbarGenerale->setRange(0, 100);
    pbarGenerale->setValue(0);
    pbarGenerale->setTextVisible(false);
    pbarGenerale->hide();
    disposition->addWidget(pbarGenerale);
    barreOutils->addWidget(conteneur);
    addToolBar(Qt::TopToolBarArea, barreOutils);
}
