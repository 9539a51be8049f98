// Le programme : l'application titrée « Brindlewave-LecteurRSS », puis la fenêtre principale et
// le module de données (Demarrage.cpp).

#include "ui/Demarrage.h"
#include "ui/TApplication.h"

int main(int argc, char *argv[])
{
    // La vue web partage ses contextes OpenGL ; à poser avant de créer l'application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication application(argc, argv);
    return executerLecteurRSS(application);
}
