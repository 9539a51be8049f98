// Les informations sauvegardées d'un flux de la base : ranger l'information choisie du flux
// montré dans le flux de la base de l'onglet courant, et en retirer les lignes choisies de
// listeInfosFluxCharge. Après l'une ou l'autre, l'onglet courant est remontré : sa page (sous
// la bannière des informations sauvegardées) et ses deux listes disent ce qui est rangé.
// Rien n'est écrit dans le fichier de la base avant une sauvegarde.

#include "base/TdmRSS.h"
#include "model/TObjetString.h"
#include "ui/DonneesLignes.h"
#include "ui/QuestionRepetee.h"
#include "ui/TmainForm.h"

#include <QListWidget>

namespace {

QString questionSuppression(const TInfo &info)
{
    return u"Etes-vous sûr de vouloir supprimer l'information '" + info.getTitre() + u"' \nLien : "
        + info.getLien() + u"\ndu " + info.getDatePub() + u" ?";
}

} // namespace

void TmainForm::remontrerApresChangement()
{
    ongletsPagesChange();
    // Un fichier d'onglet devenu illisible a déjà dit son échec dans sa boîte : il n'y a plus de
    // document de lecture d'où remplir la liste des informations du flux.
    if (dmRSS->XMLDoc.estActif())
        actualiserListesInfos();
}

void TmainForm::enregistrerInfoDansFluxExecute()
{
    const QList<QListWidgetItem *> choisies = listeInfosFlux->selectedItems();
    if (choisies.isEmpty())
        return;
    const TObjetString *fiche = ficheCourante();
    const PFlux flux = fiche ? fiche->getFlux() : nullptr;
    const PInfo info = DonneesLignes::infoDeLigne(choisies.first());
    if (!flux || !info)
        return;
    // L'information même de la ligne est rangée ; une information égale déjà rangée n'est pas
    // doublée (ajouterInfo pose sa question).
    dmRSS->ajouterInfo(info, *flux);
    remontrerApresChangement();
}

void TmainForm::supprimerInfoDeFluxExecute()
{
    if (listeInfosFluxCharge->isHidden() || !listeInfosFluxCharge->currentItem()
        || listeInfosFluxCharge->selectedItems().isEmpty())
        return;
    const TObjetString *fiche = ficheCourante();
    const PFlux flux = fiche ? fiche->getFlux() : nullptr;
    if (!flux)
        return;

    QuestionRepetee question(dmRSS->dialogues());
    // De la dernière ligne à la première.
    for (int i = listeInfosFluxCharge->count() - 1; i >= 0; --i) {
        const QListWidgetItem *ligne = listeInfosFluxCharge->item(i);
        const PInfo info = ligne->isSelected() ? DonneesLignes::infoDeLigne(ligne) : nullptr;
        if (!info)
            continue;
        const QuestionRepetee::Suite suite = question.demander(questionSuppression(*info));
        if (suite == QuestionRepetee::Suite::Arreter)
            break; // ce qui est retiré le reste
        if (suite == QuestionRepetee::Suite::Faire)
            dmRSS->supprimerInfo(info.get(), *flux);
    }
    remontrerApresChangement();
}
