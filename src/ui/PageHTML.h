#pragma once
// La page de la vue pageHTML, avec ses règles de sûreté.
//
// Le fichier de page rss-temps.html n'annonce pas son codage : la vue le reçoit par
// son propre schéma, « lecteur-rss:rss-temps.html », servi avec « text/html;
// charset=windows-1252 », si bien que la détection de codage du moteur ne s'en mêle jamais. Le
// fichier est relu sur le disque à chaque demande ; ses octets ne changent pas.
//
// La page d'un flux reprend telles quelles les descriptions du flux : un script qu'un flux y
// glisserait ne doit rien pouvoir faire. Donc :
//  - aucun script ne s'exécute dans la vue (ni dans la page du flux, ni dans les pages suivies) ;
//  - la page ne lit aucun fichier local et n'en propose aucun (la boîte de choix d'un
//    « input type=file » est refusée) ; elle montre les images distantes ;
//  - la vue ne va que vers des adresses http(s), vers la page elle-même ou vers une adresse vide ;
//    un cadre ne charge que du http(s) ; tout autre chemin (file://, data:...) est refusé, d'où
//    que vienne la demande ;
//  - un lien « target=_blank » s'ouvre dans la vue même ; aucune autre fenêtre ne s'ouvre, et
//    aucune boîte de script (alert, confirm, prompt) ne s'affiche.
// Chaque page écrite puis montrée l'est depuis son haut : la position de défilement de la page
// précédente, qui avait la même adresse, n'est pas reprise.
// Le profil est privé (rien n'est gardé sur disque) et appartient à la page.

#include <QWebEnginePage>

class QWebEngineNewWindowRequest;
class QWebEngineView;

class TPageHTML : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit TPageHTML(QObject *parent = nullptr);
    ~TPageHTML() override;

    // L'adresse sous laquelle la vue montre le fichier de page.
    static QUrl adressePage();

    // Vrai quand la vue peut aller à cette adresse (dans son cadre principal, ou dans un cadre).
    static bool adresseAutorisee(const QUrl &adresse, bool cadrePrincipal);

    // Le menu contextuel de la vue, en français et réduit à ce qui sert ici : Précédente,
    // Suivante, Actualiser, Copier, Copier l'adresse du lien, Ouvrir le lien, Ouvrir dans le
    // navigateur (un lien http ou https, remis au navigateur du bureau).
    static void brancherMenuContextuel(QWebEngineView *vue);

    // Les demandes de navigation refusées, les boîtes que des scripts ont demandées et les choix
    // de fichiers demandés par une page (aucun ne s'ouvre), depuis la création de la page.
    int navigationsRefusees() const { return m_refus; }
    int boitesDeScripts() const { return m_boitesDeScripts; }
    int choixDeFichiersRefuses() const { return m_choixDeFichiers; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origine, const QString &message) override;
    bool javaScriptConfirm(const QUrl &origine, const QString &message) override;
    bool javaScriptPrompt(const QUrl &origine, const QString &message, const QString &defaut,
                          QString *resultat) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &anciens,
                            const QStringList &typesAcceptes) override;

private:
    void ouvrirIci(QWebEngineNewWindowRequest &demande);

    int m_refus = 0;
    int m_boitesDeScripts = 0;
    int m_choixDeFichiers = 0;
};
