// Les planchers des mesures de la fenêtre, un exécutable à part qui ne lie que Qt (Core, Gui,
// Widgets, WebEngineWidgets) :
//  - sans argument : une fenêtre Qt nue qui tient une QWebEngineView, de la taille de la fenêtre
//    du lecteur, titrée « Fenêtre nue » ; elle reste ouverte jusqu'à ce qu'on l'arrête ;
//  - --vue LARGEUR HAUTEUR : une QWebEngineView nue de cette taille. Chaque ligne lue sur l'entrée
//    standard est un fichier à charger ; la réponse, une ligne « peinte <ms> <ms> » : du moment où
//    la ligne est lue à la page peinte, et à la fin du chargement. La ligne « vide » charge
//    about:blank et répond « prete ».

#include "MesureFenetre.h"

#include <QMainWindow>
#include <QSocketNotifier>
#include <QUrl>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

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
            bool fini = false;
            auto lien = QObject::connect(&vue, &QWebEngineView::loadFinished, [&fini] { fini = true; });
            vue.load(QUrl(QStringLiteral("about:blank")));
            while (!fini)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            QObject::disconnect(lien);
            std::printf("prete\n");
        } else {
            const auto r = attente.mesurer([&] { vue.load(QUrl::fromLocalFile(QString::fromStdString(ligne))); });
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
    QApplication application(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--vue") == 0)
        return vueNue(application, atoi(argv[2]), atoi(argv[3]));
    return fenetreNue(application);
}
