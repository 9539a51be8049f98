// Acquisition d'un flux : téléchargement, ajout d'une source par son adresse, choix d'un fichier.

#include "reading/Acquisition.h"

#include "base/TdmRSS.h"
#include "commun/EcritureFichier.h"
#include "commun/Emplacement.h"
#include "commun/Erreurs.h"
#include "reading/ResolutionAdresse.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// Le plus long nom de fichier que les systèmes de fichiers courants acceptent, en octets.
constexpr qsizetype longueurMaximaleNom = 255;

// Un nom trop long garde son début et finit par une empreinte de l'adresse entière : le même
// pour une adresse à chaque téléchargement, différent pour deux adresses qui diffèrent.
QString nomAbrege(const QString &nom, const QString &adresse)
{
    const QString fin = u'-'
        + QString::fromLatin1(QCryptographicHash::hash(adresse.toUtf8(), QCryptographicHash::Sha256).toHex().left(16))
        + u".html";
    const qsizetype place = longueurMaximaleNom - QFile::encodeName(fin).size();
    // Le nom vient de la forme étroite : un caractère par position, sans paire de substitution.
    QString debut;
    qsizetype octets = 0;
    for (const QChar c : nom) {
        octets += QFile::encodeName(QString(c)).size();
        if (octets > place)
            break;
        debut += c;
    }
    return debut + fin;
}

} // namespace


QString messageEchecConnexion()
{
    return QStringLiteral("Une erreur à eu lieu durant la connexion !\n"
                          "Verifiez que votre connexion internet est bien active.");
}

QString titreEchecConnexion() { return QStringLiteral("Error"); }

QString titreChoixFichierRSS() { return QStringLiteral("Ouvrir un fichier rss.xml"); }

void ecrireCopieLocale(const QString &chemin, const QByteArray &corps)
{
    ecrireFichierEntier(chemin, corps + "\r\n");
}

QString TdmRSS::nomCopieLocale(const QString &adresse)
{
    // Sur la forme étroite : un caractère hors Windows-1252 y est déjà devenu « ? », donc « _ ».
    const TexteEtroit etroit = versEtroit(adresse) + ".html";
    TexteEtroit nom;
    nom.reserve(etroit.size());
    for (const char c : etroit) {
        switch (c) {
        case '/':
            break;
        case '?': case '\\': case ',': case ':': case '*': case '|': case '<': case '>':
        // Un octet nul couperait le nom de fichier en deux pour le système : il est remplacé aussi.
        case '\0':
            nom.append('_');
            break;
        default:
            nom.append(c);
        }
    }
    const QString resultat = depuisEtroit(nom);
    if (QFile::encodeName(resultat).size() <= longueurMaximaleNom)
        return resultat;
    return nomAbrege(resultat, adresse);
}

QString TdmRSS::telechargerFlux(const QString &adresse)
{
    const QString chemin = Emplacement::dossierRessources() + nomCopieLocale(adresse);
    QByteArray corps;
    try {
        corps = connexionHTTP->telecharger(adresse);
    } catch (const TelechargementAnnule &) {
        return QString();
    } catch (const ErreurCurlAbsente &erreur) {
        // Ce n'est pas la connexion qui manque : le message dit quoi installer.
        corps.clear();
        m_dialogues.afficher(TypeBoite::Erreur, erreur.message(), BoutonsBoite::Ok, titreEchecConnexion());
    } catch (const ErreurLecteur &) {
        corps.clear();
        m_dialogues.afficher(TypeBoite::Erreur, messageEchecConnexion(), BoutonsBoite::Ok, titreEchecConnexion());
    }
    ecrireCopieLocale(chemin, corps);
    m_adressesDesCopies.insert(chemin, adresse);
    return chemin;
}

std::optional<QString> TdmRSS::adresseSource(const QString &nomFichier) const
{
    if (estAdresseHttp(nomFichier))
        return nomFichier;
    const auto copie = m_adressesDesCopies.constFind(nomFichier);
    return copie == m_adressesDesCopies.constEnd() ? std::nullopt : std::optional<QString>(*copie);
}

PFlux TdmRSS::ajouterSourceParURL(const QString &adresse)
{
    if (!chargerDocumentXML(adresse))
        return nullptr;
    PFlux flux = analyserFlux(XMLDoc);
    fluxBase.append(flux);
    return flux;
}

std::optional<QString> TdmRSS::choisirCheminRSS()
{
    const std::optional<QString> choix =
        m_dialogues.choisirFichier(titreChoixFichierRSS(), Emplacement::dossierRss(), m_dernierFichierChoisi);
    if (choix)
        m_dernierFichierChoisi = *choix;
    return choix;
}

bool TdmRSS::choisirFichierRSS()
{
    const std::optional<QString> choix = choisirCheminRSS();
    return choix && chargerDocumentXML(*choix);
}
