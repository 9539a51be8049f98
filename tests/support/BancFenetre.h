#pragma once
// Le banc des tests de la fenêtre, à n'inclure que dans tests/ui : la vraie fenêtre TmainForm avec
// son vrai module de données TdmRSS, les dialogues scriptés, un dossier temporaire qui tient lieu
// de dossier de l'exécutable, et des outils pour attendre la vue web et l'interroger.
//
// Le moteur web des tests n'atteint que 127.0.0.1 : toute autre adresse passe par un mandataire
// sur un port fermé de la boucle locale (LECTEUR_TEST_FENETRE_MAIN le pose avant l'application).

#include "base/TdmRSS.h"
#include "model/TObjetString.h"
#include "ui/DialoguesQt.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include "DialoguesScriptes.h"
#include "OutilsTests.h"
#include "ServeurHTTPTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <functional>
#include <memory>

#define LECTEUR_TEST_FENETRE_MAIN(Classe)                                                                   \
    int main(int argc, char *argv[])                                                                       \
    {                                                                                                      \
        BancFenetre::isolerMoteurWeb();                                                                    \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                        \
        TApplication application(argc, argv);                                                              \
        application.setQuitOnLastWindowClosed(false);                                                      \
        Classe test;                                                                                       \
        return QTest::qExec(&test, argc, argv);                                                            \
    }

namespace BancFenetre {

inline void isolerMoteurWeb()
{
    QByteArray drapeaux = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    drapeaux += " --proxy-server=http://127.0.0.1:" + QByteArray::number(ServeurHTTPTest::portFerme());
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", drapeaux.trimmed());
}

inline TApplication *application()
{
    return static_cast<TApplication *>(QCoreApplication::instance());
}

// Une fenêtre neuve et son module, dans un dossier d'exécutable temporaire. Les exceptions qui
// remontent à la boucle des messages s'affichent par les mêmes dialogues scriptés. Avec les vraies
// boîtes, le module pose ses questions et choisit ses fichiers dans celles de la fenêtre.
struct Fenetre
{
    enum class Boites { Scriptees, Vraies };

    OutilsTests::DossierExecutable dossier;
    DialoguesScriptes dialogues;
    std::unique_ptr<DialoguesQt> vraies;
    std::unique_ptr<TdmRSS> module;
    std::unique_ptr<TmainForm> f;

    explicit Fenetre(bool montrer = true, Boites boites = Boites::Scriptees)
    {
        f = std::make_unique<TmainForm>();
        if (boites == Boites::Vraies)
            vraies = std::make_unique<DialoguesQt>(f.get());
        module = vraies ? std::make_unique<TdmRSS>(*vraies) : std::make_unique<TdmRSS>(dialogues);
        f->setDmRSS(module.get());
        application()->setDialogues(&dialogues);
        if (montrer) {
            f->show();
            if (!QTest::qWaitForWindowExposed(f.get()))
                qWarning("fenêtre jamais exposée");
        }
    }
    ~Fenetre()
    {
        f.reset();
        module.reset();
        application()->setDialogues(nullptr);
    }

    QWebEnginePage *page() const { return f->pageHTML->page(); }

    // Vrai quand chaque question a reçu une réponse prévue et qu'aucune réponse n'est restée.
    bool dialoguesEpuises() const { return !dialogues.questionImprevue && dialogues.reponsesRestantes() == 0; }
};

// Attend la prochaine boîte modale du type T, puis agit sur elle (depuis la boucle de la boîte).
template<typename T>
void quandOuverte(std::function<void(T *)> action)
{
    auto minuterie = new QTimer;
    minuterie->setInterval(20);
    QObject::connect(minuterie, &QTimer::timeout, minuterie, [minuterie, action] {
        if (auto boite = qobject_cast<T *>(QApplication::activeModalWidget())) {
            minuterie->stop();
            minuterie->deleteLater();
            action(boite);
        }
    });
    minuterie->start();
}

// Attend la fin du chargement de la vue (au moins un loadFinished depuis la création de
// l'espion, et plus rien en cours).
inline bool attendreChargement(QWebEngineView *vue, QSignalSpy &fini, int delaiMs = 15000)
{
    QElapsedTimer chrono;
    chrono.start();
    while (chrono.elapsed() < delaiMs) {
        if (!fini.isEmpty() && !vue->page()->isLoading())
            return true;
        QTest::qWait(10);
    }
    return false;
}

// Un script de test, exécuté dans le monde de l'application (à part de celui de la page, et
// permis même quand la page n'a pas droit aux scripts) ; rend sa valeur.
inline QVariant executerJS(QWebEnginePage *page, const QString &code, int delaiMs = 10000)
{
    QVariant resultat;
    bool fini = false;
    page->runJavaScript(code, QWebEngineScript::ApplicationWorld, [&](const QVariant &valeur) {
        resultat = valeur;
        fini = true;
    });
    QElapsedTimer chrono;
    chrono.start();
    while (!fini && chrono.elapsed() < delaiMs)
        QTest::qWait(5);
    return resultat;
}

inline QString texteDeLaPage(QWebEnginePage *page)
{
    return executerJS(page, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

// Un flux RSS 2.0 en UTF-8 : titre, description, et une information par titre donné (lien
// « LIEN/n »).
inline QByteArray fluxRSS(const QString &titre, const QStringList &infos, const QString &lien = QString(),
                          const QString &description = QString())
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                                 "<title>%1</title><link>%2</link><description>%3</description>")
                      .arg(titre, lien, description);
    for (int i = 0; i < infos.size(); ++i)
        xml += QStringLiteral("<item><title>%1</title><link>%2/%3</link><description>D%3</description></item>")
                   .arg(infos.at(i), lien)
                   .arg(i);
    xml += QStringLiteral("</channel></rss>\n");
    return xml.toUtf8();
}

// Le même flux en Atom : une entrée par titre donné, son résumé en HTML (« <b>Dn</b> »).
inline QByteArray fluxAtom(const QString &titre, const QStringList &infos, const QString &lien = QString())
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">"
                                 "<title>%1</title><link href=\"%2\"/>")
                      .arg(titre, lien);
    for (int i = 0; i < infos.size(); ++i)
        xml += QStringLiteral("<entry><title>%1</title><link href=\"%2/%3\"/><summary type=\"html\">&lt;b&gt;D%3&lt;/b&gt;"
                              "</summary></entry>")
                   .arg(infos.at(i), lien)
                   .arg(i);
    xml += QStringLiteral("</feed>\n");
    return xml.toUtf8();
}

// Un flux de la base, avec ses informations sauvegardées.
inline PFlux fluxDeBase(const QString &titre, const QString &urlrss, const QStringList &sauvegardees = {})
{
    auto flux = std::make_shared<TFlux>();
    flux->setDonnees(titre, QString(), QStringLiteral("Description de ") + titre, QString(), QString(), QString(),
                     QString());
    flux->setUrlRss(urlrss);
    for (const QString &t : sauvegardees) {
        auto info = std::make_shared<TInfo>();
        info->setDonnees(t, QStringLiteral("http://127.0.0.1/") + t, QString(), QString());
        flux->infos.append(info);
    }
    return flux;
}

inline QStringList textesDe(const QListWidget *liste)
{
    QStringList textes;
    for (int i = 0; i < liste->count(); ++i)
        textes << liste->item(i)->text();
    return textes;
}

// Les valeurs successives qu'a prises un contrôle, d'après son espion valueChanged(int).
inline QList<int> valeurs(const QSignalSpy &espion)
{
    QList<int> v;
    for (const QList<QVariant> &signal : espion)
        v << signal.at(0).toInt();
    return v;
}

} // namespace BancFenetre
