#include "ui/RepriseBascule.h"

#include "base/TdmRSS.h"

#include <QFile>
#include <sys/stat.h>

namespace {

// Un document plus grand n'est pas gardé derrière le courant : son arbre DOM pèse des centaines
// de Mo (un flux de 100 000 informations), bien plus que sa relecture ne coûte de temps à côté de
// son affichage. Un flux de 5 000 informations fait 4 à 5 Mo.
constexpr qint64 tailleGardeeMax = 16 * 1024 * 1024;

} // namespace

SignatureFichier SignatureFichier::de(const QString &chemin)
{
    struct stat etat {};
    if (::stat(QFile::encodeName(chemin).constData(), &etat) != 0)
        return {};
    constexpr qint64 milliard = 1000000000;
    return {qint64(etat.st_size), qint64(etat.st_mtim.tv_sec) * milliard + etat.st_mtim.tv_nsec,
            qint64(etat.st_ctim.tv_sec) * milliard + etat.st_ctim.tv_nsec, quint64(etat.st_dev),
            quint64(etat.st_ino)};
}

bool SignatureFichier::operator==(const SignatureFichier &autre) const
{
    return taille >= 0 && taille == autre.taille && modification == autre.modification
        && changement == autre.changement && peripherique == autre.peripherique && inoeud == autre.inoeud;
}

bool RepriseBascule::courantValide(const TdmRSS &module) const
{
    return !m_courant.arbre.isNull() && module.XMLDoc.estActif() && module.XMLDoc.dom() == m_courant.arbre;
}

void RepriseBascule::oublier(Document &document)
{
    TDocumentXML::detruireEnFond(std::exchange(document.arbre, QDomDocument()));
    document = Document();
}

bool RepriseBascule::reprendre(const QString &chemin, const SignatureFichier &signature, TdmRSS &module)
{
    const bool courant = courantValide(module);
    if (courant && m_courant.chemin == chemin && m_courant.signature == signature) {
        module.reprendrePageDocument(m_courant.lignesPage);
        return true;
    }
    if (m_precedent.arbre.isNull() || m_precedent.chemin != chemin || !(m_precedent.signature == signature))
        return false;
    if (courant) {
        std::swap(m_courant, m_precedent);
    } else {
        // XMLDoc montre un document lu ailleurs, que rien ne reprendra.
        TDocumentXML::detruireEnFond(std::exchange(m_courant.arbre, QDomDocument()));
        m_courant = std::exchange(m_precedent, Document());
    }
    module.XMLDoc.reprendre(chemin, m_courant.arbre);
    module.reprendrePageDocument(m_courant.lignesPage);
    return true;
}

void RepriseBascule::avantLecture(const TdmRSS &module)
{
    m_courantMontre = courantValide(module);
}

void RepriseBascule::noterLecture(const QString &chemin, const SignatureFichier &signature, const TdmRSS &module)
{
    if (std::exchange(m_courantMontre, false) && m_courant.signature.taille <= tailleGardeeMax) {
        oublier(m_precedent);
        m_precedent = std::exchange(m_courant, Document());
    } else {
        oublier(m_courant);
    }
    m_courant = {chemin, signature, module.XMLDoc.dom(), {}};
}
