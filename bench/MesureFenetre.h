#pragma once
// Outils de mesure communs aux mesures de la fenêtre et à leurs planchers. Rien que Qt : les
// planchers, qui l'incluent, ne lient aucune autre bibliothèque.
//  - la mémoire d'un processus et de tous ses descendants (les processus du moteur web compris) ;
//  - des attentes endormies entre deux évènements, comme la boucle d'un programme ;
//  - l'attente d'une page chargée puis peinte dans une QWebEngineView ;
//  - la médiane d'une série.

#include "MemoireProcessus.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QMultiHash>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>

namespace MesureFenetre {

using MemoireProcessus::champKio;

struct Memoire
{
    qint64 rssKio = 0; // somme des mémoires résidentes (les pages partagées comptent plusieurs fois)
    qint64 pssKio = 0; // somme des parts proportionnelles (chaque page partagée comptée une fois)
    int processus = 0;
};

// Le processus et tous ses descendants.
inline QList<qint64> processusArbre(qint64 racine)
{
    QMultiHash<qint64, qint64> enfants;
    for (const QString &nom : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool nombre = false;
        const qint64 pid = nom.toLongLong(&nombre);
        if (!nombre)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray texte = stat.readAll();
        const QList<QByteArray> champs = texte.mid(texte.lastIndexOf(')') + 2).split(' ');
        if (champs.size() > 1)
            enfants.insert(champs.at(1).toLongLong(), pid);
    }
    QList<qint64> arbre;
    QList<qint64> aVoir{racine};
    while (!aVoir.isEmpty()) {
        const qint64 pid = aVoir.takeLast();
        arbre.append(pid);
        aVoir += enfants.values(pid);
    }
    return arbre;
}

inline Memoire memoireArbre(qint64 racine)
{
    Memoire total;
    for (const qint64 pid : processusArbre(racine)) {
        total.rssKio += champKio(pid, "status", "VmRSS:");
        total.pssKio += champKio(pid, "smaps_rollup", "Pss:");
        ++total.processus;
    }
    return total;
}

// Les attentes tournent dans une QEventLoop, endormie entre deux évènements comme celle d'un
// programme. Une attente active (processEvents en boucle, qui rend la main dès qu'il n'y a plus
// rien à traiter) occuperait l'un des cœurs dont le moteur web a besoin pour charger la page.

// Attend que `fini()` soit vrai, vérifié à chaque émission de `signal` par `emetteur`, ou le
// délai ; vrai si la condition a été atteinte.
template<typename Emetteur, typename Signal, typename Condition>
bool attendreSignal(const Emetteur *emetteur, Signal signal, Condition fini, int delaiMs = 60000)
{
    QEventLoop boucle;
    bool atteinte = false;
    QObject::connect(emetteur, signal, &boucle, [&] {
        if (fini()) {
            atteinte = true;
            boucle.quit();
        }
    });
    QTimer::singleShot(delaiMs, &boucle, &QEventLoop::quit);
    boucle.exec();
    return atteinte;
}

// Attend la fin du chargement en cours d'une vue, ou le délai ; vrai s'il a fini.
inline bool attendreChargement(QWebEngineView *vue, int delaiMs = 60000)
{
    return attendreSignal(vue, &QWebEngineView::loadFinished, [] { return true; }, delaiMs);
}

// Laisse passer `ms` millisecondes en traitant les évènements qui arrivent.
inline void pause(int ms)
{
    QEventLoop boucle;
    QTimer::singleShot(ms, &boucle, &QEventLoop::quit);
    boucle.exec();
}

// Attend qu'une vue ait fini de charger la page demandée puis l'ait peinte. À la fin du
// chargement, la page demande deux images d'animation de suite (requestAnimationFrame) : la
// seconde n'est servie qu'une fois la première image de la page chargée produite ; elle change
// alors le titre de la page, ce que la vue signale. Même règle pour le programme et pour son
// plancher.
class AttentePeinture : public QObject
{
public:
    explicit AttentePeinture(QWebEngineView *vue) : m_vue(vue)
    {
        QObject::connect(vue, &QWebEngineView::loadFinished, this, [this](bool) {
            if (!m_armee || m_chargeeMs >= 0)
                return;
            m_chargeeMs = m_chrono.nsecsElapsed() / 1e6;
            m_titre = QStringLiteral("peinte-%1").arg(++m_numero);
            m_vue->page()->runJavaScript(
                QStringLiteral("requestAnimationFrame(function () { requestAnimationFrame(function () "
                               "{ document.title = '%1'; }); });")
                    .arg(m_titre),
                // Un monde à part : il tourne même quand la page n'a pas le droit d'exécuter du
                // JavaScript.
                QWebEngineScript::ApplicationWorld);
        });
        QObject::connect(vue, &QWebEngineView::titleChanged, this, [this](const QString &titre) {
            if (m_armee && m_peinteMs < 0 && titre == m_titre)
                m_peinteMs = m_chrono.nsecsElapsed() / 1e6;
        });
    }

    struct Resultat
    {
        double chargeeMs = -1; // fin du chargement
        double peinteMs = -1;  // page peinte ; -1 si elle ne l'est pas dans le délai
    };

    // Remet l'horloge à zéro pendant `declencher`, au geste de l'utilisateur quand le
    // déclencheur passe d'abord par une boîte (le choix d'un fichier) ; et le temps écoulé depuis.
    void repartir() { m_chrono.start(); }
    double ecouleMs() const { return m_chrono.nsecsElapsed() / 1e6; }

    // Lance `declencher` (qui provoque le chargement) et attend ; temps comptés depuis l'appel,
    // ou depuis repartir().
    template<typename Declencheur>
    Resultat mesurer(Declencheur declencher, int delaiMs = 60000)
    {
        m_chargeeMs = m_peinteMs = -1;
        m_armee = true;
        m_chrono.start();
        declencher();
        if (m_peinteMs < 0)
            attendreSignal(m_vue, &QWebEngineView::titleChanged, [this] { return m_peinteMs >= 0; }, delaiMs);
        m_armee = false;
        return {m_chargeeMs, m_peinteMs};
    }

private:
    QWebEngineView *m_vue;
    QElapsedTimer m_chrono;
    QString m_titre;
    int m_numero = 0;
    bool m_armee = false;
    double m_chargeeMs = -1;
    double m_peinteMs = -1;
};

template<typename T>
T mediane(QList<T> valeurs)
{
    std::sort(valeurs.begin(), valeurs.end());
    return valeurs.isEmpty() ? T() : valeurs.at(valeurs.size() / 2);
}

} // namespace MesureFenetre
