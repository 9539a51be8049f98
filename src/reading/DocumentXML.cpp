#include "reading/DocumentXML.h"

#include "commun/Erreurs.h"
#include "reading/ConstructionDocument.h"
#include "reading/DecodageDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QThreadPool>

#include <utility>

namespace {

bool estAdresseWeb(const QString &nom)
{
    return nom.startsWith(u"http://", Qt::CaseInsensitive)
        || nom.startsWith(u"https://", Qt::CaseInsensitive);
}

} // namespace

void TDocumentXML::detruireEnFond(QDomDocument arbre)
{
    // Le dernier accès à l'arbre part sur un fil de fond, qui le détruit.
    if (!arbre.isNull())
        QThreadPool::globalInstance()->start([arbre]() mutable { arbre.clear(); });
}

void TDocumentXML::reprendre(const QString &nom, const QDomDocument &arbre)
{
    abandonnerEnFond();
    m_nomFichier = nom;
    m_dom = arbre;
    m_actif = true;
}

void TDocumentXML::setActive(bool actif)
{
    if (!actif) {
        m_dom.clear();
        m_actif = false;
        return;
    }
    if (m_actif)
        return;
    chargerOctets(lireSource());
}

void TDocumentXML::abandonnerEnFond()
{
    m_actif = false;
    if (m_dom.isNull())
        return;
    detruireEnFond(std::exchange(*m_abandonne, m_dom));
    m_dom.clear();

    QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        // Aucun tour de boucle à attendre sur ce fil : l'arbre part tout de suite.
        detruireEnFond(std::exchange(*m_abandonne, QDomDocument()));
        return;
    }
    QMetaObject::invokeMethod(
        application,
        [attente = std::weak_ptr<QDomDocument>(m_abandonne)] {
            if (const auto abandonne = attente.lock())
                detruireEnFond(std::exchange(*abandonne, QDomDocument()));
        },
        Qt::QueuedConnection);
}

QByteArray TDocumentXML::lireSource() const
{
    if (estAdresseWeb(m_nomFichier)) {
        if (!m_telechargeur)
            throw ErreurChargementXML(QStringLiteral("Aucun client HTTP pour lire « %1 ».").arg(m_nomFichier));
        try {
            return m_telechargeur(m_nomFichier);
        } catch (const TelechargementAnnule &) {
            throw;
        } catch (const ErreurLecteur &e) {
            throw ErreurChargementXML(e.message());
        }
    }
    QFile fichier(m_nomFichier);
    if (!fichier.open(QIODevice::ReadOnly))
        throw ErreurChargementXML(QStringLiteral("Impossible de lire « %1 » : %2")
                                      .arg(m_nomFichier, fichier.errorString()));
    return fichier.readAll();
}

void TDocumentXML::chargerOctets(QByteArray octets)
{
    m_dom.clear();
    m_actif = false;
    // Décodé une fois ; l'arbre est bâti de ce texte, budgets comptés au fil de l'analyse.
    m_dom = construireDocument(DecodageDocument::decoder(std::move(octets)), m_budgets);
    m_actif = true;
}

QDomElement TDocumentXML::elementDocument() const
{
    if (!m_actif)
        throw ErreurDocumentInactif(QStringLiteral("Le document XML n'est pas actif."));
    return m_dom.documentElement();
}

namespace NoeudXML {

QDomNode enfant(const QDomNode &noeud, int index)
{
    if (index >= 0) {
        int i = 0;
        for (QDomNode e = noeud.firstChild(); !e.isNull(); e = e.nextSibling(), ++i) {
            if (i == index)
                return e;
        }
    }
    throw ErreurIndexXML(QStringLiteral("Index de nœud hors limites (%1).").arg(index));
}

QString nom(const QDomNode &noeud) { return noeud.nodeName(); }

int type(const QDomNode &noeud) { return noeud.nodeType(); }

QString texteChamp(const QDomNode &noeud)
{
    if (!noeud.isElement())
        return QString();
    // Les cas courants, un seul nœud texte ou une seule section CDATA, sans copie.
    const QDomNode premier = noeud.firstChild();
    if (!premier.isNull() && premier.nextSibling().isNull()
        && (premier.nodeType() == QDomNode::TextNode || premier.nodeType() == QDomNode::CDATASectionNode))
        return premier.nodeValue();
    QString texte;
    for (QDomNode enfant = noeud.firstChild(); !enfant.isNull(); enfant = enfant.nextSibling()) {
        switch (enfant.nodeType()) {
        case QDomNode::TextNode:
        case QDomNode::CDATASectionNode:
            texte += enfant.nodeValue();
            break;
        case QDomNode::EntityReferenceNode:
            texte += u'&' + enfant.nodeName() + u';';
            break;
        case QDomNode::ElementNode:
            return QString();
        default: // commentaires, instructions de traitement
            break;
        }
    }
    return texte;
}

QVariant valeur(const QDomNode &noeud) { return noeud.nodeValue(); }

} // namespace NoeudXML
