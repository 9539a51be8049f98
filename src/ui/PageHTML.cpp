#include "ui/PageHTML.h"

#include "commun/Emplacement.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

// Le profil privé de la page : détruit avec elle, après elle (il est son enfant).
QWebEngineProfile *profilPrive()
{
    return new QWebEngineProfile();
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
    profile()->setParent(this);

    QWebEngineSettings *reglages = settings();
    // Le fichier de page n'annonce pas son codage : il est écrit en Windows-1252.
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

    connect(this, &QWebEnginePage::newWindowRequested, this, &TPageHTML::ouvrirIci);
}

TPageHTML::~TPageHTML() = default;

bool TPageHTML::adresseAutorisee(const QUrl &adresse, bool cadrePrincipal)
{
    if (estWeb(adresse))
        return true;
    if (!cadrePrincipal)
        return false;
    if (adresse.scheme() == u"about")
        return adresse.path() == u"blank";
    // Le fichier de page lui-même, et aucun autre fichier.
    return adresse.isLocalFile() && adresse.toLocalFile() == Emplacement::cheminPage()
           && !adresse.hasQuery();
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
