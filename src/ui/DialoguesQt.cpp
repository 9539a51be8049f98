#include "ui/DialoguesQt.h"

#include "ui/TApplication.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QCompleter>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

// Une boîte de message qui sait qu'on l'a fermée sans répondre (case de fermeture, Échap) :
// QMessageBox compterait ce geste comme un clic sur Non.
class BoiteMessage : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;
    bool fermeeSansReponse() const { return m_fermee; }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (clickedButton() == nullptr)
            m_fermee = true;
        event->accept();
        QDialog::closeEvent(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            m_fermee = true;
            reject();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

private:
    bool m_fermee = false;
};

// La boîte de choix de fichier, gardée d'un choix à l'autre. La liste de complétion de son champ
// de nom est une fenêtre à part : validée par Entrée pendant que cette liste est montrée, la boîte
// se cachait en la laissant ouverte, et elle gardait le clavier de la fenêtre. Elle se ferme donc
// avec la boîte, avant elle, pour que le clavier revienne à la fenêtre.
class BoiteFichier : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

protected:
    void done(int resultat) override
    {
        for (const QCompleter *completion : findChildren<QCompleter *>()) {
            if (completion->popup())
                completion->popup()->hide();
        }
        QFileDialog::done(resultat);
    }
};

QMessageBox::Icon iconeDuType(TypeBoite type)
{
    switch (type) {
    case TypeBoite::Avertissement: return QMessageBox::Warning;
    case TypeBoite::Confirmation: return QMessageBox::Question;
    case TypeBoite::Erreur: return QMessageBox::Critical;
    case TypeBoite::Information: return QMessageBox::Information;
    case TypeBoite::Personnalisee: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boutonsQt(BoutonsBoite boutons)
{
    switch (boutons) {
    case BoutonsBoite::Ok: return QMessageBox::Ok;
    case BoutonsBoite::OuiNon: return QMessageBox::Yes | QMessageBox::No;
    case BoutonsBoite::OuiNonAnnulerNonATousOuiATous:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::NoToAll
               | QMessageBox::YesToAll;
    }
    return QMessageBox::Ok;
}

Reponse reponseDuBouton(QMessageBox::StandardButton bouton)
{
    switch (bouton) {
    case QMessageBox::Ok: return Reponse::Ok;
    case QMessageBox::Yes: return Reponse::Oui;
    case QMessageBox::No: return Reponse::Non;
    case QMessageBox::Cancel: return Reponse::Annuler;
    case QMessageBox::NoToAll: return Reponse::NonATous;
    case QMessageBox::YesToAll: return Reponse::OuiATous;
    default: return Reponse::Fermee;
    }
}

} // namespace

DialoguesQt::DialoguesQt(QWidget *fenetre)
    : m_fenetre(fenetre)
{
}

DialoguesQt::~DialoguesQt()
{
    delete m_boiteFichier;
}

QWidget *DialoguesQt::parent() const
{
    return m_fenetre ? m_fenetre.data() : QApplication::activeWindow();
}

QString DialoguesQt::titreDuType(TypeBoite type)
{
    switch (type) {
    case TypeBoite::Avertissement: return QStringLiteral("Avertissement");
    case TypeBoite::Confirmation: return QStringLiteral("Confirmation");
    case TypeBoite::Erreur: return QStringLiteral("Erreur");
    case TypeBoite::Information: return QStringLiteral("Information");
    case TypeBoite::Personnalisee: return TApplication::titre();
    }
    return TApplication::titre();
}

Reponse DialoguesQt::afficher(TypeBoite type, const QString &texte, BoutonsBoite boutons, const QString &titre)
{
    BoiteMessage boite(iconeDuType(type), titre.isEmpty() ? titreDuType(type) : titre, texte,
                       boutonsQt(boutons), parent());
    boite.setTextFormat(Qt::PlainText);
    const int resultat = boite.exec();
    if (boite.fermeeSansReponse() || boite.clickedButton() == nullptr)
        return Reponse::Fermee;
    return reponseDuBouton(static_cast<QMessageBox::StandardButton>(resultat));
}

QString DialoguesQt::saisir(const QString &legende, const QString &invite)
{
    bool accepte = false;
    const QString texte = QInputDialog::getText(parent(), legende, invite, QLineEdit::Normal, QString(), &accepte);
    return accepte ? texte : QString();
}

std::optional<QString> DialoguesQt::choisirFichier(const QString &titre, const QString &dossierInitial,
                                                   const QString &dernierChoix)
{
    // Une seule boîte, gardée d'un choix à l'autre : défaite à chaque validation (son modèle de
    // fichiers et le fil qui le remplit), elle retardait d'autant l'ouverture du fichier choisi.
    // Sans dernier choix, elle est neuve : rien n'y est présélectionné.
    QWidget *proprietaire = parent();
    if (!m_boiteFichier || m_boiteFichier->parentWidget() != proprietaire || dernierChoix.isEmpty()) {
        delete m_boiteFichier;
        m_boiteFichier = new BoiteFichier(proprietaire);
        m_boiteFichier->setFileMode(QFileDialog::ExistingFile);
        m_boiteFichier->setAcceptMode(QFileDialog::AcceptOpen);
    }
    QFileDialog &boite = *m_boiteFichier;
    boite.setWindowTitle(titre);
    boite.setDirectory(dossierInitial);
    if (!dernierChoix.isEmpty())
        boite.selectFile(dernierChoix);
    const int resultat = boite.exec();
    // Le clavier revient à la fenêtre, même sans gestionnaire de fenêtres pour le lui rendre.
    if (proprietaire)
        proprietaire->activateWindow();
    if (resultat != QDialog::Accepted || boite.selectedFiles().isEmpty())
        return std::nullopt;
    return boite.selectedFiles().constFirst();
}

void DialoguesQt::bip(int, int)
{
    QApplication::beep();
}
