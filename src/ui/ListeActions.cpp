// Les actions de ListeActions : chaque commande de la fenêtre, avec sa légende (la lettre d'accès
// suit le « & »), son indice (bulle et barre d'état), son raccourci, son image et sa catégorie.
// Toutes sont toujours disponibles ; leurs raccourcis valent pour toute la fenêtre.
// « Actualiser les sources » prend la légende « Arrêter l'actualisation » pendant qu'elle tourne.

#include "ui/ListeImages.h"
#include "ui/TmainForm.h"

#include <QAction>

QAction *TmainForm::creerAction(const QString &nom, const QString &categorie, const QString &legende,
                                const QString &indice, const QKeySequence &raccourci, int indexImage)
{
    auto action = new QAction(ListeActions);
    action->setObjectName(nom);
    action->setText(legende);
    action->setStatusTip(indice);
    action->setToolTip(indice);
    action->setShortcut(raccourci);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setIcon(ListeImages::icone(indexImage));
    action->setProperty("categorie", categorie);
    action->setProperty("indexImage", indexImage);
    addAction(action);
    return action;
}

void TmainForm::creerActions()
{
    ListeActions = new QObject(this);
    ListeActions->setObjectName(QStringLiteral("ListeActions"));

    const QString aucune;
    const QString navigation = QStringLiteral("pageHTML_Navigation");
    const QString affichage = QStringLiteral("Affichage");
    const QString recherche = QStringLiteral("Recherche");
    const QKeySequence sans;

    ouvrirRSS = creerAction(QStringLiteral("ouvrirRSS"), aucune, QStringLiteral("&Ouvrir un RSS..."), QString(),
                            QKeySequence(Qt::CTRL | Qt::Key_O), 197);
    connexionRSS_HTTP = creerAction(QStringLiteral("connexionRSS_HTTP"), aucune, QStringLiteral("&Connexion RSS"),
                                    QString(), sans, 138);
    ajouterSourceRSS = creerAction(QStringLiteral("ajouterSourceRSS"), aucune, QStringLiteral("&Ajouter RSS..."),
                                   QStringLiteral("Ajouter une source RSS"), sans, 95);
    fermerOnglet = creerAction(QStringLiteral("fermerOnglet"), navigation, QString(),
                               QStringLiteral("Fermer l'onglet courant"), QKeySequence(Qt::CTRL | Qt::Key_F4), 119);
    sauvegarderXML = creerAction(QStringLiteral("sauvegarderXML"), aucune, QStringLiteral("&Enregistrer"),
                                 QStringLiteral("Enregistrer les modifications"), QKeySequence(Qt::CTRL | Qt::Key_S), 202);
    ajouterRubrique = creerAction(QStringLiteral("ajouterRubrique"), aucune, QStringLiteral("&Ajouter une Rubrique..."),
                                  QStringLiteral("Ajouter une nouvelle rubrique"), sans, 204);
    supprimerRubrique = creerAction(QStringLiteral("supprimerRubrique"), aucune,
                                    QStringLiteral("&Supprimer la rubrique"),
                                    QStringLiteral("Supprimer la rubrique sélectionné"), sans, 205);
    decocherTousFlux = creerAction(QStringLiteral("decocherTousFlux"), aucune, QStringLiteral("&décocher tous les flux"),
                                   QStringLiteral("décocher tous les flux"), sans, 99);
    supprimerSourceRSS = creerAction(QStringLiteral("supprimerSourceRSS"), aucune,
                                     QStringLiteral("Supprimer le flux RSS"),
                                     QStringLiteral("Supprimer le flux RSS de la base"), sans, 153);
    ajouterFluxDansRubrique = creerAction(QStringLiteral("ajouterFluxDansRubrique"), aucune,
                                          QStringLiteral("&Ajouter un Favori"),
                                          QStringLiteral("Ajouter un flux dans la rubrique"), sans, 201);
    supprimerFluxDeRubrique = creerAction(QStringLiteral("supprimerFluxDeRubrique"), aucune,
                                          QStringLiteral("Su&pprimer le Favori"),
                                          QStringLiteral("Supprimer le Favoris sélectionné de la rubrique"), sans, 184);
    chargerFlux = creerAction(QStringLiteral("chargerFlux"), aucune, QStringLiteral("&Charger le fil RSS"),
                              QStringLiteral("Charger le fil RSS"), sans, 128);
    quitter = creerAction(QStringLiteral("quitter"), aucune, QStringLiteral("&Quitter"),
                          QStringLiteral("Quitter l'application"), sans, 118);
    pageHTMLPrecedent = creerAction(QStringLiteral("pageHTMLPrecedent"), navigation, QStringLiteral("Page &Précédente"),
                                    QStringLiteral("Navigation : Précédent <"), sans, 207);
    pageHTMLSuivante = creerAction(QStringLiteral("pageHTMLSuivante"), navigation, QStringLiteral("Page &Suivante"),
                                   QStringLiteral("Navigation : Suivante >"), sans, 206);
    pageHTMLActualiser = creerAction(QStringLiteral("pageHTMLActualiser"), navigation, QStringLiteral("&Actualiser"),
                                     QStringLiteral("Actualiser la page courante"), sans, 116);
    affichageFavoris = creerAction(QStringLiteral("affichageFavoris"), affichage, QStringLiteral("&Favoris"),
                                   QStringLiteral("Afficher les favoris"), QKeySequence(Qt::Key_F5), 200);
    affichageFlux = creerAction(QStringLiteral("affichageFlux"), affichage, QStringLiteral("&Gestion des Flux"),
                                QStringLiteral("Afficher la gestion des Flux"), QKeySequence(Qt::Key_F6), 91);
    affichageArbreFlux = creerAction(QStringLiteral("affichageArbreFlux"), affichage, QStringLiteral("&Arbre RSS"),
                                     QStringLiteral("Afficher l'arbre RSS du flux courant"), QKeySequence(Qt::Key_F7), 162);
    affichageRecherche = creerAction(QStringLiteral("affichageRecherche"), affichage, QStringLiteral("&Recherche"),
                                     QStringLiteral("Afficher l'outils de recherche"), QKeySequence(Qt::Key_F8), 166);
    rechercher = creerAction(QStringLiteral("rechercher"), recherche, QStringLiteral("Rechercher"),
                             QStringLiteral("Lancer la recherche"), sans, 170);
    rechercheChargerFlux = creerAction(QStringLiteral("rechercheChargerFlux"), recherche,
                                       QStringLiteral("Charger le flux"),
                                       QStringLiteral("Charger le flux trouvé sélectionné"), sans, 96);
    supprimerInfoDeFlux = creerAction(QStringLiteral("supprimerInfoDeFlux"), aucune, QStringLiteral("Supprimer Info"),
                                      QStringLiteral("Supprimer l'information du flux courant"), sans, 185);
    enregistrerInfoDansFlux = creerAction(QStringLiteral("enregistrerInfoDansFlux"), aucune,
                                          QStringLiteral("Enregistrer Info"),
                                          QStringLiteral("Enregistrer les informations sélectionnés"), sans, 99);
    aPropos = creerAction(QStringLiteral("aPropos"), aucune, QStringLiteral("A propos..."),
                          QStringLiteral("A propos de Brindlewave - Lecteur RSS"), sans, 138);

    // L'actualisation des sources en fond et la lecture de leurs nouvelles.
    actualiserSources = creerAction(QStringLiteral("actualiserSources"), aucune, QStringLiteral("Actualiser les sources"),
                                    QStringLiteral("Actualiser toutes les sources de la base"),
                                    QKeySequence(Qt::Key_F9), 117);
    sourceSuivanteNonLue = creerAction(QStringLiteral("sourceSuivanteNonLue"), aucune,
                                       QStringLiteral("Source suivante non lue"),
                                       QStringLiteral("Ouvrir la source suivante qui a des informations nouvelles"),
                                       QKeySequence(Qt::CTRL | Qt::Key_N), -1);
    toutMarquerCommeLu = creerAction(QStringLiteral("toutMarquerCommeLu"), aucune, QStringLiteral("Tout marquer comme lu"),
                                     QStringLiteral("Plus aucune information nouvelle dans aucune source"), sans, -1);
    actualisationAutomatique = creerAction(QStringLiteral("actualisationAutomatique"), aucune,
                                           QStringLiteral("Actualiser toutes les 30 minutes"),
                                           QStringLiteral("Actualiser les sources toutes les 30 minutes"), sans, -1);
    actualisationAutomatique->setCheckable(true);
}

QList<QAction *> TmainForm::actionsDeLaListe() const
{
    return ListeActions->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly);
}
