#pragma once
// L'objet application : titre « Brindlewave-LecteurRSS », traductions françaises de Qt (boutons
// « Oui », « Non », « Annuler »...), et la boîte d'erreur standard pour toute exception qui
// remonte jusqu'à la boucle des messages. La vue web y est dessinée en logiciel.

#include <QApplication>
#include <memory>

class IDialogues;

class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    static QString titre();

    // Charge qtbase_fr des traductions de Qt ; faux quand le fichier manque.
    static bool installerTraductions(QCoreApplication &application);

    // Les dialogues de la boîte d'erreur (par défaut ceux de Qt).
    void setDialogues(IDialogues *dialogues) { m_dialogues = dialogues; }

    // Montre l'exception en cours de traitement (à appeler dans un bloc catch) dans la boîte
    // d'erreur standard : son message, ou un message vide pour ce qui n'est pas une exception.
    void afficherExceptionCourante();

    bool notify(QObject *destinataire, QEvent *evenement) override;

private:
    static void choisirRenduDeLaVueWeb();

    IDialogues *m_dialogues = nullptr;
    std::unique_ptr<IDialogues> m_dialoguesQt;
    bool m_dansBoiteErreur = false;
};
