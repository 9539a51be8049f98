#include "commun/InstanceUnique.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QUrl>

namespace {

constexpr int delaiConnexionMs = 1000;
// Le temps laissé à la première instance entre la prise du verrou et l'écoute.
constexpr int essaisDeJonction = 20;
constexpr int pauseEntreEssaisMs = 100;

} // namespace

InstanceUnique::InstanceUnique(const QString &dossierDonnees, QObject *parent)
    : QObject(parent)
    , m_dossier(QDir(dossierDonnees).absolutePath())
{
}

InstanceUnique::~InstanceUnique() = default;

QString InstanceUnique::nomServeur(const QString &dossierDonnees)
{
    const QByteArray empreinte =
        QCryptographicHash::hash(QDir(dossierDonnees).absolutePath().toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("brindlewave-lecteur-rss-") + QString::fromLatin1(empreinte.toHex().left(24));
}

QString InstanceUnique::cheminVerrou(const QString &dossierDonnees)
{
    return QDir(dossierDonnees).absoluteFilePath(QStringLiteral(".lecteur-rss.verrou"));
}

QStringList InstanceUnique::fichiersDesArguments(const QStringList &arguments)
{
    QStringList fichiers;
    for (const QString &argument : arguments.mid(1)) {
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        const QUrl adresse(argument);
        const QString chemin = adresse.isLocalFile() ? adresse.toLocalFile() : argument;
        fichiers.append(QFileInfo(chemin).absoluteFilePath());
    }
    return fichiers;
}

InstanceUnique::Role InstanceUnique::demarrer(const QStringList &fichiers)
{
    m_verrou = std::make_unique<QLockFile>(cheminVerrou(m_dossier));
    // Jamais périmé par son âge : seulement quand son processus n'existe plus.
    m_verrou->setStaleLockTime(0);
    for (int essai = 0; essai < essaisDeJonction; ++essai) {
        if (m_verrou->tryLock(0)) {
            ecouter();
            return Role::Premiere;
        }
        // Un verrou impossible à poser (dossier sans droit d'écriture) ne doit pas empêcher de lire.
        if (m_verrou->error() != QLockFile::LockFailedError)
            return Role::Premiere;
        if (transmettre(fichiers))
            return Role::Seconde;
        QThread::msleep(pauseEntreEssaisMs);
    }
    return Role::Injoignable;
}

bool InstanceUnique::transmettre(const QStringList &fichiers) const
{
    QLocalSocket socket;
    socket.connectToServer(nomServeur(m_dossier));
    if (!socket.waitForConnected(delaiConnexionMs))
        return false;
    QByteArray message;
    QDataStream flux(&message, QIODevice::WriteOnly);
    flux << fichiers;
    socket.write(message);
    // La première instance peut être occupée (un téléchargement bloque sa fenêtre) : la demande
    // attend dans la socket, elle la lira en reprenant la main.
    if (!socket.waitForBytesWritten(delaiConnexionMs) && socket.bytesToWrite() > 0)
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(delaiConnexionMs);
    return true;
}

void InstanceUnique::ecouter()
{
    const QString nom = nomServeur(m_dossier);
    m_serveur = new QLocalServer(this);
    m_serveur->setSocketOptions(QLocalServer::UserAccessOption);
    // La socket d'un processus tué reste sur le disque et empêcherait d'écouter : le verrou est
    // à nous, elle ne sert donc plus à personne.
    QLocalServer::removeServer(nom);
    if (!m_serveur->listen(nom))
        return;
    connect(m_serveur, &QLocalServer::newConnection, this, &InstanceUnique::lireDemande);
}

void InstanceUnique::lireDemande()
{
    while (QLocalSocket *socket = m_serveur->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto lire = [this, socket] {
            QDataStream flux(socket);
            flux.startTransaction();
            QStringList fichiers;
            flux >> fichiers;
            if (!flux.commitTransaction())
                return;
            socket->disconnectFromServer();
            // Rendue depuis la boucle des messages : ouvrir un fichier peut montrer une boîte
            // modale, pendant laquelle cette socket sera détruite.
            QMetaObject::invokeMethod(
                this, [this, fichiers] { emit demandeRecue(fichiers); }, Qt::QueuedConnection);
        };
        connect(socket, &QLocalSocket::readyRead, this, lire);
        lire();
    }
}
