// Les quatre vues latérales de pcSupplement (favoris, sources RSS, arbre XML, recherche), chacune
// sous son titre peint, les commandes d'affichage F5 à F8 et l'arbre XML du document courant.

#include "base/TdmRSS.h"
#include "paint/TBoitePeinte.h"
#include "ui/ArbreXMLVue.h"
#include "ui/Construction.h"
#include "ui/ListeImages.h"
#include "ui/Polices.h"
#include "ui/TmainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

using namespace Construction;

namespace {

TBoitePeinte *titre(const QString &legende, QWidget *page)
{
    auto boite = new TBoitePeinte(TBoitePeinte::Dessin::Titre, legende, page);
    boite->setFixedHeight(17);
    return boite;
}

// La colonne d'une vue latérale, son titre peint en haut.
QVBoxLayout *colonneSousTitre(QWidget *page, TBoitePeinte *titre)
{
    auto disposition = colonne(page);
    disposition->addWidget(titre);
    return disposition;
}

TBoitePeinte *bouton(const QString &legende, QWidget *parent)
{
    auto boite = new TBoitePeinte(TBoitePeinte::Dessin::Bouton, legende, parent);
    boite->setFixedHeight(20);
    return boite;
}

} // namespace

void TmainForm::creerVuesLaterales()
{
    pcSupplement = new QTabWidget(commandPanel);
    NOMMER(pcSupplement);
    pcSupplement->setTabPosition(QTabWidget::West);
    pcSupplement->setIconSize(QSize(16, 16));
    pcSupplement->setUsesScrollButtons(false);

    struct Vue
    {
        QWidget *page;
        int image;
        QString indice;
    };
    const Vue vues[] = {
        {creerPageFavoris(), 200, QStringLiteral("Favoris")},
        {creerPageListeRSS(), 91, QStringLiteral("Liste de sources RSS")},
        {creerPageArbreXML(), 162, QStringLiteral("Arbre XML")},
        {creerPageRecherche(), 166, QString()},
    };
    for (const Vue &vue : vues) {
        const int index = pcSupplement->addTab(vue.page, ListeImages::icone(vue.image), QString());
        pcSupplement->setTabToolTip(index, vue.indice);
    }
    pcSupplement->setCurrentIndex(0);
}

QWidget *TmainForm::creerPageFavoris()
{
    pageFavoris = new QWidget;
    NOMMER(pageFavoris);
    btTitreFavoris = titre(QStringLiteral("FAVORIS"), pageFavoris);
    NOMMER(btTitreFavoris);
    auto disposition = colonneSousTitre(pageFavoris, btTitreFavoris);

    arbreFavoris = new QTreeWidget(pageFavoris);
    NOMMER(arbreFavoris);
    arbreFavoris->setHeaderHidden(true);
    arbreFavoris->setFont(Polices::favoris());
    arbreFavoris->setIndentation(19);
    arbreFavoris->setEditTriggers(QAbstractItemView::NoEditTriggers);
    arbreFavoris->setSelectionMode(QAbstractItemView::SingleSelection);
    disposition->addWidget(arbreFavoris, 1);
    return pageFavoris;
}

QWidget *TmainForm::creerPageListeRSS()
{
    pageListeRSS = new QWidget;
    NOMMER(pageListeRSS);
    btTitreListeRSS = titre(QStringLiteral("FLUX RSS"), pageListeRSS);
    NOMMER(btTitreListeRSS);
    auto disposition = colonneSousTitre(pageListeRSS, btTitreListeRSS);

    listeRssSources = new QListWidget(pageListeRSS);
    NOMMER(listeRssSources);
    listeRssSources->setSelectionMode(QAbstractItemView::SingleSelection);
    disposition->addWidget(listeRssSources, 1);

    panelBoutonsRSS = new QWidget(pageListeRSS);
    NOMMER(panelBoutonsRSS);
    panelBoutonsRSS->setFixedHeight(192);
    auto boutons = colonne(panelBoutonsRSS);
    btAjouterRSS = bouton(QStringLiteral("Ajouter RSS"), panelBoutonsRSS);
    NOMMER(btAjouterRSS);
    btSupprimerFlux = bouton(QStringLiteral("Supprimer RSS"), panelBoutonsRSS);
    NOMMER(btSupprimerFlux);
    btDecocherTout = bouton(QStringLiteral("Décocher tout"), panelBoutonsRSS);
    NOMMER(btDecocherTout);
    btConnexionFond = bouton(QStringLiteral("Connexion RSS"), panelBoutonsRSS);
    NOMMER(btConnexionFond);
    btConnexionFond->setAspectEnfonce(true);
    for (QWidget *b : {btAjouterRSS, btSupprimerFlux, btDecocherTout, btConnexionFond})
        boutons->addWidget(b);
    boutons->addStretch(1);

    auto groupe = new QGroupBox(QStringLiteral("Favoris : "), panelBoutonsRSS);
    groupeFavoris = groupe;
    NOMMER(groupeFavoris);
    groupe->setFixedHeight(97);
    auto contenu = new QVBoxLayout(groupe);
    contenu->setContentsMargins(6, 4, 6, 6);
    contenu->setSpacing(4);
    auto etiquette = new QLabel(QStringLiteral("Ajouter dans :"), groupe);
    etiquette->setObjectName(QStringLiteral("lbAjouterDans"));
    etiquette->setFont(Polices::fenetre(true));
    contenu->addWidget(etiquette);
    cbListeFavoris = new QComboBox(groupe);
    NOMMER(cbListeFavoris);
    contenu->addWidget(cbListeFavoris);
    btAjouterFavoris = bouton(QStringLiteral("Ajouter"), groupe);
    NOMMER(btAjouterFavoris);
    contenu->addWidget(btAjouterFavoris);
    boutons->addWidget(groupe);

    disposition->addWidget(panelBoutonsRSS);
    return pageListeRSS;
}

QWidget *TmainForm::creerPageArbreXML()
{
    pageArbreXML = new QWidget;
    NOMMER(pageArbreXML);
    pageArbreXML->setFont(Polices::fenetre(true)); // la page, son titre et son arbre sont en gras
    btTitreArbreXML = titre(QStringLiteral("ARBRE RSS"), pageArbreXML);
    NOMMER(btTitreArbreXML);
    auto disposition = colonneSousTitre(pageArbreXML, btTitreArbreXML);

    xmlTreeView = new QTreeView(pageArbreXML);
    NOMMER(xmlTreeView);
    preparerVueArbreXML(xmlTreeView);
    disposition->addWidget(xmlTreeView, 1);
    return pageArbreXML;
}

QWidget *TmainForm::creerPageRecherche()
{
    TabSheet1 = new QWidget;
    NOMMER(TabSheet1);
    btTitreRecherche = titre(QStringLiteral("RECHERCHE"), TabSheet1);
    NOMMER(btTitreRecherche);
    auto disposition = colonneSousTitre(TabSheet1, btTitreRecherche);

    panelRecherche = new QWidget(TabSheet1);
    NOMMER(panelRecherche);
    panelRecherche->setFixedHeight(161);
    auto champs = new QVBoxLayout(panelRecherche);
    champs->setContentsMargins(6, 4, 6, 0);
    champs->setSpacing(2);
    champs->addWidget(new QLabel(QStringLiteral("Rechercher :"), panelRecherche));
    edRecherche = new QLineEdit(panelRecherche);
    NOMMER(edRecherche);
    champs->addWidget(edRecherche);
    champs->addWidget(new QLabel(QStringLiteral("dans :"), panelRecherche));
    cbRechercheTitre = new QCheckBox(QStringLiteral("Titre de l'information"), panelRecherche);
    NOMMER(cbRechercheTitre);
    cbRechercheLien = new QCheckBox(QStringLiteral("Lien de l'information"), panelRecherche);
    NOMMER(cbRechercheLien);
    cbRechercheDescription = new QCheckBox(QStringLiteral("Description de l'information"), panelRecherche);
    NOMMER(cbRechercheDescription);
    for (QWidget *c : {cbRechercheTitre, cbRechercheLien, cbRechercheDescription})
        champs->addWidget(c);
    champs->addStretch(1);

    auto boutons = new QHBoxLayout;
    boutons->setSpacing(0);
    pbBoutonRechercher = bouton(QStringLiteral("Rechercher"), panelRecherche);
    NOMMER(pbBoutonRechercher);
    pbBoutonRechercher->setIndice(QStringLiteral("Lancer la recherche"));
    pbBoutonRechercherOuvrir = bouton(QStringLiteral("Ouvrir flux"), panelRecherche);
    NOMMER(pbBoutonRechercherOuvrir);
    pbBoutonRechercherOuvrir->setIndice(QStringLiteral("Ouvrir le ou les flux sélectionné(s)"));
    boutons->addWidget(pbBoutonRechercher);
    boutons->addWidget(pbBoutonRechercherOuvrir);
    champs->addLayout(boutons);
    disposition->addWidget(panelRecherche);

    listeRecherche = new QListWidget(TabSheet1);
    NOMMER(listeRecherche);
    listeRecherche->setSelectionMode(QAbstractItemView::SingleSelection);
    disposition->addWidget(listeRecherche, 1);
    return TabSheet1;
}

void TmainForm::affichageFavorisExecute()
{
    pcSupplement->setCurrentIndex(0);
}

void TmainForm::affichageFluxExecute()
{
    pcSupplement->setCurrentIndex(1);
}

void TmainForm::affichageArbreFluxExecute()
{
    pcSupplement->setCurrentIndex(2);
}

void TmainForm::affichageRechercheExecute()
{
    pcSupplement->setCurrentIndex(3);
}

void TmainForm::afficherArbreXML()
{
    if (!dmRSS)
        return;
    construireArbreXML(xmlTreeView, dmRSS->XMLDoc.elementDocument());
}
