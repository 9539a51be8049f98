#include "ui/PageHTML.h"

#include "commun/Emplacement.h"
#include "ui/ReponsePage.h"

#include <QDesktopServices>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace {

const char *const schemaPage = "lecteur-rss";

// Le schéma de la page, connu du moteur avant que l'application existe (le moteur l'exige).
// Local, comme file: : une page distante ne peut ni l'ouvrir ni le charger dans un cadre ; sans
// accès local, il ne lit lui-même aucun fichier.
const bool schemaEnregistre = [] {
    QWebEngineUrlScheme schema(schemaPage);
    schema.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    schema.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(schema);
    return true;
}();

// Sert le fichier de page, tel qu'il est sur le disque à cet instant, en Windows-1252 ; rien
// d'autre sous ce schéma.
class TServeurPage : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob *demande) override
    {
        if (demande->requestMethod() != "GET" || demande->requestUrl() != TPageHTML::adressePage()) {
            demande->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        repondreParFichier(demande, Emplacement::cheminPage());
    }
};

// Le profil privé de la page : détruit avec elle, après elle (il est son enfant).
QWebEngineProfile *profilPrive()
{
    auto profil = new QWebEngineProfile();
    profil->installUrlSchemeHandler(schemaPage, new TServeurPage(profil));
    return profil;
}

bool estWeb(const QUrl &adresse)
{
    const QString schema = adresse.scheme();
    return schema == u"http" || schema == u"https";
}

} // namespace

TPageHTML::TPageHTML(QObject *parent)
    : QWebEnginePage(profilPrive(), parent)
{
    Q_UNUSED(schemaEnregistre);
    profile()->setParent(this);

    QWebEngineSettings *reglages = settings();
    // Le codage vient du schéma de la page ; celui-ci ne sert qu'aux pages qui ne disent rien.
    reglages->setDefaultTextEncoding(QStringLiteral("windows-1252"));
    reglages->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    reglages->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    reglages->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    reglages->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    // Les images distantes d'un flux (son logo, celles des descriptions) se montrent.
    reglages->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    reglages->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    reglages->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    reglages->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);

    // Toutes les pages du flux ont la même adresse : sans cela, le moteur rendrait à la nouvelle
    // page la position de défilement de l'ancienne. Ce script du monde de l'application (les
    // scripts des pages restent coupés) ne touche qu'à la page du lecteur.
    QWebEngineScript depuisLeHaut;
    depuisLeHaut.setName(QStringLiteral("depuisLeHaut"));
    depuisLeHaut.setWorldId(QWebEngineScript::ApplicationWorld);
    depuisLeHaut.setInjectionPoint(QWebEngineScript::DocumentCreation);
    depuisLeHaut.setRunsOnSubFrames(false);
    depuisLeHaut.setSourceCode(QStringLiteral("if (location.protocol === '%1:') history.scrollRestoration = 'manual';")
                                   .arg(QLatin1String(schemaPage)));
    scripts().insert(depuisLeHaut);

    connect(this, &QWebEnginePage::newWindowRequested, this, &TPageHTML::ouvrirIci);
}

TPageHTML::~TPageHTML() = default;

QUrl TPageHTML::adressePage()
{
    return QUrl(QLatin1String(schemaPage) + QStringLiteral(":rss-temps.html"));
}

bool TPageHTML::adresseAutorisee(const QUrl &adresse, bool cadrePrincipal)
{
    if (estWeb(adresse))
        return true;
    if (!cadrePrincipal)
        return false;
    if (adresse.scheme() == u"about")
        return adresse.path() == u"blank";
    // La page elle-même (une ancre comprise), et aucun fichier local.
    return adresse.adjusted(QUrl::RemoveFragment) == adressePage();
}

bool TPageHTML::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (adresseAutorisee(url, isMainFrame))
        return true;
    ++m_refus;
    return false;
}

QWebEnginePage *TPageHTML::createWindow(WebWindowType type)
{
    // Les nouvelles fenêtres passent par ouvrirIci ; il n'en est jamais créé.
    Q_UNUSED(type);
    return nullptr;
}

void TPageHTML::ouvrirIci(QWebEngineNewWindowRequest &demande)
{
    const QUrl adresse = demande.requestedUrl();
    if (!adresseAutorisee(adresse, true)) {
        ++m_refus;
        return;
    }
    load(adresse);
}

void TPageHTML::javaScriptAlert(const QUrl &origine, const QString &message)
{
    Q_UNUSED(origine);
    Q_UNUSED(message);
    ++m_boitesDeScripts;
}

bool TPageHTML::javaScriptConfirm(const QUrl &origine, const QString &message)
{
    Q_UNUSED(origine);
    Q_UNUSED(message);
    ++m_boitesDeScripts;
    return false;
}

bool TPageHTML::javaScriptPrompt(const QUrl &origine, const QString &message, const QString &defaut,
                                 QString *resultat)
{
    Q_UNUSED(origine);
    Q_UNUSED(message);
    Q_UNUSED(defaut);
    Q_UNUSED(resultat);
    ++m_boitesDeScripts;
    return false;
}

QStringList TPageHTML::chooseFiles(FileSelectionMode mode, const QStringList &anciens,
                                   const QStringList &typesAcceptes)
{
    // Une page de flux ne reçoit jamais de fichier local : aucune boîte ne s'ouvre.
    Q_UNUSED(mode);
    Q_UNUSED(anciens);
    Q_UNUSED(typesAcceptes);
    ++m_choixDeFichiers;
    return {};
}

void TPageHTML::brancherMenuContextuel(QWebEngineView *vue)
{
    vue->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(vue, &QWidget::customContextMenuRequested, vue, [vue](const QPoint &position) {
        const QWebEngineContextMenuRequest *demande = vue->lastContextMenuRequest();
        QWebEnginePage *page = vue->page();
        auto menu = new QMenu(vue);
        menu->setObjectName(QStringLiteral("menuPageHTML"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        const auto ajouter = [menu, page](const QString &legende, QWebEnginePage::WebAction action, bool permise) {
            QAction *element = menu->addAction(legende);
            element->setEnabled(permise);
            QObject::connect(element, &QAction::triggered, page, [page, action] { page->triggerAction(action); });
        };
        const bool surUnLien = demande && demande->linkUrl().isValid();
        ajouter(QStringLiteral("Précédente"), QWebEnginePage::Back, page->action(QWebEnginePage::Back)->isEnabled());
        ajouter(QStringLiteral("Suivante"), QWebEnginePage::Forward, page->action(QWebEnginePage::Forward)->isEnabled());
        ajouter(QStringLiteral("Actualiser"), QWebEnginePage::Reload, true);
        menu->addSeparator();
        ajouter(QStringLiteral("Copier"), QWebEnginePage::Copy, demande && !demande->selectedText().isEmpty());
        ajouter(QStringLiteral("Copier l'adresse du lien"), QWebEnginePage::CopyLinkToClipboard, surUnLien);
        ajouter(QStringLiteral("Ouvrir le lien"), QWebEnginePage::OpenLinkInThisWindow, surUnLien);
        // Le navigateur du bureau reçoit l'adresse du lien, seulement une adresse web.
        const QUrl lien = surUnLien ? demande->linkUrl() : QUrl();
        QAction *navigateur = menu->addAction(QStringLiteral("Ouvrir dans le navigateur"));
        navigateur->setEnabled(estWeb(lien));
        QObject::connect(navigateur, &QAction::triggered, vue, [lien] { QDesktopServices::openUrl(lien); });
        menu->popup(vue->mapToGlobal(position));
    });
}
