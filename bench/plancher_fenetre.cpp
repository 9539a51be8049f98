// Les planchers des mesures de la fenêtre, un exécutable à part qui ne lie que Qt (Core, Gui,
// Widgets, WebEngineWidgets) :
//  - sans argument : une fenêtre Qt nue qui tient une QWebEngineView, de la taille de la fenêtre
//    du lecteur, titrée « Fenêtre nue » ; elle reste ouverte jusqu'à ce qu'on l'arrête ;
//  - --vue LARGEUR HAUTEUR : une QWebEngineView nue de cette taille. Chaque ligne lue sur l'entrée
//    standard est un fichier à charger ; la réponse, une ligne « peinte <ms> <ms> » : du moment où
//    la ligne est lue à la page peinte, et à la fin du chargement. Une ligne « schema FICHIER »
//    charge le fichier servi d'un bloc, en Windows-1252, par un schéma d'URL propre à la vue
//    (QWebEngineUrlSchemeHandler), comme le lecteur sert sa page : ce qui sépare la part du
//    schéma de celle du programme. La ligne « vide » charge about:blank et répond « prete ».

#include "MesureFenetre.h"
#include "ui/ReponsePage.h"

#include <QMainWindow>
#include <QSocketNotifier>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QByteArray schemaPlancher = QByteArrayLiteral("plancher");

// Sert le fichier nommé par le chemin de l'adresse, comme le lecteur sert sa page.
class ServeurFichier : public QWebEngineUrlSchemeHandler
{
public:
    void requestStarted(QWebEngineUrlRequestJob *demande) override
    {
        repondreParFichier(demande, demande->requestUrl().path());
    }
};

int fenetreNue(QApplication &application)
{
    QMainWindow fenetre;
    fenetre.setWindowTitle(QStringLiteral("Fenêtre nue"));
    fenetre.setCentralWidget(new QWebEngineView(&fenetre));
    fenetre.resize(780, 622);
    fenetre.show();
    return application.exec();
}

int vueNue(QApplication &application, int largeur, int hauteur)
{
    ServeurFichier serveur;
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(schemaPlancher, &serveur);
    QWebEngineView vue;
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
            QUrl adresse = QUrl::fromLocalFile(demande);
            if (demande.startsWith(prefixeSchema)) {
                adresse = QUrl();
                adresse.setScheme(QString::fromLatin1(schemaPlancher));
                adresse.setPath(demande.mid(prefixeSchema.size()));
            }
            const auto r = attente.mesurer([&] { vue.load(adresse); });
            std::printf("peinte %.2f %.2f\n", r.peinteMs, r.chargeeMs);
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
        return vueNue(application, atoi(argv[2]), atoi(argv[3]));
    }
    QApplication application(argc, argv);
    return fenetreNue(application);
}
