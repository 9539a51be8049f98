#pragma once
// Une seule fenêtre par dossier de données : deux fenêtres sur une même base perdraient l'une
// les changements de l'autre, la dernière sauvegarde l'emportant.
//
// La première instance prend un verrou dans le dossier de données (QLockFile : le verrou d'un
// processus tué est repris, puisque son processus n'existe plus) et écoute sur une socket locale
// dont le nom vient du chemin du dossier. Une instance suivante trouve le verrou pris, transmet
// ses fichiers à la première par la socket et s'arrête.

#include <QObject>
#include <QStringList>
#include <memory>

class QLocalServer;
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

    // Décide du rôle de ce processus ; en Seconde, les fichiers (chemins absolus) ont été remis.
    Role demarrer(const QStringList &fichiers);

    // Les fichiers de la ligne de commande (sans le programme ni les options « -... »), en chemins
    // absolus depuis le dossier courant ; une adresse file:// donne son chemin.
    static QStringList fichiersDesArguments(const QStringList &arguments);

    // Le nom de la socket locale d'un dossier de données, et le chemin de son verrou.
    static QString nomServeur(const QString &dossierDonnees);
    static QString cheminVerrou(const QString &dossierDonnees);

signals:
    // Une instance suivante a démarré sur ce dossier, avec ces fichiers (peut-être aucun).
    void demandeRecue(const QStringList &fichiers);

private:
    bool transmettre(const QStringList &fichiers) const;
    void ecouter();
    void lireDemande();

    QString m_dossier;
    std::unique_ptr<QLockFile> m_verrou;
    QLocalServer *m_serveur = nullptr;
};
