// Le programme : l'application titrée « Brindlewave-LecteurRSS », la fenêtre principale d'abord,
// le module de données ensuite, puis la boucle des messages jusqu'à la fermeture de la fenêtre.

#include "base/TdmRSS.h"
#include "ui/DialoguesQt.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <memory>

int main(int argc, char *argv[])
{
    // La vue web partage ses contextes OpenGL ; à poser avant de créer l'application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication application(argc, argv);

    std::unique_ptr<TmainForm> mainForm;
    std::unique_ptr<DialoguesQt> dialogues;
    std::unique_ptr<TdmRSS> dmRSS;
    try {
        mainForm = std::make_unique<TmainForm>();
        dialogues = std::make_unique<DialoguesQt>(mainForm.get());
        application.setDialogues(dialogues.get());
        dmRSS = std::make_unique<TdmRSS>(*dialogues);
        mainForm->setDmRSS(dmRSS.get());
        mainForm->show();
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
