#include "commun/InstanceUnique.h"

#include "commun/Erreurs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr int delaiConnexionMs = 1000;
// Le temps laissé à la première instance entre la prise du verrou et l'écoute.
constexpr int essaisDeJonction = 20;
constexpr int pauseEntreEssaisMs = 100;
// Une connexion qui n'a pas remis sa demande entière dans ce délai est fermée.
constexpr int delaiDemandeMs = 2000;
// Les connexions servies à la fois : une de plus ferme la plus ancienne, qui traîne.
constexpr qsizetype connexionsServies = 4;
constexpr quint32 tailleMaximaleCorps = 1024 * 1024;
constexpr qint64 tailleEntete = sizeof(quint32);

QByteArray encoderDemande(const QStringList &fichiers)
{
    const QByteArray corps = fichiers.join(QChar(0)).toUtf8();
    if (corps.size() > qsizetype(tailleMaximaleCorps))
        throw ErreurLecteur(QStringLiteral("Trop de fichiers à remettre à la fenêtre déjà ouverte : "
                                           "plus de 1 Mo de chemins."));
    QByteArray demande(tailleEntete, '\0');
    qToBigEndian(quint32(corps.size()), demande.data());
    return demande + corps;
}

QStringList decoderCorps(const QByteArray &corps)
{
    return corps.isEmpty() ? QStringList() : QString::fromUtf8(corps).split(QChar(0));
}

// Vrai quand le processus à l'autre bout de la socket est de cet utilisateur.
bool pairDeCetUtilisateur(qintptr descripteur)
{
    ucred pair{};
    socklen_t taille = sizeof pair;
    return getsockopt(int(descripteur), SOL_SOCKET, SO_PEERCRED, &pair, &taille) == 0 && pair.uid == geteuid();
}

// Plus de place pour un fichier de plus : aucun octet, ou aucun inœud libre (un système de
// fichiers qui ne compte pas ses inœuds en annonce zéro en tout).
bool disquePlein(const QString &dossier)
{
    struct statvfs etat{};
    if (statvfs(QFile::encodeName(dossier).constData(), &etat) != 0)
        return false;
    return etat.f_bavail == 0 || (etat.f_files > 0 && etat.f_favail == 0);
}

QString raisonVerrouImpossible(QLockFile::LockError erreur, const QString &dossier)
{
    if (erreur == QLockFile::PermissionError)
        return QStringLiteral("écriture refusée dans le dossier");
    if (disquePlein(dossier))
        return QStringLiteral("plus de place sur le disque");
    return QStringLiteral("erreur d'écriture");
}

// Vide quand ce dossier est à cet utilisateur seul : un vrai dossier (pas un lien symbolique), à
// lui, fermé aux autres ; sinon ce qui ne va pas.
QString refusDossierPrive(const QString &dossier)
{
    struct stat etat{};
    if (lstat(QFile::encodeName(dossier).constData(), &etat) != 0)
        return QStringLiteral("« %1 » ne peut pas être créé (%2)").arg(dossier, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(etat.st_mode))
        return QStringLiteral("« %1 » est un lien symbolique").arg(dossier);
    if (!S_ISDIR(etat.st_mode))
        return QStringLiteral("« %1 » n'est pas un dossier").arg(dossier);
    if (etat.st_uid != geteuid())
        return QStringLiteral("« %1 » appartient à un autre utilisateur").arg(dossier);
    if ((etat.st_mode & 077) != 0)
        return QStringLiteral("« %1 » est ouvert aux autres utilisateurs (mode %2)")
            .arg(dossier)
            .arg(etat.st_mode & 0777, 4, 8, QLatin1Char('0'));
    return QString();
}

QString dossierDeSecours(const QString &dossierDonnees)
{
    return QDir(dossierDonnees).absoluteFilePath(QStringLiteral(".lecteur-rss.prises"));
}

// Le dossier des prises : le dossier d'exécution de l'utilisateur, que Qt vérifie (XDG_RUNTIME_DIR,
// sinon /tmp/runtime-UTILISATEUR : à lui seul, en 0700, pas un lien). Quand Qt le refuse (un autre
// utilisateur l'a créé le premier, en quelque mode que ce soit, ou en lien), le dossier
// « .lecteur-rss.prises » du dossier de données, créé en 0700 et vérifié de même. Vide quand aucun
// ne convient ; `probleme` dit alors pourquoi.
QString dossierDesPrises(const QString &dossierDonnees, QString *probleme)
{
    const QString execution = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!execution.isEmpty())
        return execution;
    const QString secours = dossierDeSecours(dossierDonnees);
    // Déjà là, il est vérifié comme s'il venait d'être créé.
    mkdir(QFile::encodeName(secours).constData(), 0700);
    const QString refus = refusDossierPrive(secours);
    if (refus.isEmpty())
        return secours;
    if (probleme)
        *probleme = QStringLiteral("aucun dossier à l'utilisateur seul pour la prise : le dossier d'exécution "
                                   "(XDG_RUNTIME_DIR, sinon « %1/runtime-… ») est refusé, et %2")
                        .arg(QDir::tempPath(), refus);
    return QString();
}

} // namespace

InstanceUnique::InstanceUnique(const QString &dossierDonnees, QObject *parent)
    : QObject(parent)
    , m_dossier(QDir(dossierDonnees).absolutePath())
{
}

InstanceUnique::~InstanceUnique() = default;

QString InstanceUnique::nomServeur(const QString &dossierDonnees, QString *probleme)
{
    const QString absolu = QDir(dossierDonnees).absolutePath();
    const QString dossier = dossierDesPrises(absolu, probleme);
    if (dossier.isEmpty())
        return QString();
    // Le dossier de secours n'appartient qu'à ce dossier de données : un nom court y suffit (une
    // prise ne peut pas dépasser 107 octets de chemin).
    if (dossier == dossierDeSecours(absolu))
        return dossier + QStringLiteral("/prise");
    const QByteArray empreinte = QCryptographicHash::hash(absolu.toUtf8(), QCryptographicHash::Sha256);
    return dossier + QStringLiteral("/brindlewave-lecteur-rss-") + QString::fromLatin1(empreinte.toHex().left(24));
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

InstanceUnique::Role InstanceUnique::demarrer(const QStringList &fichiers, Ecoute ecoute)
{
    const QByteArray demande = encoderDemande(fichiers);
    // Cherché une fois : Qt avertit à chaque recherche quand XDG_RUNTIME_DIR manque.
    m_nom = nomServeur(m_dossier, &m_probleme);
    m_verrou = std::make_unique<QLockFile>(cheminVerrou(m_dossier));
    // Jamais périmé par son âge : seulement quand son processus n'existe plus.
    m_verrou->setStaleLockTime(0);
    for (int essai = 0; essai < essaisDeJonction; ++essai) {
        if (m_verrou->tryLock(0)) {
            if (ecoute == Ecoute::ToutDeSuite)
                ecouter();
            return Role::Premiere;
        }
        // Sans verrou, rien ne garantirait qu'une seule fenêtre écrit la base.
        if (m_verrou->error() != QLockFile::LockFailedError)
            throw ErreurEcriture(QStringLiteral("Le verrou « %1 » ne peut pas être posé (%2) : le lecteur RSS ne "
                                                "démarre pas, pour ne pas ouvrir deux fenêtres sur la même base.")
                                     .arg(cheminVerrou(m_dossier), raisonVerrouImpossible(m_verrou->error(), m_dossier)));
        switch (transmettre(demande)) {
        case Remise::Faite:
            return Role::Seconde;
        case Remise::Etrangere:
            throw ErreurLecteur(QStringLiteral("La socket « %1 » est tenue par un autre utilisateur : aucun fichier "
                                               "ne lui est remis.")
                                    .arg(m_nom));
        case Remise::Echouee:
            break;
        }
        QThread::msleep(pauseEntreEssaisMs);
    }
    return Role::Injoignable;
}

InstanceUnique::Remise InstanceUnique::transmettre(const QByteArray &demande) const
{
    if (m_nom.isEmpty())
        return Remise::Echouee;
    QLocalSocket socket;
    socket.connectToServer(m_nom);
    if (!socket.waitForConnected(delaiConnexionMs))
        return Remise::Echouee;
    if (!pairDeCetUtilisateur(socket.socketDescriptor())) {
        socket.abort();
        return Remise::Etrangere;
    }
    socket.write(demande);
    // La première instance peut être occupée (un téléchargement bloque sa fenêtre) : la demande
    // attend dans la socket, elle la lira en reprenant la main.
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(delaiConnexionMs))
            return Remise::Echouee;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(delaiConnexionMs);
    return Remise::Faite;
}

void InstanceUnique::ecouter()
{
    if (m_serveur || !m_verrou || !m_verrou->isLocked())
        return;
    m_serveur = new QLocalServer(this);
    m_serveur->setSocketOptions(QLocalServer::UserAccessOption);
    // La socket d'un processus tué reste sur le disque et empêcherait d'écouter : le verrou est
    // à nous, elle ne sert donc plus à personne.
    if (!m_nom.isEmpty())
        QLocalServer::removeServer(m_nom);
    if (m_nom.isEmpty() || !m_serveur->listen(m_nom)) {
        if (m_probleme.isEmpty())
            m_probleme = QStringLiteral("pas d'écoute sur « %1 » (%2)").arg(m_nom, m_serveur->errorString());
        qWarning("%s", qUtf8Printable(QStringLiteral("Les lancements suivants ne pourront pas remettre leurs fichiers "
                                                     "à cette fenêtre : %1.")
                                          .arg(m_probleme)));
        return;
    }
    connect(m_serveur, &QLocalServer::newConnection, this, &InstanceUnique::accueillir);
}

void InstanceUnique::accueillir()
{
    while (QLocalSocket *socket = m_serveur->nextPendingConnection()) {
        if (m_connexions.size() >= connexionsServies)
            fermer(m_connexions.first());
        m_connexions.append(socket);
        QTimer::singleShot(delaiDemandeMs, socket, [this, socket] { fermer(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { lire(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            lire(socket);
            fermer(socket);
        });
        lire(socket);
    }
}

void InstanceUnique::lire(QLocalSocket *socket)
{
    // Rien n'est décodé avant que la demande soit entière : une seule lecture, quel que soit le
    // nombre de morceaux.
    if (!m_connexions.contains(socket) || socket->bytesAvailable() < tailleEntete)
        return;
    char entete[tailleEntete];
    socket->peek(entete, tailleEntete);
    const quint32 taille = qFromBigEndian<quint32>(entete);
    if (taille > tailleMaximaleCorps) {
        fermer(socket);
        return;
    }
    if (socket->bytesAvailable() < tailleEntete + taille)
        return;
    socket->skip(tailleEntete);
    const QStringList fichiers = decoderCorps(socket->read(taille));
    fermer(socket);
    // Rendue depuis la boucle des messages : ouvrir un fichier peut montrer une boîte modale.
    QMetaObject::invokeMethod(
        this, [this, fichiers] { emit demandeRecue(fichiers); }, Qt::QueuedConnection);
}

void InstanceUnique::fermer(QLocalSocket *socket)
{
    m_connexions.removeOne(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
