#include "ui/TApplication.h"

#include "commun/Erreurs.h"
#include "ui/DialoguesQt.h"

#include <QLibraryInfo>
#include <QQuickWindow>
#include <QTranslator>
#include <exception>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , m_dialoguesQt(std::make_unique<DialoguesQt>())
{
    // Seulement le nom : un nom d'affichage s'ajouterait à la légende de chaque fenêtre.
    setApplicationName(titre());
    // Sous Wayland, le bureau prend l'icône des fenêtres de l'entrée de bureau nommée ici.
    setDesktopFileName(QStringLiteral("org.brindlewave.LecteurRSS"));
    choisirRenduDeLaVueWeb();
    installerTraductions(*this);
    m_dialogues = m_dialoguesQt.get();
}

TApplication::~TApplication() = default;

void TApplication::choisirRenduDeLaVueWeb()
{
    // La vue web se dessine en logiciel, comme le reste de la fenêtre. Dessinée par OpenGL, elle
    // ferait recomposer toute la fenêtre par OpenGL à chaque image, pour la page comme pour chaque
    // liste ou barre qui change ; sans carte graphique (OpenGL rendu par le processeur), chaque
    // ouverture de flux s'en trouvait nettement ralentie. Une page de flux, faite de tableaux, de
    // texte et d'images, n'a rien à gagner d'OpenGL. Qui veut un autre rendu le choisit par
    // QT_QUICK_BACKEND.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

QString TApplication::titre()
{
    return QStringLiteral("Brindlewave-LecteurRSS");
}

bool TApplication::installerTraductions(QCoreApplication &application)
{
    auto traducteur = new QTranslator(&application);
    if (!traducteur->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traducteur;
        return false;
    }
    return QCoreApplication::installTranslator(traducteur);
}

void TApplication::afficherExceptionCourante()
{
    QString message;
    try {
        throw;
    } catch (const ErreurLecteur &erreur) {
        message = erreur.message();
    } catch (const std::exception &erreur) {
        message = QString::fromLocal8Bit(erreur.what());
    } catch (...) {
        // Ce qui n'est pas une exception du programme ni de la bibliothèque standard : message vide.
    }
    if (m_dansBoiteErreur || !m_dialogues)
        return;
    m_dansBoiteErreur = true;
    try {
        m_dialogues->afficher(TypeBoite::Erreur, message, BoutonsBoite::Ok, titre());
    } catch (...) {
    }
    m_dansBoiteErreur = false;
}

bool TApplication::notify(QObject *destinataire, QEvent *evenement)
{
    try {
        return QApplication::notify(destinataire, evenement);
    } catch (...) {
        afficherExceptionCourante();
        return false;
    }
}
