// Les planchers des mesures de la fenêtre, un exécutable à part qui ne lie que Qt (Core, Gui,
// Widgets, WebEngineWidgets) :
//  - sans argument : une fenêtre Qt nue qui tient une QWebEngineView, de la taille de la fenêtre
//    du lecteur, titrée « Fenêtre nue » ; elle reste ouverte jusqu'à ce qu'on l'arrête ;
//  - --vue LARGEUR HAUTEUR : une QWebEngineView nue de cette taille. Chaque ligne lue sur l'entrée
//    standard est un fichier à charger ; la réponse, une ligne « peinte <ms> <ms> » : du moment où
//    la ligne est lue à la page peinte (-1 quand la page est trop grande pour setContent), et à
//    la fin du chargement. Une ligne « schema FICHIER »
//    charge le fichier servi d'un bloc, en Windows-1252, par un schéma d'URL propre à la vue
//    (QWebEngineUrlSchemeHandler), comme le lecteur sert sa page : ce qui sépare la part du
//    schéma de celle du programme. Une ligne « contenu FICHIER » donne les octets du fichier à
//    la vue par QWebEnginePage::setContent, en Windows-1252. La ligne « vide » charge
//    about:blank et répond « prete ».
// Les deux se dessinent comme le lecteur (en logiciel, sauf QT_QUICK_BACKEND) et leur vue a les
// réglages de la sienne qui pèsent sur le rendu : pas de JavaScript, Windows-1252 par défaut.

#include "MesureFenetre.h"
#include "ui/ReponsePage.h"

#include <QMainWindow>
#include <QQuickWindow>
#include <QSocketNotifier>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QByteArray schemaPlancher = QByteArrayLiteral("plancher");
// Une page géante (100 000 informations) peut mettre plusieurs minutes à se peindre.
constexpr int delaiPeintureMs = 600000;

// Sert le fichier nommé par le chemin de l'adresse, comme le lecteur sert sa page.
class ServeurFichier : public QWebEngineUrlSchemeHandler
{
public:
    void requestStarted(QWebEngineUrlRequestJob *demande) override
    {
        repondreParFichier(demande, demande->requestUrl().path());
    }
};

// Le rendu et les réglages de la vue du lecteur (TApplication, TPageHTML).
void rendreCommeLeLecteur()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

void reglerCommeLeLecteur(QWebEngineView *vue)
{
    QWebEngineSettings *reglages = vue->settings();
    reglages->setDefaultTextEncoding(QStringLiteral("windows-1252"));
    reglages->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
}

int fenetreNue(QApplication &application)
{
    QMainWindow fenetre;
    fenetre.setWindowTitle(QStringLiteral("Fenêtre nue"));
    auto vue = new QWebEngineView(&fenetre);
    reglerCommeLeLecteur(vue);
    fenetre.setCentralWidget(vue);
    fenetre.resize(780, 622);
    fenetre.show();
    return application.exec();
}

int vueNue(QApplication &application, int largeur, int hauteur)
{
    ServeurFichier serveur;
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(schemaPlancher, &serveur);
    QWebEngineView vue;
    reglerCommeLeLecteur(&vue);
    vue.resize(largeur, hauteur);
    vue.show();
    MesureFenetre::AttentePeinture attente(&vue);
    QSocketNotifier entree(0, QSocketNotifier::Read);
    QObject::connect(&entree, &QSocketNotifier::activated, &application, [&] {
        std::string ligne;
        if (!std::getline(std::cin, ligne)) {
            application.quit();
            return;
        }
        if (ligne == "vide") {
            vue.load(QUrl(QStringLiteral("about:blank")));
            MesureFenetre::attendreChargement(&vue);
            std::printf("prete\n");
        } else {
            const QString demande = QString::fromStdString(ligne);
            const QString prefixeSchema = QStringLiteral("schema ");
            const QString prefixeContenu = QStringLiteral("contenu ");
            bool tropGrande = false;
            const auto r = attente.mesurer([&] {
                if (demande.startsWith(prefixeContenu)) {
                    QFile fichier(demande.mid(prefixeContenu.size()));
                    fichier.open(QIODevice::ReadOnly);
                    const QByteArray octets = fichier.readAll();
                    // setContent passe par une adresse data: encodée en pour-cent, de 2 Mio au plus.
                    tropGrande = octets.toPercentEncoding().size() > 2 * 1024 * 1024 - 100;
                    vue.setContent(octets, QStringLiteral("text/html;charset=windows-1252"),
                                   QUrl(QStringLiteral("plancher:page.html")));
                } else if (demande.startsWith(prefixeSchema)) {
                    QUrl adresse;
                    adresse.setScheme(QString::fromLatin1(schemaPlancher));
                    adresse.setPath(demande.mid(prefixeSchema.size()));
                    vue.load(adresse);
                } else {
                    vue.load(QUrl::fromLocalFile(demande));
                }
            }, delaiPeintureMs);
            std::printf("peinte %.2f %.2f\n", tropGrande ? -1 : r.peinteMs, r.chargeeMs);
        }
        std::fflush(stdout);
    });
    std::printf("prete\n");
    std::fflush(stdout);
    return application.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (argc == 4 && qstrcmp(argv[1], "--vue") == 0) {
        // Un schéma local comme celui du lecteur : connu du moteur avant l'application.
        QWebEngineUrlScheme schema(schemaPlancher);
        schema.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        schema.setFlags(QWebEngineUrlScheme::LocalScheme);
        QWebEngineUrlScheme::registerScheme(schema);
        QApplication application(argc, argv);
        rendreCommeLeLecteur();
        return vueNue(application, atoi(argv[2]), atoi(argv[3]));
    }
    QApplication application(argc, argv);
    rendreCommeLeLecteur();
    return fenetreNue(application);
}
