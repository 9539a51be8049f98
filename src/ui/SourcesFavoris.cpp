// La liste des sources (listeRssSources : une ligne par flux de fluxBase, dans le même ordre),
// l'arbre des favoris (arbreFavoris : les rubriques, et sous chacune les flux qui y sont rangés),
// la liste des rubriques (cbListeFavoris) et les commandes qui les changent.

#include "base/TdmRSS.h"
#include "model/TObjetString.h"
#include "ui/DonneesLignes.h"
#include "ui/QuestionRepetee.h"
#include "ui/TmainForm.h"

#include <QComboBox>
#include <QListWidget>
#include <QTabBar>
#include <QTreeWidget>

namespace {

QListWidgetItem *nouvelleLigneSource(const QString &adresse)
{
    auto ligne = new QListWidgetItem(adresse);
    ligne->setFlags(ligne->flags() | Qt::ItemIsUserCheckable);
    ligne->setCheckState(Qt::Unchecked);
    return ligne;
}

bool estCochee(const QListWidget *liste, int ligne)
{
    return liste->item(ligne)->checkState() == Qt::Checked;
}

} // namespace

void TmainForm::actualiserListeSources()
{
    listeRssSources->clear();
    for (const PFlux &flux : std::as_const(dmRSS->getFluxBase()))
        listeRssSources->addItem(nouvelleLigneSource(flux->getUrlRss()));
    marquerNouvelles();
}

void TmainForm::actualiserFavoris()
{
    arbreFavoris->clear();
    cbListeFavoris->clear();
    const QList<PFlux> &fluxBase = dmRSS->getFluxBase();
    for (const PRubrique &rubrique : std::as_const(dmRSS->getRubriquesBase())) {
        const QString nom = rubrique->getNom();
        const TexteEtroit nomEtroit = versEtroit(nom);
        auto noeudRubrique = new QTreeWidgetItem(QStringList(nom));
        for (const PFlux &flux : fluxBase) {
            // Un flux rangé deux fois dans la rubrique y paraît deux fois.
            for (const TexteEtroit &rubriqueDuFlux : std::as_const(flux->rubriquesAssociees)) {
                if (rubriqueDuFlux != nomEtroit)
                    continue;
                auto favori = new QTreeWidgetItem(noeudRubrique, QStringList(flux->getTitre()));
                DonneesLignes::attacherFlux(favori, flux);
            }
        }
        arbreFavoris->addTopLevelItem(noeudRubrique);
        cbListeFavoris->addItem(nom);
    }
    arbreFavoris->setCurrentItem(nullptr);
    arbreFavoris->clearSelection();
    cbListeFavoris->setCurrentIndex(-1);
    marquerNouvelles();
}

void TmainForm::ajouterSourceRSSExecute()
{
    const QString adresse = dmRSS->dialogues().saisir(QStringLiteral("Ajout d'un flux RSS"), QStringLiteral("URL : "));
    if (adresse.isEmpty())
        return;
    const PFlux flux = dmRSS->ajouterSourceParURL(adresse);
    if (flux) {
        listeRssSources->addItem(nouvelleLigneSource(flux->getUrlRss()));
        marquerNouvelles();
    }
}

void TmainForm::supprimerSourceRSSExecute()
{
    QList<PFlux> &fluxBase = dmRSS->getFluxBase();
    QuestionRepetee question(dmRSS->dialogues());
    // De la dernière ligne à la première : les lignes qui restent à voir gardent leur numéro.
    for (int i = listeRssSources->count() - 1; i >= 0; --i) {
        if (!estCochee(listeRssSources, i))
            continue;
        const PFlux flux = fluxBase.at(i);
        const QuestionRepetee::Suite suite = question.demander(
            QStringLiteral("Etes-vous sûr de vouloir supprimer ce flux '") + flux->getUrlRss()
            + QStringLiteral("' ?\nTitre : ") + flux->getTitre() + QStringLiteral("\nDescription : ")
            + flux->getDescription() + QStringLiteral("."));
        if (suite == QuestionRepetee::Suite::Arreter)
            break; // ce qui est fait reste fait
        if (suite == QuestionRepetee::Suite::Faire)
            fluxBase.removeAt(i);
    }
    actualiserListeSources();
    actualiserFavoris();
    apresRetraitDeFlux();
}

void TmainForm::apresRetraitDeFlux()
{
    // Rien ne doit plus se ranger dans un flux qui a quitté la base, puisque aucune sauvegarde ne
    // l'écrirait. Un résultat de recherche qui le montrait disparaît de la liste.
    const QList<PFlux> &fluxBase = dmRSS->getFluxBase();
    for (int l = listeRecherche->count() - 1; l >= 0; --l) {
        const PFlux flux = DonneesLignes::fluxDeLigne(listeRecherche->item(l));
        if (flux && !fluxBase.contains(flux))
            delete listeRecherche->takeItem(l);
    }
    // Un onglet qui le montrait devient un onglet de fichier : ses informations sauvegardées ne
    // sont plus proposées. Son titre reste celui qu'il montrait.
    bool courantDetache = false;
    for (int o = 0; o < ongletsPages->count(); ++o) {
        TObjetString *fiche = ficheOnglet(o);
        if (!fiche || !fiche->getFlux() || fluxBase.contains(fiche->getFlux()))
            continue;
        fiche->setTexte(fiche->getFlux()->getTitre());
        fiche->setFlux(nullptr);
        courantDetache = courantDetache || o == ongletsPages->currentIndex();
    }
    // L'onglet courant se remontre aussitôt : page sans bannière, contrôles cachés.
    if (courantDetache)
        ongletsPagesChange();
}

void TmainForm::decocherTousFluxExecute()
{
    for (int i = 0; i < listeRssSources->count(); ++i)
        listeRssSources->item(i)->setCheckState(Qt::Unchecked);
}

void TmainForm::ajouterRubriqueExecute()
{
    const QString nom = dmRSS->dialogues().saisir(QStringLiteral("Ajout d'une rubrique"),
                                                  QStringLiteral("Nom de la nouvelle rubrique : "));
    if (nom.isEmpty())
        return;
    if (dmRSS->creerRubrique(versEtroit(nom)))
        actualiserFavoris();
}

void TmainForm::supprimerRubriqueExecute()
{
    const QTreeWidgetItem *noeud = arbreFavoris->currentItem();
    if (!noeud || !noeud->isSelected() || noeud->parent())
        return;
    dmRSS->detruireRubrique(noeud->text(0));
    actualiserFavoris();
}

void TmainForm::ajouterFluxDansRubriqueExecute()
{
    const int index = cbListeFavoris->currentIndex();
    if (index < 0)
        return;
    const QString nom = cbListeFavoris->itemText(index);
    for (int i = listeRssSources->count() - 1; i >= 0; --i) {
        if (estCochee(listeRssSources, i))
            dmRSS->ajouterRubriqueAuFlux(nom, *dmRSS->getFlux(i));
    }
    actualiserListeSources();
    actualiserFavoris();
}

void TmainForm::supprimerFluxDeRubriqueExecute()
{
    const QTreeWidgetItem *noeud = arbreFavoris->currentItem();
    if (!noeud || !noeud->isSelected() || !noeud->parent())
        return;
    const PFlux flux = DonneesLignes::fluxDuNoeud(noeud);
    if (!flux)
        return;
    const QString rubrique = noeud->parent()->text(0);
    const bool oui = dmRSS->dialogues().confirmer(
        TypeBoite::Confirmation, QStringLiteral("Etes-vous sûr de vouloir supprimer \nle flux '") + flux->getTitre()
                                     + QStringLiteral("' \nde la rubrique de favoris '") + rubrique
                                     + QStringLiteral("' ?\n"));
    if (!oui)
        return;
    dmRSS->retirerRubriqueDuFlux(rubrique, *flux);
    actualiserFavoris();
}
