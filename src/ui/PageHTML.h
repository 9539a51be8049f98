#pragma once
// La page de la vue pageHTML, avec ses règles de sûreté.
//
// La page d'un flux reprend telles quelles les descriptions du flux : un script qu'un flux y
// glisserait ne doit rien pouvoir faire. Donc :
//  - aucun script ne s'exécute dans la vue (ni dans la page du flux, ni dans les pages suivies) ;
//  - une page locale ne lit aucun fichier local (LocalContentCanAccessFileUrls coupé) mais montre
//    les images distantes ;
//  - la vue ne va que vers des adresses http(s), vers le fichier de page lui-même ou vers une
//    adresse vide ; un cadre ne charge que du http(s) ; tout autre chemin (file://, data:...)
//    est refusé, d'où que vienne la demande ;
//  - un lien « target=_blank » s'ouvre dans la vue même ; aucune autre fenêtre ne s'ouvre, et
//    aucune boîte de script (alert, confirm, prompt) ne s'affiche.
// Le profil est privé (rien n'est gardé sur disque) et appartient à la page.

#include <QWebEnginePage>

class QWebEngineNewWindowRequest;

class TPageHTML : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit TPageHTML(QObject *parent = nullptr);
    ~TPageHTML() override;

    // Vrai quand la vue peut aller à cette adresse (dans son cadre principal, ou dans un cadre).
    static bool adresseAutorisee(const QUrl &adresse, bool cadrePrincipal);

    // Les demandes de navigation refusées, et les boîtes que des scripts ont demandées (aucune ne
    // s'ouvre), depuis la création de la page.
    int navigationsRefusees() const { return m_refus; }
    int boitesDeScripts() const { return m_boitesDeScripts; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origine, const QString &message) override;
    bool javaScriptConfirm(const QUrl &origine, const QString &message) override;
    bool javaScriptPrompt(const QUrl &origine, const QString &message, const QString &defaut,
                          QString *resultat) override;

private:
    void ouvrirIci(QWebEngineNewWindowRequest &demande);

    int m_refus = 0;
    int m_boitesDeScripts = 0;
};
