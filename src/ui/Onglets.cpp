// Les onglets des flux ouverts et la vue de page : ouvrir un fichier, une source ou un favori
// dans un nouvel onglet, remontrer l'onglet courant, fermer un onglet, naviguer dans pageHTML,
// remplir les deux listes d'informations.
//
// Il n'y a qu'un document de lecture (XMLDoc) et qu'un fichier de page : chaque fois qu'un onglet
// s'ouvre ou redevient courant, son fichier est relu et sa page réécrite, sauf quand le fichier
// n'a pas changé depuis sa dernière lecture (RepriseBascule). Un onglet ne garde que sa fiche
// TObjetString, attachée à l'onglet et détruite avec lui.

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "model/TObjetString.h"
#include "paint/TBoitePeinte.h"
#include "ui/DonneesLignes.h"
#include "ui/PageHTML.h"
#include "ui/RepriseBascule.h"
#include "ui/TSeparateur.h"
#include "ui/TmainForm.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineView>

namespace {

// Le nom d'un fichier sans son dossier.
QString nomSansDossier(const QString &chemin)
{
    return QFileInfo(chemin).fileName();
}

// Le dossier d'un chemin, terminé par un séparateur, tel qu'il est écrit.
QString dossierDe(const QString &chemin)
{
    return chemin.left(chemin.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

void TmainForm::preparerPageHTML()
{
    pagePageHTML = new TPageHTML(pageHTML);
    pageHTML->setPage(pagePageHTML);
    TPageHTML::brancherMenuContextuel(pageHTML);
}

// --- Barre de progression ---

// Montrée au début d'une commande d'ouverture ; cachée et remise à 0 à sa fin, quelle qu'elle soit
// (fin normale, document illisible, ou erreur qui remonte à la boîte d'erreur).
class TmainForm::BarreOuverture
{
public:
    explicit BarreOuverture(TmainForm &fenetre) : m_fenetre(fenetre)
    {
        m_fenetre.rendreBarreAuxCommandes();
        m_fenetre.pbarGenerale->show();
    }
    ~BarreOuverture()
    {
        m_fenetre.pbarGenerale->hide();
        m_fenetre.pbarGenerale->setValue(0);
        m_fenetre.montrerProgressionActualisation();
    }
    BarreOuverture(const BarreOuverture &) = delete;
    BarreOuverture &operator=(const BarreOuverture &) = delete;

private:
    TmainForm &m_fenetre;
};

void TmainForm::barreA(int position)
{
    pbarGenerale->setValue(position);
    // Les téléchargements bloquent la boucle des messages : la barre se peint tout de suite.
    pbarGenerale->repaint();
}

void TmainForm::barreSansAttente(int position)
{
    pbarGenerale->setValue(position);
}

QString TmainForm::telechargerEtLire(const QString &adresse, int positionApresTelechargement)
{
    const QString copieLocale = dmRSS->telechargerFlux(adresse);
    if (copieLocale.isEmpty()) // arrêté par l'utilisateur
        return QString();
    barreA(positionApresTelechargement);
    return dmRSS->chargerDocumentXML(copieLocale) ? copieLocale : QString();
}

// --- Vue de page ---

void TmainForm::naviguerVersFichier(const QString &chemin)
{
    // Le fichier de page passe par l'adresse qui le sert en Windows-1252 ; tout autre fichier
    // local serait refusé par les règles de la page.
    pageHTML->load(chemin == Emplacement::cheminPage() ? TPageHTML::adressePage() : QUrl::fromLocalFile(chemin));
}

void TmainForm::naviguerVersVide()
{
    pageHTML->load(QUrl(QStringLiteral("about:blank")));
}

void TmainForm::afficherTitreFlux(const QString &titre)
{
    pbTitreFlux->setIndice(titre);
    // Rien ne bloque après : la barre de titre se peint avec le reste de la fenêtre.
    pbTitreFlux->update();
}

PFlux TmainForm::afficherDocument(const std::function<bool(const TInfo &)> &estNouvelle)
{
    afficherArbreXML();
    PFlux fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
    naviguerVersFichier(dmRSS->genererPageDocument(*fluxLu, estNouvelle));
    return fluxLu;
}

void TmainForm::pageHTMLPrecedentExecute()
{
    pageHTML->back();
}

void TmainForm::pageHTMLSuivanteExecute()
{
    pageHTML->forward();
}

void TmainForm::pageHTMLActualiserExecute()
{
    pageHTML->reload();
}

// --- Onglets ---

TObjetString *TmainForm::ficheOnglet(int index) const
{
    if (index < 0 || index >= ongletsPages->count())
        return nullptr;
    return qobject_cast<TObjetString *>(ongletsPages->tabData(index).value<QObject *>());
}

TObjetString *TmainForm::ficheCourante() const
{
    return ficheOnglet(ongletsPages->currentIndex());
}

void TmainForm::ajouterOnglet(const QString &legende, std::unique_ptr<TObjetString> fiche, PFlux fluxLu)
{
    if (!fiche || fiche->getChemin().isEmpty())
        return;
    {
        // Un onglet rendu courant par programme ne lance pas ongletsPagesChange.
        const QSignalBlocker bloqueur(ongletsPages);
        TObjetString *attachee = fiche.release();
        attachee->setParent(ongletsPages);
        const int index = ongletsPages->addTab(legende);
        ongletsPages->setTabData(index, QVariant::fromValue(static_cast<QObject *>(attachee)));
        ongletsPages->setCurrentIndex(index);
    }
    btFermerOnglet->show();
    actualiserListesInfos(std::move(fluxLu));
}

void TmainForm::actualiserListesInfos(PFlux fluxLu)
{
    listeInfosFlux->clear();
    listeInfosFluxCharge->clear();

    const TObjetString *fiche = ficheCourante();
    const QList<QWidget *> controlesSauvegardes = {panelCommandesInfosFlux, listeInfosFluxCharge, splitPanelFlux,
                                                   pbSupprimerInfo};
    if (!fiche) {
        for (QWidget *controle : controlesSauvegardes)
            controle->hide();
        return;
    }

    // Le flux lu n'est gardé par rien d'autre que ses lignes : chaque ligne partage son
    // information, et le flux lui-même est libéré en sortant.
    if (!fluxLu)
        fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
    for (const PInfo &info : std::as_const(fluxLu->infos)) {
        auto ligne = new QListWidgetItem(info->getTitre());
        DonneesLignes::attacherInfo(ligne, info);
        listeInfosFlux->addItem(ligne);
    }

    const PFlux fluxBase = fiche->getFlux();
    if (fluxBase) {
        for (const PInfo &info : std::as_const(fluxBase->infos)) {
            auto ligne = new QListWidgetItem(info->getTitre());
            DonneesLignes::attacherInfo(ligne, info);
            listeInfosFluxCharge->addItem(ligne);
        }
    }
    for (QWidget *controle : controlesSauvegardes)
        controle->setVisible(fluxBase != nullptr);
}

void TmainForm::ongletsPagesChange()
{
    const TObjetString *fiche = ficheCourante();
    if (!fiche || !dmRSS)
        return;
    // Rien n'est téléchargé : l'onglet montre ce qui l'a été à son ouverture. Un fichier inchangé
    // depuis sa dernière lecture (l'un des deux derniers documents montrés) n'est pas relu : son
    // arbre et ses lignes de page sont repris ; tout le reste se refait.
    const QString chemin = fiche->getChemin();
    const SignatureFichier signature = SignatureFichier::de(chemin);
    const PFlux flux = fiche->getFlux();
    if (repriseBascule().reprendre(chemin, signature, *dmRSS)) {
        afficherArbreXML();
        const PFlux fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
        montrerPageOnglet(*fiche, flux ? dmRSS->genererPageInfosSauvegardees(*flux) : Emplacement::cheminPage());
        actualiserListesInfos(fluxLu);
        return;
    }
    if (!lireEtNoter(chemin, signature))
        return;

    // La page et les listes montrent le même flux, lu une fois.
    afficherArbreXML();
    const PFlux fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
    QString page = dmRSS->genererPageDocument(*fluxLu);
    m_reprise->noterLignesPage(dmRSS->getLignesPage());
    if (flux)
        page = dmRSS->genererPageInfosSauvegardees(*flux);
    montrerPageOnglet(*fiche, page);
    actualiserListesInfos(fluxLu);
}

RepriseBascule &TmainForm::repriseBascule()
{
    if (!m_reprise)
        m_reprise = std::make_unique<RepriseBascule>();
    return *m_reprise;
}

bool TmainForm::lireEtNoter(const QString &chemin, const SignatureFichier &signature)
{
    repriseBascule().avantLecture(*dmRSS);
    if (!dmRSS->chargerDocumentXML(chemin))
        return false;
    m_reprise->noterLecture(chemin, signature, *dmRSS);
    return true;
}

void TmainForm::montrerPageOnglet(const TObjetString &fiche, const QString &page)
{
    naviguerVersFichier(page);
    const PFlux flux = fiche.getFlux();
    afficherTitreFlux(flux ? flux->getTitre() : fiche.getTexte().value_or(QString()));
}

void TmainForm::ouvrirRSSExecute()
{
    if (!dmRSS)
        return;
    if (const std::optional<QString> choix = dmRSS->choisirCheminRSS())
        ouvrirFichierRSS(*choix);
}

void TmainForm::ouvrirFichierRSS(const QString &chemin)
{
    // La lecture est notée comme celle d'une bascule : revenir à cet onglet ne relit pas un
    // fichier inchangé depuis. La signature est relevée avant la lecture.
    if (!dmRSS || !lireEtNoter(chemin, SignatureFichier::de(chemin)))
        return;
    montrerFichierOuvert(chemin);
}

void TmainForm::montrerFichierOuvert(const QString &chemin)
{
    const BarreOuverture barre(*this);
    barreA(17);
    // Le document montré comme par afficherDocument : la page, le titre et les listes montrent
    // le même flux, lu une fois.
    afficherArbreXML();
    const PFlux fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
    naviguerVersFichier(dmRSS->genererPageDocument(*fluxLu));
    repriseBascule().noterLignesPage(dmRSS->getLignesPage());
    const QString titre = fluxLu->getTitre();
    // Le fichier est déjà lu : une seule peinture forcée, celle du début, montre la barre.
    barreSansAttente(47);
    barreSansAttente(73);
    ajouterOnglet(QStringLiteral("Fichier : ") + nomSansDossier(chemin), std::make_unique<TObjetString>(chemin, titre),
                  fluxLu);
    barreSansAttente(100);
    afficherTitreFlux(titre);
}

void TmainForm::connexionRSS_HTTPExecute()
{
    if (!dmRSS || listeRssSources->currentRow() < 0)
        return;
    const QString adresse = listeRssSources->currentItem()->text();
    const BarreOuverture barre(*this);
    barreA(17);
    const QString copieLocale = telechargerEtLire(adresse, 35);
    if (copieLocale.isEmpty())
        return;
    barreA(45);
    // La page ne montre que le flux tel qu'il vient d'être lu, ses nouvelles marquées ; les
    // listes montrent le même. Ensuite ses informations comptent comme lues.
    const PFlux fluxLu = afficherDocument(nouveautesDe(adresse));
    noterSourceLue(adresse, *fluxLu);
    barreSansAttente(55);
    const PFlux flux = dmRSS->chercherFluxParUrl(adresse);
    barreA(75);
    std::unique_ptr<TObjetString> fiche;
    QString titre;
    if (flux) {
        fiche = std::make_unique<TObjetString>(copieLocale, flux);
        titre = flux->getTitre();
    } else {
        // Une adresse qu'aucun flux de la base n'a : l'onglet vit comme celui d'un fichier, avec
        // le titre du document lu.
        titre = fluxLu->getTitre();
        fiche = std::make_unique<TObjetString>(copieLocale, titre);
    }
    ajouterOnglet(QStringLiteral("Fil : ") + nomSansDossier(copieLocale), std::move(fiche), fluxLu);
    barreSansAttente(100);
    afficherTitreFlux(titre);
}

void TmainForm::chargerFluxExecute()
{
    if (!dmRSS)
        return;
    const PFlux flux = DonneesLignes::fluxDuNoeud(arbreFavoris->currentItem());
    if (flux)
        ouvrirFluxDeBase(flux);
}

void TmainForm::ouvrirFluxDeBase(const PFlux &flux)
{
    const BarreOuverture barre(*this);
    barreA(15);
    const QString copieLocale = telechargerEtLire(flux->getUrlRss(), 25);
    if (copieLocale.isEmpty())
        return;
    barreA(32);
    afficherArbreXML();
    barreA(43);
    const PFlux fluxLu = dmRSS->analyserFlux(dmRSS->XMLDoc);
    dmRSS->genererPageDocument(*fluxLu, nouveautesDe(flux->getUrlRss()));
    noterSourceLue(flux->getUrlRss(), *fluxLu);
    barreA(55);
    const QString page = dmRSS->genererPageInfosSauvegardees(*flux);
    barreSansAttente(63);
    auto fiche = std::make_unique<TObjetString>(copieLocale, page, flux);
    barreSansAttente(80);
    naviguerVersFichier(page);
    barreA(100);
    ajouterOnglet(flux->getTitre(), std::move(fiche), fluxLu);
    afficherTitreFlux(flux->getTitre());
}

void TmainForm::fermerOngletExecute()
{
    const int i = ongletsPages->currentIndex();
    if (i < 0)
        return;
    TObjetString *fiche = ficheOnglet(i);
    const QString chemin = fiche ? fiche->getChemin() : QString();
    bool partage = false;
    for (int autre = 0; autre < ongletsPages->count() && !partage; ++autre) {
        if (autre == i)
            continue;
        const TObjetString *ficheAutre = ficheOnglet(autre);
        partage = ficheAutre && ficheAutre->getChemin() == chemin;
    }
    // Seules les copies locales de ressourcesHTML sont effacées, et seulement quand plus aucun
    // onglet ne les montre.
    if (!chemin.isEmpty() && !partage && dossierDe(chemin) == Emplacement::dossierRessources())
        QFile::remove(chemin);

    {
        const QSignalBlocker bloqueur(ongletsPages);
        ongletsPages->removeTab(i);
    }
    delete fiche;

    if (ongletsPages->count() == 0) {
        btFermerOnglet->hide();
        naviguerVersVide();
        afficherTitreFlux(QStringLiteral("-"));
        actualiserListesInfos();
        return;
    }
    btFermerOnglet->show();
    {
        const QSignalBlocker bloqueur(ongletsPages);
        ongletsPages->setCurrentIndex(i >= 1 ? i - 1 : 0);
    }
    // À la fermeture de la fenêtre, les onglets restants ne sont pas remontrés un à un.
    if (!m_fermetureEnCours)
        ongletsPagesChange();
}
