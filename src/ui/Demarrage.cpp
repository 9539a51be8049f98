// La vie du programme : création de la fenêtre puis du module de données, chargement différé de
// la base par la minuterie de démarrage, sauvegarde, les deux questions de fermeture, « A propos ».

#include "ui/Demarrage.h"

#include "base/TdmRSS.h"
#include "commun/DossierDonnees.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "commun/InstanceUnique.h"
#include "reading/Actualisation.h"
#include "ui/ApresPeinture.h"
#include "ui/AttenteTelechargement.h"
#include "ui/DialoguesQt.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTabBar>
#include <QTimer>
#include <cstdio>
#include <future>

int executerLecteurRSS(TApplication &application)
{
    const QStringList fichiers = InstanceUnique::fichiersDesArguments(QCoreApplication::arguments());
    std::unique_ptr<InstanceUnique> instance;
    std::unique_ptr<TmainForm> mainForm;
    std::unique_ptr<DialoguesQt> dialogues;
    std::unique_ptr<TdmRSS> dmRSS;
    try {
        // Où vivent les fichiers, choisi une fois pour toute la vie du programme ; puis une seule
        // fenêtre par dossier de données : une seconde lui passe ses fichiers et s'arrête.
        DossierDonnees::appliquerAuDemarrage();
        instance = std::make_unique<InstanceUnique>(Emplacement::dossierExecutable());
        // Le verrou et la remise attendent surtout le disque, la fenêtre surtout le processus de
        // la vue web qui démarre : l'un pendant l'autre. Rien de la fenêtre n'écrit sur le disque
        // avant que le rôle soit connu ; une seconde instance la détruit sans l'avoir montrée.
        std::future<InstanceUnique::Role> role = std::async(std::launch::async, [&instance, &fichiers] {
            return instance->demarrer(fichiers, InstanceUnique::Ecoute::AuSignal);
        });
        mainForm = std::make_unique<TmainForm>();
        switch (role.get()) {
        case InstanceUnique::Role::Premiere:
            break;
        case InstanceUnique::Role::Seconde:
            return 0;
        case InstanceUnique::Role::Injoignable: {
            QString message = QStringLiteral("Le lecteur RSS est déjà ouvert sur « %1 » mais ne répond pas")
                                  .arg(Emplacement::dossierExecutable());
            if (!instance->probleme().isEmpty())
                message += QStringLiteral(" : ") + instance->probleme();
            std::fprintf(stderr, "%s.\n", qUtf8Printable(message));
            return 1;
        }
        }
        // Seule instance sur ce dossier : ce qu'une sauvegarde tuée a laissé ne sert plus à personne.
        supprimerRestesEcriture(Emplacement::cheminBase());
        supprimerRestesEcriture(Emplacement::cheminEtatLecture());

        dialogues = std::make_unique<DialoguesQt>(mainForm.get());
        application.setDialogues(dialogues.get());
        // Le module de données : ses documents, son client HTTP, la liste des lignes de page et
        // les deux listes de la base, vides. Il les libère à sa destruction sans effacer de fichier.
        dmRSS = std::make_unique<TdmRSS>(*dialogues);
        mainForm->setDmRSS(dmRSS.get());
        QObject::connect(instance.get(), &InstanceUnique::demandeRecue, mainForm.get(), &TmainForm::recevoirFichiers);
        mainForm->show();
        // Les lancements suivants se font entendre une fois la fenêtre peinte : ils réessaient
        // de la joindre pendant 2 s, sa socket n'a pas à retarder son apparition.
        apresPremierePeinture(mainForm.get(), 250, [i = instance.get()] { i->ecouter(); });
        // Les fichiers de la ligne de commande, une fois la boucle des messages partie.
        if (!fichiers.isEmpty())
            QTimer::singleShot(0, mainForm.get(), [f = mainForm.get(), fichiers] { f->recevoirFichiers(fichiers); });
    } catch (...) {
        // Une erreur au démarrage : la boîte d'erreur, puis le programme s'arrête.
        application.afficherExceptionCourante();
        return 0;
    }

    application.exec();

    // La fenêtre d'abord : elle garde un pointeur sur le module de données.
    mainForm.reset();
    dmRSS.reset();
    application.setDialogues(nullptr);
    return 0;
}

void TmainForm::recevoirFichiers(const QStringList &fichiers)
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    for (const QString &fichier : fichiers)
        ouvrirFichierRSS(fichier);
}

void TmainForm::FormCreate()
{
    timerDemarrage = new QTimer(this);
    timerDemarrage->setObjectName(QStringLiteral("timerDemarrage"));
    timerDemarrage->setInterval(500);
    connect(timerDemarrage, &QTimer::timeout, this, &TmainForm::timerDemarrageTimer);
    timerDemarrage->start();
}

void TmainForm::timerDemarrageTimer()
{
    // Pendant un téléchargement, la base attend le battement suivant.
    if (!dmRSS || attenteTelechargement->enCours())
        return;
    const QString chemin = Emplacement::cheminBase();
    if (!QFileInfo::exists(chemin))
        return;
    // Arrêtée avant de lire : une base illisible ne montre qu'une boîte d'erreur, et la
    // vérification ne reprend pas.
    timerDemarrage->stop();
    if (m_baseEnMemoire || !m_baseIllisible.isEmpty())
        return;

    QList<PFlux> &fluxBase = dmRSS->getFluxBase();
    QList<PRubrique> &rubriquesBase = dmRSS->getRubriquesBase();
    const qsizetype fluxAvant = fluxBase.size();
    const qsizetype rubriquesAvant = rubriquesBase.size();
    try {
        dmRSS->chargerBase(chemin);
    } catch (...) {
        // Rien d'une lecture interrompue ne reste dans les listes ; le fichier sera mis de côté
        // avant qu'une sauvegarde le remplace. L'erreur va à la boîte d'erreur de l'application,
        // qui nomme le fichier avant le message de l'analyseur.
        fluxBase.resize(fluxAvant);
        rubriquesBase.resize(rubriquesAvant);
        m_baseIllisible = chemin;
        const QString nom = QFileInfo(chemin).fileName();
        const QString prefixe = nom + QStringLiteral(" illisible : ");
        // L'utilisateur sait où ses données resteront : la sauvegarde ne les efface pas sans copie.
        const QString suite = QStringLiteral("\nElle sera gardée à côté d'elle, sous « %1.illisible- » suivi de la date, "
                                             "avant que la prochaine sauvegarde ne la remplace par les listes de la fenêtre.")
                                  .arg(nom);
        try {
            throw;
        } catch (const ErreurLecteur &erreur) {
            throw ErreurChargementXML(prefixe + erreur.message() + suite);
        } catch (const std::exception &erreur) {
            throw ErreurChargementXML(prefixe + QString::fromLocal8Bit(erreur.what()) + suite);
        }
    }
    m_baseEnMemoire = true;
    actualiserFavoris();
    actualiserListeSources();
    preparerRecherche();
    apresBaseChargee();
}

QString TmainForm::nomCopieBaseIllisible(const QString &cheminBase, const QDateTime &moment)
{
    return nomCopieIllisible(cheminBase, moment);
}

void TmainForm::sauvegarderXMLExecute()
{
    // Une base présente mais pas encore lue (la minuterie n'a pas encore tourné) est lue
    // d'abord : la sauvegarde ne doit pas la remplacer par des listes qui ne la contiennent pas.
    if (!m_baseEnMemoire && m_baseIllisible.isEmpty())
        timerDemarrageTimer();

    // Une base illisible est gardée à côté, sous un nom daté, avant d'être remplacée.
    if (!m_baseIllisible.isEmpty() && QFileInfo::exists(m_baseIllisible)) {
        const QString libre = cheminLibreCopieIllisible(m_baseIllisible, QDateTime::currentDateTime());
        if (!QFile::copy(m_baseIllisible, libre))
            throw ErreurEcriture(QStringLiteral("Impossible de garder la base illisible « %1 » sous « %2 ».")
                                     .arg(m_baseIllisible, libre));
    }
    m_baseIllisible.clear();

    dmRSS->sauvegarderBase();
    // Les listes sont désormais la base : la minuterie ne relira pas ce fichier par-dessus.
    m_baseEnMemoire = true;
    timerDemarrage->stop();
}

void TmainForm::quitterExecute()
{
    close();
}

bool TmainForm::FormCloseQuery()
{
    if (!dmRSS)
        return true;
    IDialogues &dialogues = dmRSS->dialogues();
    // Seul Oui ferme : la boîte fermée sans réponse (Échap, sa case de fermeture) vaut Non, comme
    // partout ailleurs ; fermer sans la seconde question perdrait les changements non sauvegardés.
    if (!dialogues.confirmer(TypeBoite::Confirmation, QStringLiteral("Etes-vous sûr de vouloir quitter l'application ?")))
        return false;
    if (dialogues.confirmer(TypeBoite::Confirmation, QStringLiteral("Voulez-vous sauvegarder les modifications ?")))
        sauvegarderXMLExecute(); // une erreur ici laisse la fenêtre ouverte, onglets compris
    m_fermetureEnCours = true;
    const auto fin = qScopeGuard([this] { m_fermetureEnCours = false; });
    while (ongletsPages->count() > 0)
        fermerOngletExecute();
    return true;
}

void TmainForm::closeEvent(QCloseEvent *event)
{
    // Refusée tant que les questions n'ont pas dit oui, et aussi quand elles lèvent une erreur.
    event->ignore();
    // Pendant un téléchargement, les questions attendent qu'il soit arrêté.
    if (attenteTelechargement->enCours()) {
        attenteTelechargement->annulerPuisFermer();
        return;
    }
    if (FormCloseQuery()) {
        // L'actualisation s'arrête là ; l'état de lecture s'écrit tel qu'il est.
        actualisation->arreter();
        ecrireEtatLecture(true);
        event->accept();
    }
}

void TmainForm::aProposExecute()
{
    dmRSS->dialogues().afficher(TypeBoite::Personnalisee,
                                QStringLiteral("Brindlewave - Lecteur RSS\n"
                                               "Lecteur de fils RSS 0.9x, 1.0 et 2.0, avec base de favoris.\n"
                                               "Écrit en C++ avec Qt 6 et libcurl.\n"
                                               "© Brindlewave"),
                                BoutonsBoite::Ok);
}
