#pragma once
// Une seule fenêtre par dossier de données : deux fenêtres sur une même base perdraient l'une
// les changements de l'autre, la dernière sauvegarde l'emportant.
//
// La première instance prend un verrou dans le dossier de données (QLockFile : le verrou d'un
// processus tué est repris, puisque son processus n'existe plus) et écoute sur une socket locale
// dont le nom vient du chemin du dossier, dans le dossier d'exécution de l'utilisateur (à lui seul) ;
// quand celui-ci est refusé (créé d'avance par un autre utilisateur, mauvais mode, lien), dans un
// dossier « .lecteur-rss.prises » du dossier de données, à lui seul aussi.
// Une instance suivante trouve le verrou pris, transmet ses fichiers à la première par la socket
// et s'arrête. Un verrou qui ne peut pas être posé (disque plein, droits) arrête le lancement :
// deux fenêtres sur une base effaceraient l'une les changements de l'autre.
//
// Une demande : la taille du corps (4 octets, gros-boutiste), puis les chemins en UTF-8 séparés
// par un octet nul. La première instance la lit d'un seul tenant quand elle est entière, ferme
// une connexion qui ne l'a pas envoyée entière en 2 s, n'en sert que quelques-unes à la fois et
// refuse une demande de plus de 1 Mo.

#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

class InstanceUnique : public QObject
{
    Q_OBJECT
public:
    enum class Role {
        Premiere,   // ce processus tient le dossier : il écoute les suivants
        Seconde,    // un autre le tient et a reçu les fichiers : ce processus s'arrête
        Injoignable // un autre le tient mais n'a pas pu être joint
    };

    explicit InstanceUnique(const QString &dossierDonnees, QObject *parent = nullptr);
    ~InstanceUnique() override;

    // Quand la Premiere se met à écouter : tout de suite, ou quand elle appelle ecouter() (la
    // fenêtre d'abord peinte). D'ici là, une instance suivante réessaie de la joindre pendant 2 s.
    enum class Ecoute { ToutDeSuite, AuSignal };

    // Décide du rôle de ce processus ; en Seconde, les fichiers (chemins absolus) ont été remis.
    // ErreurEcriture quand le verrou ne peut pas être posé pour une autre raison que « déjà pris » ;
    // ErreurLecteur quand la socket est tenue par un autre utilisateur (rien ne lui est remis) ou
    // que les chemins passent la taille d'une demande.
    Role demarrer(const QStringList &fichiers, Ecoute ecoute = Ecoute::ToutDeSuite);

    // La Premiere écoute les suivantes (une seule fois, les appels suivants ne font rien).
    void ecouter();

    // Les fichiers de la ligne de commande (sans le programme ni les options « -... »), en chemins
    // absolus depuis le dossier courant ; une adresse file:// donne son chemin.
    static QStringList fichiersDesArguments(const QStringList &arguments);

    // Le chemin de la socket locale d'un dossier de données, vide sans dossier à l'utilisateur seul
    // (`probleme` dit alors pourquoi), et le chemin de son verrou.
    static QString nomServeur(const QString &dossierDonnees, QString *probleme = nullptr);
    static QString cheminVerrou(const QString &dossierDonnees);

    // Après demarrer : pourquoi les fichiers ne peuvent pas être remis (aucun dossier sûr pour la
    // socket, écoute impossible) ; vide quand rien ne l'empêche.
    QString probleme() const { return m_probleme; }

signals:
    // Une instance suivante a démarré sur ce dossier, avec ces fichiers (peut-être aucun).
    void demandeRecue(const QStringList &fichiers);

private:
    enum class Remise { Faite, Echouee, Etrangere };
    Remise transmettre(const QByteArray &demande) const;
    void accueillir();
    void lire(QLocalSocket *socket);
    void fermer(QLocalSocket *socket);

    QString m_dossier;
    QString m_nom;      // la socket, cherchée au démarrage
    QString m_probleme; // ce qui empêche la remise
    std::unique_ptr<QLockFile> m_verrou;
    QLocalServer *m_serveur = nullptr;
    QList<QLocalSocket *> m_connexions; // servies en ce moment, la plus ancienne d'abord
};
