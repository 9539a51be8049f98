// La fenêtre du lecteur mesurée face à ses planchers, des exécutables à part qui ne lient que Qt
// (plancher_fenetre), dessinés comme lui (en logiciel) et avec les réglages de sa vue qui pèsent
// sur le rendu (pas de JavaScript). Chaque mesure alterne programme et plancher à chaque tour
// (programme, plancher, programme, plancher...) ; on rapporte les médianes et leur rapport.
//  1. démarrage : bin/lecteur-rss face à une fenêtre Qt nue qui tient une QWebEngineView, du
//     lancement du processus à sa fenêtre mappée (vue par le serveur X), puis la mémoire du
//     processus et de tous ses descendants (processus du moteur web compris) 5 s après le
//     lancement. But : 1,05 au plus ;
//  2. ouverture d'un flux local de 500 articles comme en publient les journaux (descriptions
//     d'un kilo-octet en HTML), de la touche Entrée qui valide la vraie boîte de choix
//     du fichier à la page peinte. But : 1,20 au plus ;
//  3. bascule entre deux onglets de 5 000 informations (deux fichiers), par un clic sur l'onglet
//     (XTest), vue du serveur X : la fenêtre gelée (la plus longue attente d'une réponse à des
//     _NET_WM_PING envoyés l'un après l'autre), les premiers pixels de la page qui changent et
//     l'instant où elle montre son image finale (relevée toutes les 5 ms), face à une vue nue qui
//     passe de la même page à l'autre par un schéma comme celui du lecteur, mêmes octets. Buts :
//     100 ms au plus gelée, à chaque bascule (la première comprise) ; 1,20 au plus jusqu'à l'image
//     finale ;
//  4. mémoire résidente après de nombreuses bascules (200 au moins), contre celle d'après les
//     100 premières ;
//  5. un petit flux ouvert juste après la fermeture d'un onglet de 5 000 informations, face au
//     même après la fermeture d'un petit : aucune séquelle (1,20 au plus) ;
//  6. la mémoire du programme (processus et descendants, PSS) avec 50 onglets de flux
//     ordinaires, face à celle avec un seul (1,5 fois au plus) ;
//  7. la mémoire du programme avec un flux de 100 000 informations ouvert (1 Gio au plus) ;
//  8. la vue de page qui suit un redimensionnement de la fenêtre (par le serveur X, comme le fait
//     un gestionnaire de fenêtres), pendant un téléchargement face au repos, tours alternés : du
//     redimensionnement à l'écran qui montre la page remise en page à la nouvelle taille (la
//     zone de la page, relevée au serveur X toutes les 5 ms depuis un autre fil, égale à son
//     image finale et qui n'en change plus). But : 2 fois le temps au repos au plus.
// Le plancher de 2 et 3 : une vue nue de la taille de pageHTML qui reçoit les mêmes octets de
// page (rss-temps.html) par le moyen le plus rapide qu'offre Qt, en Windows-1252 : le plus
// rapide, en médiane, de file:// (codage par défaut de la vue), de setContent (pour une page
// qu'il accepte) et d'un schéma d'URL qui la sert d'un bloc comme le lecteur ; chacun est donné.
// « Peinte » : la page chargée, puis sa première image produite (deux requestAnimationFrame de
// suite), même règle des deux côtés (MesureFenetre.h).
// À lancer sous xvfb-run, depuis le dossier de construction ou ailleurs :
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1280x1024x24"
//       build/bench/bench_fenetre_interface [tours] [bascules] [parties, ex. « 123 »]

#include "EntreesX11.h"
#include "GenerateurFlux.h"
#include "MesureFenetre.h"
#include "PingsX11.h"
#include "ServeurHTTPTest.h"

#include "base/TdmRSS.h"
#include "commun/Emplacement.h"
#include "ui/DialoguesQt.h"
#include "ui/TApplication.h"
#include "ui/TmainForm.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>
#include <QThread>
#include <QWebEngineView>
#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <xcb/xcb.h>

namespace {

using MesureFenetre::attendreChargement;
using MesureFenetre::mediane;
using MesureFenetre::pause;

constexpr int attenteMemoireMs = 5000;

// --- Démarrage : la fenêtre mappée, vue depuis le serveur X ---

// L'atome de la propriété _NET_WM_PID, que Qt pose sur chaque fenêtre à sa création.
xcb_atom_t atomePid(xcb_connection_t *connexion)
{
    const char nom[] = "_NET_WM_PID";
    xcb_intern_atom_reply_t *atome =
        xcb_intern_atom_reply(connexion, xcb_intern_atom(connexion, 0, sizeof(nom) - 1, nom), nullptr);
    const xcb_atom_t resultat = atome ? atome->atom : XCB_NONE;
    free(atome);
    return resultat;
}

// Le processus d'une fenêtre ; -1 sans la propriété.
qint64 pidDe(xcb_connection_t *connexion, xcb_atom_t atome, xcb_window_t fenetre)
{
    xcb_get_property_reply_t *r = xcb_get_property_reply(
        connexion, xcb_get_property(connexion, 0, fenetre, atome, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    qint64 pid = -1;
    if (r && xcb_get_property_value_length(r) == 4)
        pid = *static_cast<const uint32_t *>(xcb_get_property_value(r));
    free(r);
    return pid;
}

// Suit les fenêtres de premier niveau que le serveur X mappe, et reconnaît celle d'un processus
// par sa propriété _NET_WM_PID.
class GuetteurX
{
public:
    GuetteurX()
    {
        m_connexion = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connexion))
            return;
        m_racine = xcb_setup_roots_iterator(xcb_get_setup(m_connexion)).data->root;
        const uint32_t masque = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connexion, m_racine, XCB_CW_EVENT_MASK, &masque);
        m_atomePid = atomePid(m_connexion);
        xcb_flush(m_connexion);
    }
    ~GuetteurX() { xcb_disconnect(m_connexion); }
    bool valide() const { return m_atomePid != XCB_NONE; }

    // Oublie les événements passés.
    void vider()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(m_connexion))
            free(e);
    }

    // La fenêtre (non surgissante) du processus mappée dans le délai ; 0 sans elle.
    xcb_window_t attendreFenetre(qint64 pid, const QElapsedTimer &chrono, int delaiMs)
    {
        while (chrono.elapsed() < delaiMs) {
            xcb_generic_event_t *e = xcb_poll_for_event(m_connexion);
            if (!e) {
                QThread::usleep(200);
                continue;
            }
            xcb_window_t trouvee = 0;
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto *carte = reinterpret_cast<xcb_map_notify_event_t *>(e);
                if (!carte->override_redirect && pidDe(m_connexion, m_atomePid, carte->window) == pid)
                    trouvee = carte->window;
            }
            free(e);
            if (trouvee)
                return trouvee;
        }
        return 0;
    }

private:
    xcb_connection_t *m_connexion = nullptr;
    xcb_window_t m_racine = 0;
    xcb_atom_t m_atomePid = XCB_NONE;
};

// --- La sonde de pixels : ce que l'écran montre, lu au serveur X ---

// Vérifie la règle de « peinte » sur l'écran lui-même : les pixels relevés au moment où la règle
// dit la page peinte doivent être déjà ceux de l'image finale (relevée une seconde après), et
// non ceux de la page d'avant.
class SondePixels
{
public:
    SondePixels()
        : m_connexion(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t *ecran = xcb_setup_roots_iterator(xcb_get_setup(m_connexion)).data;
        m_racine = ecran->root;
        m_ecran = QRect(0, 0, ecran->width_in_pixels, ecran->height_in_pixels);
        m_atomePid = atomePid(m_connexion);
    }
    ~SondePixels() { xcb_disconnect(m_connexion); }

    // Les pixels de la zone (l'écran entier par défaut) ; vide si le serveur refuse.
    QByteArray lire(QRect zone = {})
    {
        zone = zone.isNull() ? m_ecran : zone.intersected(m_ecran);
        xcb_get_image_reply_t *r = xcb_get_image_reply(
            m_connexion,
            xcb_get_image(m_connexion, XCB_IMAGE_FORMAT_Z_PIXMAP, m_racine, int16_t(zone.x()), int16_t(zone.y()),
                          uint16_t(zone.width()), uint16_t(zone.height()), ~0u),
            nullptr);
        QByteArray pixels;
        if (r) {
            pixels = QByteArray(reinterpret_cast<const char *>(xcb_get_image_data(r)), xcb_get_image_data_length(r));
            std::free(r);
        }
        return pixels;
    }

    // La fenêtre de premier niveau, visible, du processus (propriété _NET_WM_PID) ; 0 sans elle.
    xcb_window_t fenetreDe(qint64 pid)
    {
        xcb_window_t trouvee = 0;
        xcb_query_tree_reply_t *arbre = xcb_query_tree_reply(m_connexion, xcb_query_tree(m_connexion, m_racine), nullptr);
        if (!arbre)
            return 0;
        const xcb_window_t *enfants = xcb_query_tree_children(arbre);
        for (int i = 0; i < xcb_query_tree_children_length(arbre) && !trouvee; ++i) {
            xcb_get_window_attributes_reply_t *attributs = xcb_get_window_attributes_reply(
                m_connexion, xcb_get_window_attributes(m_connexion, enfants[i]), nullptr);
            const bool visible = attributs && attributs->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributs);
            if (visible && pidDe(m_connexion, m_atomePid, enfants[i]) == pid)
                trouvee = enfants[i];
        }
        std::free(arbre);
        return trouvee;
    }

    // Passe la fenêtre au-dessus des autres (il n'y a pas de gestionnaire de fenêtres) et rend la
    // zone qu'elle occupe à l'écran.
    QRect monter(xcb_window_t fenetre)
    {
        const uint32_t dessus = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(m_connexion, fenetre, XCB_CONFIG_WINDOW_STACK_MODE, &dessus);
        return zoneDe(fenetre);
    }

    // La zone qu'une fenêtre occupe à l'écran ; l'écran entier pour 0.
    QRect zoneDe(xcb_window_t fenetre)
    {
        if (fenetre == 0)
            return m_ecran;
        xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(m_connexion, xcb_get_geometry(m_connexion, fenetre), nullptr);
        xcb_translate_coordinates_reply_t *t = xcb_translate_coordinates_reply(
            m_connexion, xcb_translate_coordinates(m_connexion, fenetre, m_racine, 0, 0), nullptr);
        const QRect zone = g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
        std::free(g);
        std::free(t);
        return zone;
    }

    // Un tour : les pixels d'avant le chargement, ceux du moment dit « peinte », puis l'image finale.
    void noter(const QByteArray &avant, const QByteArray &aLaPeinte, const QByteArray &finale)
    {
        ++m_tours;
        m_conformes += !aLaPeinte.isEmpty() && aLaPeinte == finale && finale != avant;
    }
    QString bilan() const { return QStringLiteral("%1 tours sur %2").arg(m_conformes).arg(m_tours); }

private:
    xcb_connection_t *m_connexion;
    xcb_window_t m_racine = 0;
    xcb_atom_t m_atomePid = XCB_NONE;
    QRect m_ecran;
    int m_tours = 0;
    int m_conformes = 0;
};

struct Lancement
{
    double mappeeMs = -1;
    double peinteMs = -1; // premiers pixels de la fenêtre qui diffèrent de l'écran d'avant
    MesureFenetre::Memoire memoire;
};

// La zone `zone` d'une image de tout l'écran (pixels de 4 octets), ligne après ligne.
QByteArray decouper(const QByteArray &ecran, int largeurEcran, QRect zone)
{
    QByteArray resultat;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        resultat += ecran.mid((qsizetype(y) * largeurEcran + zone.x()) * 4, qsizetype(zone.width()) * 4);
    return resultat;
}

// Lance le programme, attend sa fenêtre mappée puis ses premiers pixels peints, puis 5 s après le
// lancement mesure sa mémoire et l'arrête.
Lancement lancer(GuetteurX &x, SondePixels &sonde, const QString &programme)
{
    Lancement resultat;
    QProcess processus;
    processus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processus.setStandardOutputFile(QProcess::nullDevice());
    x.vider();
    const QRect ecran = sonde.zoneDe(0);
    const QByteArray avant = sonde.lire(ecran);
    QElapsedTimer chrono;
    chrono.start();
    processus.start(programme, {});
    if (!processus.waitForStarted(10000))
        return resultat;
    if (const xcb_window_t fenetre = x.attendreFenetre(processus.processId(), chrono, 30000)) {
        resultat.mappeeMs = chrono.nsecsElapsed() / 1e6;
        const QRect zone = sonde.zoneDe(fenetre).intersected(ecran);
        const QByteArray avantZone = decouper(avant, ecran.width(), zone);
        while (chrono.elapsed() < 30000) {
            if (sonde.lire(zone) != avantZone) {
                resultat.peinteMs = chrono.nsecsElapsed() / 1e6;
                break;
            }
            QThread::usleep(500);
        }
    }
    processus.waitForFinished(int(std::max<qint64>(0, attenteMemoireMs - chrono.elapsed())));
    resultat.memoire = MesureFenetre::memoireArbre(processus.processId());
    processus.terminate();
    if (!processus.waitForFinished(10000))
        processus.kill();
    processus.waitForFinished(5000);
    return resultat;
}

void mesurerDemarrage(int tours)
{
    const QDir ici(QCoreApplication::applicationDirPath());
    const QString lecteur = ici.filePath(QStringLiteral("../bin/lecteur-rss"));
    const QString plancher = ici.filePath(QStringLiteral("plancher_fenetre"));
    GuetteurX x;
    SondePixels sonde;
    if (!x.valide()) {
        std::printf("1. Démarrage : serveur X injoignable, mesure sautée\n");
        return;
    }
    QList<double> tLecteur, tPlancher, peintLecteur, peintPlancher;
    QList<qint64> rssLecteur, rssPlancher, pssLecteur, pssPlancher;
    int procLecteur = 0, procPlancher = 0;
    for (int i = 0; i < tours; ++i) {
        const Lancement l = lancer(x, sonde, lecteur);
        const Lancement p = lancer(x, sonde, plancher);
        tLecteur << l.mappeeMs;
        tPlancher << p.mappeeMs;
        peintLecteur << l.peinteMs;
        peintPlancher << p.peinteMs;
        rssLecteur << l.memoire.rssKio;
        rssPlancher << p.memoire.rssKio;
        pssLecteur << l.memoire.pssKio;
        pssPlancher << p.memoire.pssKio;
        procLecteur = l.memoire.processus;
        procPlancher = p.memoire.processus;
    }
    const double tl = mediane(tLecteur), tp = mediane(tPlancher);
    std::printf("1. Démarrage, du lancement à la fenêtre mappée (médiane de %d lancements alternés)\n", tours);
    std::printf("   bin/lecteur-rss %.0f ms, plancher_fenetre %.0f ms, rapport %.2f (but <= 1,05) %s\n", tl, tp,
                tl / tp, tl / tp <= 1.05 ? "TENU" : "MANQUÉ");
    const double pl = mediane(peintLecteur), pp = mediane(peintPlancher);
    std::printf("   premiers pixels de la fenêtre : lecteur %.0f ms, plancher %.0f ms, rapport %.2f (but <= 1,05) %s\n", pl,
                pp, pl / pp, pl > 0 && pp > 0 && pl / pp <= 1.05 ? "TENU" : "MANQUÉ");
    std::printf("   lancements (mappée / peinte, ms) : lecteur");
    for (int i = 0; i < tLecteur.size(); ++i)
        std::printf(" %.0f/%.0f", tLecteur.at(i), peintLecteur.at(i));
    std::printf(" ; plancher");
    for (int i = 0; i < tPlancher.size(); ++i)
        std::printf(" %.0f/%.0f", tPlancher.at(i), peintPlancher.at(i));
    std::printf("\n");
    std::printf("   mémoire à 5 s, processus et descendants (%d et %d processus) :\n", procLecteur, procPlancher);
    std::printf("     somme des RSS : lecteur %.1f Mio, plancher %.1f Mio, écart %.1f Mio\n",
                mediane(rssLecteur) / 1024.0, mediane(rssPlancher) / 1024.0,
                (mediane(rssLecteur) - mediane(rssPlancher)) / 1024.0);
    std::printf("     somme des PSS : lecteur %.1f Mio, plancher %.1f Mio, écart %.1f Mio\n",
                mediane(pssLecteur) / 1024.0, mediane(pssPlancher) / 1024.0,
                (mediane(pssLecteur) - mediane(pssPlancher)) / 1024.0);
    std::fflush(stdout);
}

// --- Le plancher des pages : une vue nue dans son processus ---

class VueNue
{
public:
    VueNue(const QSize &taille)
    {
        const QDir ici(QCoreApplication::applicationDirPath());
        m_processus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_processus.start(ici.filePath(QStringLiteral("plancher_fenetre")),
                          {QStringLiteral("--vue"), QString::number(taille.width()), QString::number(taille.height())});
        lireLigne();
        vider();
    }
    ~VueNue()
    {
        m_processus.closeWriteChannel();
        if (!m_processus.waitForFinished(10000))
            m_processus.kill();
    }

    enum class Livraison { Fichier, Contenu, Schema };

    // Le temps du plancher pour une page : de la demande à la page peinte, la page lue en
    // file://, donnée par setContent ou servie par un schéma comme le lecteur sert la
    // sienne. La vue est vidée après.
    // Demande la page et rend la main aussitôt ; attendrePeinte() lit ensuite la réponse.
    void envoyer(const QString &page, Livraison livraison)
    {
        const char *prefixe[] = {"", "contenu ", "schema "};
        m_processus.write(QByteArray(prefixe[int(livraison)]) + page.toLocal8Bit() + '\n');
        m_processus.waitForBytesWritten(10000);
    }
    double attendrePeinte() { return lireLigne().split(' ').value(1).toDouble(); }

    double charger(const QString &page, Livraison livraison, SondePixels *sonde = nullptr, bool viderApres = true)
    {
        const char *prefixe[] = {"", "contenu ", "schema "};
        QRect zone;
        if (sonde) {
            zone = sonde->monter(sonde->fenetreDe(pid()));
            pause(200);
        }
        const QByteArray avant = sonde ? sonde->lire(zone) : QByteArray();
        m_processus.write(QByteArray(prefixe[int(livraison)]) + page.toLocal8Bit() + '\n');
        const double peinte = lireLigne().split(' ').value(1).toDouble();
        if (sonde) {
            const QByteArray aLaPeinte = sonde->lire(zone);
            pause(1000);
            sonde->noter(avant, aLaPeinte, sonde->lire(zone));
        }
        if (viderApres)
            vider();
        return peinte;
    }
    void vider()
    {
        m_processus.write("vide\n");
        lireLigne();
    }
    qint64 pid() const { return m_processus.processId(); }

private:
    QByteArray lireLigne()
    {
        while (!m_processus.canReadLine() && m_processus.waitForReadyRead(60000)) {
        }
        return m_processus.readLine().trimmed();
    }
    QProcess m_processus;
};

// --- Le programme, dans ce processus ---

// Le choix d'un fichier passe par la vraie boîte du programme (DialoguesQt), que l'utilisateur
// valide par la touche Entrée une fois qu'il la voit ; `auGeste` est appelé juste avant la touche.
class DialoguesMesure : public DialoguesQt
{
public:
    QString fichier;
    int delaiMs = 400; // le temps que l'utilisateur voie la boîte
    std::function<void()> auGeste;
    int boites = 0;
    int boitesForcees = 0;
    int erreursDeChoix = 0;
    Reponse afficher(TypeBoite, const QString &texte, BoutonsBoite, const QString &) override
    {
        ++boites;
        std::fprintf(stderr, "boîte inattendue : %s\n", qPrintable(texte));
        return Reponse::Non;
    }
    std::optional<QString> choisirFichier(const QString &titre, const QString &dossier,
                                          const QString &dernierChoix) override
    {
        // La boîte guettée jusqu'à ce qu'elle soit montrée, puis validée après le délai.
        QTimer guet;
        guet.setInterval(10);
        QObject::connect(&guet, &QTimer::timeout, [&] {
            auto *boite = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!boite || !boite->isVisible())
                return;
            guet.stop();
            QTimer::singleShot(delaiMs, &guet, [this, boite, &guet] {
                if (auGeste)
                    auGeste();
                EntreesX11::touche("Return");
                // Sans le clavier (focus ailleurs), la boîte est validée par programme.
                QTimer::singleShot(3000, &guet, [this, boite] {
                    ++boitesForcees;
                    static_cast<QDialog *>(boite)->accept();
                });
            });
        });
        guet.start();
        // Le fichier voulu est présélectionné, comme le dernier choix l'est. La boîte est gardée d'un
        // choix à l'autre : ce qui la guettait s'arrête avec `guet`.
        Q_UNUSED(dernierChoix);
        const std::optional<QString> choisi = DialoguesQt::choisirFichier(titre, dossier, fichier);
        if (!choisi || QFileInfo(*choisi).fileName() != QFileInfo(fichier).fileName()) {
            ++erreursDeChoix;
            std::fprintf(stderr, "choix inattendu : %s\n", qPrintable(choisi.value_or(QString())));
        }
        return choisi;
    }
};

QString ecrireFlux(const QString &nom, const QByteArray &octets)
{
    const QString chemin = Emplacement::dossierRss() + nom;
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
        return {};
    return chemin;
}

void afficherRapport(const char *quoi, double programme, double plancher, double but)
{
    std::printf("   %s : lecteur %.0f ms, plancher %.0f ms, rapport %.2f (but <= %.2f) %s\n", quoi, programme, plancher,
                programme / plancher, but, programme / plancher <= but ? "TENU" : "MANQUÉ");
}

// Les temps de la vue nue pour une même page, tour par tour.
struct Planchers
{
    QList<double> fichier, contenu, schema;
    SondePixels *sonde = nullptr; // sonde le schéma, quand elle est donnée

    void mesurer(VueNue &nue, const QString &page)
    {
        fichier << nue.charger(page, VueNue::Livraison::Fichier);
        // Une page trop grande pour setContent n'a que file:// et le schéma.
        if (const double ms = nue.charger(page, VueNue::Livraison::Contenu); ms >= 0)
            contenu << ms;
        schema << nue.charger(page, VueNue::Livraison::Schema, sonde);
    }
    // Le plancher : le plus rapide des trois moyens.
    double plancher() const
    {
        const double direct = contenu.isEmpty() ? mediane(fichier) : std::min(mediane(fichier), mediane(contenu));
        return std::min(direct, mediane(schema));
    }

    void afficher(double programme) const
    {
        if (contenu.isEmpty())
            std::printf("   vue nue : file:// %.0f ms, setContent impossible (page trop grande), schéma %.0f ms ; "
                        "lecteur %.2f fois le schéma\n",
                        mediane(fichier), mediane(schema), programme / mediane(schema));
        else
            std::printf("   vue nue : file:// %.0f ms, setContent %.0f ms, schéma %.0f ms ; lecteur %.2f fois "
                        "setContent, %.2f fois le schéma\n",
                        mediane(fichier), mediane(contenu), mediane(schema), programme / mediane(contenu),
                        programme / mediane(schema));
    }
};

// --- 8. Redimensionnement pendant un téléchargement ---

double tempsProcesseurDuFilMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Ce que montrait une zone de l'écran à un instant (ms depuis le redimensionnement).
struct Releve
{
    double ms;
    size_t empreinte;
};

// L'instant à partir duquel la zone montre son image finale (celle du dernier relevé) sans plus
// en changer ; -1 sans relevé.
double instantStable(const QList<Releve> &releves)
{
    double depuis = -1;
    for (const Releve &r : releves) {
        if (r.empreinte != releves.last().empreinte)
            depuis = -1;
        else if (depuis < 0)
            depuis = r.ms;
    }
    return depuis;
}

// Redimensionne la fenêtre X à cette taille depuis un autre fil, une fois `pret()` vrai, et relève
// la zone pendant 3 s ; pendant ce temps, ce fil fait `occuper()` (un téléchargement, ou rien)
// puis traite les évènements jusqu'à la fin des relevés.
template<typename Pret, typename Occuper>
double suivreRedimensionnement(unsigned long fenetre, QSize taille, QRect zone, Pret pret, Occuper occuper)
{
    QList<Releve> releves;
    std::atomic<bool> fini{false};
    std::thread guet([&] {
        for (int i = 0; i < 2000 && !pret(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        SondePixels sonde;
        QElapsedTimer chrono;
        chrono.start();
        EntreesX11::redimensionner(fenetre, taille.width(), taille.height());
        while (chrono.elapsed() < 3000) {
            releves.append({chrono.nsecsElapsed() / 1e6, qHash(sonde.lire(zone))});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        fini = true;
    });
    occuper();
    while (!fini)
        pause(20);
    guet.join();
    return instantStable(releves);
}

void mesurerRedimensionnement(TmainForm &fenetre, TdmRSS &module, const QString &fichier, int tours)
{
    ServeurHTTPTest serveur;
    ReponseHTTP lente = ReponseHTTP::ok(GenerateurFlux::rss2Realiste(20));
    lente.delaiMs = 5000;
    serveur.definir("/lent.xml", lente);
    auto source = std::make_shared<TFlux>();
    source->setUrlRss(serveur.url(QStringLiteral("/lent.xml")));
    module.getFluxBase().append(source);
    fenetre.actualiserListeSources();
    fenetre.affichageFluxExecute();
    fenetre.listeRssSources->setCurrentRow(0);
    // Une page de journal, qui se remet en page à chaque largeur.
    fenetre.ouvrirFichierRSS(fichier);
    attendreChargement(fenetre.pageHTML);
    pause(1000);

    const QSize ecart(120, 80);
    const QSize taille = fenetre.size();
    const QRect page(fenetre.pageHTML->mapToGlobal(QPoint()), fenetre.pageHTML->size());
    QList<double> auRepos, pendant, processeur;
    int redimensionnements = 0;
    for (int i = 0; i < tours; ++i) {
        for (const bool telechargement : {false, true}) {
            const bool grande = ++redimensionnements % 2 == 1;
            const QSize nouvelle = grande ? taille + ecart : taille;
            const QRect zone(page.topLeft(), grande ? page.size() + ecart : page.size());
            const int requetes = serveur.nombreRequetes();
            const double ms = suivreRedimensionnement(
                fenetre.winId(), nouvelle, zone,
                [&] { return !telechargement || serveur.nombreRequetes() > requetes; },
                [&] {
                    if (!telechargement)
                        return;
                    // Le temps processeur de ce fil pendant l'attente, rapporté à sa durée.
                    const double avant = tempsProcesseurDuFilMs();
                    QElapsedTimer duree;
                    duree.start();
                    fenetre.connexionRSS_HTTP->trigger();
                    processeur << (tempsProcesseurDuFilMs() - avant) / duree.elapsed() * 100;
                });
            (telechargement ? pendant : auRepos) << ms;
            if (telechargement) {
                attendreChargement(fenetre.pageHTML);
                fenetre.fermerOngletExecute();
                attendreChargement(fenetre.pageHTML);
            }
            pause(500);
        }
    }
    const double repos = mediane(auRepos), attente = mediane(pendant);
    std::printf("8. La vue de page suit un redimensionnement de la fenêtre (médiane de %d tours alternés)\n", tours);
    std::printf("   au repos %.0f ms, pendant un téléchargement %.0f ms, rapport %.2f (but <= 2.00) %s\n", repos,
                attente, attente / repos, attente <= 2 * repos ? "TENU" : "MANQUÉ");
    std::printf("   au repos :");
    for (double ms : std::as_const(auRepos))
        std::printf(" %.0f", ms);
    std::printf(" ; pendant :");
    for (double ms : std::as_const(pendant))
        std::printf(" %.0f", ms);
    std::printf(" (ms)\n");
    std::printf("   processeur du fil de la fenêtre pendant le téléchargement (5 s, redimensionnement compris) : "
                "%.1f %%\n", mediane(processeur));
    std::fflush(stdout);
}

// --- 3. Bascules, vues de l'extérieur ---

// Ce que l'utilisateur voit après un geste : la fenêtre gelée (la plus longue attente d'une
// réponse à des pings envoyés l'un après l'autre, 1 ms après chaque réponse : un ping arrivé
// avec le clic serait traité avant lui, le suivant attend la fin de ce que le clic fait), les
// premiers pixels de la zone qui changent, et l'instant à partir duquel elle montre son image
// finale ; -1 pour ce qui n'a pas eu lieu.
struct Vu
{
    double geleeMs = -1;
    double premiersMs = -1;
    double finaleMs = -1;
};

// Fait le geste sur ce fil ; depuis d'autres fils, pingue la fenêtre (quand `pings` est donné)
// et relève la zone toutes les 5 ms jusqu'à 1,5 s sans changement après le premier (10 s au
// plus) ; ce fil traite ses évènements pendant ce temps.
template<typename Geste>
Vu suivreGeste(QRect zone, Pings *pings, Geste geste)
{
    Vu vu;
    QList<Releve> releves;
    std::atomic<bool> parti{false}, fini{false};
    QElapsedTimer chrono;
    std::thread guet([&] {
        SondePixels sonde;
        const size_t avant = qHash(sonde.lire(zone));
        while (!parti)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        double dernierChangement = -1;
        while (chrono.elapsed() < 10000) {
            const Releve r{chrono.nsecsElapsed() / 1e6, qHash(sonde.lire(zone))};
            if (vu.premiersMs < 0 && r.empreinte != avant)
                vu.premiersMs = r.ms;
            if (!releves.isEmpty() && r.empreinte != releves.last().empreinte)
                dernierChangement = r.ms;
            releves.append(r);
            if (vu.premiersMs >= 0 && r.ms - std::max(dernierChangement, vu.premiersMs) > 1500)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        fini = true;
    });
    pause(300); // le premier relevé, celui d'avant le geste, est fait
    if (pings)
        pings->demarrer(1);
    chrono.start();
    geste();
    parti = true;
    while (!fini)
        pause(20);
    guet.join();
    if (pings) {
        const QList<double> durees = pings->arreter();
        if (!durees.isEmpty())
            vu.geleeMs = *std::max_element(durees.cbegin(), durees.cend());
    }
    if (vu.premiersMs >= 0)
        vu.finaleMs = instantStable(releves);
    return vu;
}

struct SerieVue
{
    QList<double> gelees, premiers, finales;
    void ajouter(const Vu &vu)
    {
        gelees << vu.geleeMs;
        premiers << vu.premiersMs;
        finales << vu.finaleMs;
    }
};

// Bascules entre deux onglets de 5 000 informations, par un clic sur l'onglet (XTest), face à la
// vue nue qui passe de la même page à l'autre par son schéma, tours alternés. La vue nue reçoit
// les octets que le lecteur a écrits pour chaque onglet.
void mesurerBascules(TmainForm &fenetre, VueNue &nue, const QStringList &pages, int tours)
{
    Pings pings(static_cast<xcb_window_t>(fenetre.winId()), false);
    SondePixels sonde;
    const QRect zone(fenetre.pageHTML->mapToGlobal(QPoint()), fenetre.pageHTML->size());
    SerieVue lecteur, plancher;
    Vu premiere;
    for (int i = 0; i < tours; ++i) {
        const int vers = i % 2 == 0 ? 0 : 1;
        fenetre.raise();
        pause(300);
        const QRect onglet = fenetre.ongletsPages->tabRect(vers);
        const QPoint centre = fenetre.ongletsPages->mapToGlobal(onglet.center());
        const Vu vu = suivreGeste(zone, &pings, [&] { EntreesX11::cliquer(centre); });
        if (fenetre.ongletsPages->currentIndex() != vers)
            std::printf("   ATTENTION : le clic n'a pas changé d'onglet (tour %d)\n", i);
        if (i == 0)
            premiere = vu;
        lecteur.ajouter(vu);
        pause(300);

        // La vue nue montre la page de départ, puis passe à celle d'arrivée.
        nue.charger(pages.at(1 - vers), VueNue::Livraison::Schema, nullptr, false);
        const QRect zoneNue = sonde.monter(sonde.fenetreDe(nue.pid()));
        pause(300);
        plancher.ajouter(suivreGeste(zoneNue, nullptr, [&] { nue.envoyer(pages.at(vers), VueNue::Livraison::Schema); }));
        nue.attendrePeinte();
        nue.vider();
    }
    const auto maximum = [](const QList<double> &v) { return *std::max_element(v.cbegin(), v.cend()); };
    const double gelee = mediane(lecteur.gelees), pire = maximum(lecteur.gelees);
    std::printf("3. Bascule entre deux onglets de 5 000 informations, par un clic sur l'onglet (médianes de %d tours "
                "alternés ; vu du serveur X)\n", tours);
    std::printf("   fenêtre gelée (jusqu'à la réponse à un ping) : médiane %.0f ms, pire %.0f ms, première bascule "
                "%.0f ms (but <= 100, chaque bascule) %s\n",
                gelee, pire, premiere.geleeMs,
                pire <= 100 && premiere.geleeMs >= 0 && !lecteur.gelees.contains(-1.0) ? "TENU" : "MANQUÉ");
    afficherRapport("image finale de la page", mediane(lecteur.finales), mediane(plancher.finales), 1.20);
    std::printf("   premiers pixels changés : lecteur %.0f ms, plancher %.0f ms, rapport %.2f ; première bascule : "
                "premiers pixels %.0f ms, image finale %.0f ms\n",
                mediane(lecteur.premiers), mediane(plancher.premiers),
                mediane(lecteur.premiers) / mediane(plancher.premiers), premiere.premiersMs, premiere.finaleMs);
    std::printf("   tours (gelée / premiers / finale, ms) : lecteur");
    for (int i = 0; i < lecteur.gelees.size(); ++i)
        std::printf(" %.0f/%.0f/%.0f", lecteur.gelees.at(i), lecteur.premiers.at(i), lecteur.finales.at(i));
    std::printf(" ; plancher");
    for (int i = 0; i < plancher.finales.size(); ++i)
        std::printf(" %.0f/%.0f", plancher.premiers.at(i), plancher.finales.at(i));
    std::printf("\n");
    std::fflush(stdout);
}

int coordinateur(int argc, char *argv[])
{
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int bascules = argc > 2 ? std::max(0, atoi(argv[2])) : 1000;
    const QByteArray parties = argc > 3 ? QByteArray(argv[3]) : QByteArray("12345678");

    if (parties.contains('1'))
        mesurerDemarrage(tours);

    QTemporaryDir dossier;
    Emplacement::definirDossierExecutable(dossier.path());
    QDir(dossier.path()).mkpath(QStringLiteral("rss"));
    QDir(dossier.path()).mkpath(QStringLiteral("ressourcesHTML"));
    const QString flux500 = ecrireFlux(QStringLiteral("flux-500.xml"), GenerateurFlux::rss2Realiste(500));
    const QString flux5000 = ecrireFlux(QStringLiteral("flux-5000.xml"), GenerateurFlux::rss2(5000));
    if (flux500.isEmpty() || flux5000.isEmpty())
        return 1;

    DialoguesMesure dialogues;
    TmainForm fenetre;
    TdmRSS module(dialogues);
    fenetre.setDmRSS(&module);
    fenetre.show();
    pause(1000);
    VueNue nue(fenetre.pageHTML->size());
    MesureFenetre::AttentePeinture attente(fenetre.pageHTML);
    const QString page = Emplacement::cheminPage();

    // Une ouverture par « Ouvrir un RSS », chronométrée depuis le geste qui valide la boîte ; la
    // commande elle-même (fenêtre gelée) dans commande.
    auto ouvrirChronometre = [&](const QString &fichier, double &commande) {
        dialogues.fichier = fichier;
        dialogues.auGeste = [&] { attente.repartir(); };
        const auto r = attente.mesurer([&] {
            fenetre.ouvrirRSS->trigger();
            commande = attente.ecouleMs();
        });
        dialogues.auGeste = nullptr;
        return r;
    };

    // 2. Ouverture d'un flux de 500 articles, de la touche Entrée à la page peinte. La sonde de
    // pixels vérifie la règle de « peinte » des deux côtés, hors des temps mesurés.
    QList<double> ouvertures, commandes;
    Planchers planchers;
    SondePixels sondeLecteur, sondePlancher;
    planchers.sonde = &sondePlancher;
    const auto zonePage = [&] { return QRect(fenetre.pageHTML->mapToGlobal(QPoint()), fenetre.pageHTML->size()); };
    for (int i = 0; i < (parties.contains('2') ? tours : 0); ++i) {
        double commande = 0;
        fenetre.raise();
        pause(200);
        const QByteArray avant = sondeLecteur.lire(zonePage());
        const auto r = ouvrirChronometre(flux500, commande);
        if (r.peinteMs < 0) {
            std::printf("   ATTENTION : ouverture %d jamais peinte (chargée à %.0f ms)\n", i, r.chargeeMs);
            return 2;
        }
        const QByteArray aLaPeinte = sondeLecteur.lire(zonePage());
        pause(1000);
        sondeLecteur.noter(avant, aLaPeinte, sondeLecteur.lire(zonePage()));
        ouvertures << r.peinteMs;
        commandes << commande;
        fenetre.fermerOngletExecute();
        attendreChargement(fenetre.pageHTML);
        planchers.mesurer(nue, page);
    }
    if (parties.contains('2')) {
        std::printf("2. Ouverture d'un flux local de 500 articles (page de %lld octets), de la touche Entrée "
                    "dans la boîte de choix à la page peinte (médiane de %d tours alternés ; commande "
                    "elle-même : %.0f ms)\n",
                    static_cast<long long>(QFileInfo(page).size()), tours, mediane(commandes));
        afficherRapport("page peinte", mediane(ouvertures), planchers.plancher(), 1.20);
        planchers.afficher(mediane(ouvertures));
        std::printf("   sonde de pixels, l'écran au moment dit « peinte » déjà égal à l'image finale : "
                    "lecteur %s, plancher (schéma) %s\n",
                    qPrintable(sondeLecteur.bilan()), qPrintable(sondePlancher.bilan()));
        if (dialogues.boitesForcees > 0)
            std::printf("   ATTENTION : %d boîtes validées sans la touche Entrée\n", dialogues.boitesForcees);
    }

    // 5. Un petit flux ouvert juste après la fermeture d'un onglet de 5 000 informations, face au
    // même ouvert juste après la fermeture d'un autre petit flux : aucune séquelle (1,20 au plus).
    if (parties.contains('5')) {
        const QString petit = ecrireFlux(QStringLiteral("petit.xml"), GenerateurFlux::rss2Realiste(20));
        const QString autrePetit = ecrireFlux(QStringLiteral("autre-petit.xml"), GenerateurFlux::rss2Realiste(20));
        QList<double> apresGrand, apresPetit, commandesApresGrand, commandesApresPetit;
        auto ouvrirPuisFermer = [&](const QString &fichier) {
            dialogues.fichier = fichier;
            fenetre.ouvrirRSS->trigger();
            attendreChargement(fenetre.pageHTML);
            fenetre.fermerOngletExecute();
            attendreChargement(fenetre.pageHTML);
        };
        auto mesurerPetit = [&](QList<double> &peintes, QList<double> &commandes) {
            double commande = 0;
            const auto r = ouvrirChronometre(petit, commande);
            peintes << r.peinteMs;
            commandes << commande;
            fenetre.fermerOngletExecute();
            attendreChargement(fenetre.pageHTML);
        };
        for (int i = 0; i < tours; ++i) {
            ouvrirPuisFermer(flux5000);
            mesurerPetit(apresGrand, commandesApresGrand);
            ouvrirPuisFermer(autrePetit);
            mesurerPetit(apresPetit, commandesApresPetit);
        }
        std::printf("5. Petit flux (20 articles) ouvert juste après la fermeture d'un onglet de 5 000 informations, "
                    "face au même après la fermeture d'un petit (médiane de %d tours alternés)\n", tours);
        afficherRapport("page peinte", mediane(apresGrand), mediane(apresPetit), 1.20);
        std::printf("   commande (fenêtre gelée) : %.0f ms après le grand, %.0f ms après le petit\n",
                    mediane(commandesApresGrand), mediane(commandesApresPetit));
        std::fflush(stdout);
    }

    // La mémoire du programme : ce processus et ses descendants, sans la vue nue du plancher.
    auto memoireProgramme = [&] {
        MesureFenetre::Memoire m = MesureFenetre::memoireArbre(QCoreApplication::applicationPid());
        const MesureFenetre::Memoire plancher = MesureFenetre::memoireArbre(nue.pid());
        m.rssKio -= plancher.rssKio;
        m.pssKio -= plancher.pssKio;
        m.processus -= plancher.processus;
        return m;
    };

    // 6. Mémoire avec 50 onglets de flux ordinaires (25 articles chacun, chacun son fichier),
    // ouverts l'un après l'autre, face à la même avec un seul. But : 1,5 fois au plus.
    if (parties.contains('6')) {
        dialogues.delaiMs = 50;
        QStringList fichiers;
        for (int i = 0; i < 50; ++i)
            fichiers << ecrireFlux(QStringLiteral("ordinaire-%1.xml").arg(i), GenerateurFlux::rss2Realiste(25));
        QElapsedTimer chrono;
        chrono.start();
        QList<double> enRetard;
        qint64 pssUnOnglet = 0;
        for (int i = 0; i < fichiers.size(); ++i) {
            dialogues.fichier = fichiers.at(i);
            fenetre.ouvrirRSS->trigger();
            // La commande rendue, la page n'est pas forcément là : son retard.
            QElapsedTimer retard;
            retard.start();
            attendreChargement(fenetre.pageHTML);
            enRetard << retard.nsecsElapsed() / 1e6;
            if (i == 0) {
                pause(3000);
                const MesureFenetre::Memoire un = memoireProgramme();
                std::printf("6. Mémoire du programme (processus et descendants) : 1 onglet : PSS %.1f Mio, "
                            "RSS %.1f Mio (%d processus)\n", un.pssKio / 1024.0, un.rssKio / 1024.0, un.processus);
                pssUnOnglet = un.pssKio;
            }
        }
        pause(3000);
        const MesureFenetre::Memoire cinquante = memoireProgramme();
        const double rapport = double(cinquante.pssKio) / double(pssUnOnglet);
        std::printf("   50 onglets : PSS %.1f Mio, RSS %.1f Mio (%d processus) ; rapport des PSS %.2f (but <= 1.50) %s ; "
                    "page chargée %.0f ms après la commande en médiane, %.0f ms au pire ; %.1f s en tout\n",
                    cinquante.pssKio / 1024.0, cinquante.rssKio / 1024.0, cinquante.processus, rapport,
                    rapport <= 1.5 ? "TENU" : "MANQUÉ", mediane(enRetard),
                    *std::max_element(enRetard.begin(), enRetard.end()), chrono.elapsed() / 1e3);
        while (fenetre.ongletsPages->count() > 0)
            fenetre.fermerOngletExecute();
        attendreChargement(fenetre.pageHTML);
        dialogues.delaiMs = 400;
        std::fflush(stdout);
    }

    // 7. Un flux de 100 000 informations ouvert : la mémoire du programme, processus et
    // descendants. But : 1 Gio au plus.
    if (parties.contains('7')) {
        const QString enorme = ecrireFlux(QStringLiteral("flux-100000.xml"), GenerateurFlux::rss2(100000));
        dialogues.fichier = enorme;
        const int boitesAvant = dialogues.boites;
        const int ongletsAvant = fenetre.ongletsPages->count();
        double commande = 0;
        dialogues.auGeste = [&] { attente.repartir(); };
        const auto r = attente.mesurer([&] {
            fenetre.ouvrirRSS->trigger();
            commande = attente.ecouleMs();
        }, 300000);
        dialogues.auGeste = nullptr;
        pause(3000);
        // Un flux refusé ne tient aucune mémoire : la mesure n'a alors pas de sens.
        const bool ouvert = dialogues.boites == boitesAvant && fenetre.ongletsPages->count() == ongletsAvant + 1;
        const MesureFenetre::Memoire m = memoireProgramme();
        const qint64 pssFenetre = MesureFenetre::champKio(QCoreApplication::applicationPid(), "smaps_rollup", "Pss:");
        std::printf("7. Flux de 100 000 informations (%.1f Mo) : commande %.1f s, chargée en %.1f s, peinte en %.1f s ; "
                    "mémoire du programme PSS %.1f Mio dont %.1f Mio pour la fenêtre, RSS %.1f Mio (%d processus) "
                    "(but : PSS <= 1024 Mio) %s\n",
                    QFileInfo(enorme).size() / 1e6, commande / 1e3, r.chargeeMs / 1e3, r.peinteMs / 1e3,
                    m.pssKio / 1024.0, pssFenetre / 1024.0, m.rssKio / 1024.0, m.processus,
                    !ouvert ? "MANQUÉ (flux non ouvert)" : m.pssKio <= 1024 * 1024 ? "TENU" : "MANQUÉ");
        if (ouvert)
            fenetre.fermerOngletExecute();
        attendreChargement(fenetre.pageHTML);
        std::fflush(stdout);
    }

    if (parties.contains('8'))
        mesurerRedimensionnement(fenetre, module, flux500, tours);

    std::fflush(stdout);
    if (!parties.contains('3') && !parties.contains('4'))
        return dialogues.boites > 0 ? 3 : 0;

    // 3. Bascules entre deux onglets de 5 000 informations, deux fichiers (le second ne diffère que
    // par son titre) ; les octets de la page de chacun sont gardés pour la vue nue.
    const QString autre5000 = ecrireFlux(
        QStringLiteral("flux-5000-b.xml"),
        GenerateurFlux::rss2(5000).replace("<title>Flux de mesure</title>", "<title>Autre flux de mesure</title>"));
    QStringList pages;
    for (const QString &fichier : {flux5000, autre5000}) {
        dialogues.fichier = fichier;
        fenetre.ouvrirRSS->trigger();
        attendreChargement(fenetre.pageHTML);
        const QString copie = Emplacement::dossierRss() + QStringLiteral("page-%1.html").arg(pages.size());
        QFile::remove(copie);
        QFile::copy(page, copie);
        pages << copie;
    }
    pause(500);
    std::printf("   onglets : « %s » et « %s », pages de %lld et %lld octets\n", qPrintable(fenetre.ongletsPages->tabText(0)),
                qPrintable(fenetre.ongletsPages->tabText(1)), static_cast<long long>(QFileInfo(pages.at(0)).size()),
                static_cast<long long>(QFileInfo(pages.at(1)).size()));
    if (parties.contains('3'))
        mesurerBascules(fenetre, nue, pages, tours);

    // 4. Mémoire après des bascules. Les 100 premières la font monter d'une centaine de Mio
    // (caches du moteur, réserves de l'allocateur pour chaque fil), puis elle reste à plat : la
    // référence est prise après elles, et la fuite se juge sur toutes les suivantes.
    if (parties.contains('4') && bascules >= 200) {
        QList<QPair<int, qint64>> releves; // après 10, puis toutes les 100 bascules
        QElapsedTimer chrono;
        chrono.start();
        for (int i = 1; i <= bascules; ++i) {
            fenetre.ongletsPages->setCurrentIndex(i % 2);
            // La page d'un flux de 5 000 informations met du temps à se dessiner : elle n'est
            // attendue jusqu'au bout qu'une bascule sur cent, les autres s'interrompent l'une
            // l'autre comme sous les clics d'un utilisateur pressé.
            if (i % 100 == 0 || i == 10)
                attendreChargement(fenetre.pageHTML);
            else
                pause(20);
            if (i % 100 == 0 || i == 10)
                releves.append({i, MesureFenetre::champKio(QCoreApplication::applicationPid(), "status", "VmRSS:")});
        }
        const qint64 apres100 = releves.at(1).second;
        const qint64 apresTout = releves.last().second;
        std::printf("4. Mémoire résidente du processus après %d bascules (%.0f ms par bascule)\n", bascules,
                    chrono.elapsed() / double(bascules));
        std::printf("   après 100 : %.1f Mio, après %d : %.1f Mio, écart %.1f Mio (but < 10) %s\n", apres100 / 1024.0,
                    bascules, apresTout / 1024.0, (apresTout - apres100) / 1024.0,
                    apresTout - apres100 < 10 * 1024 ? "TENU" : "MANQUÉ");
        std::printf("   relevés (bascules : Mio) :");
        for (const auto &[bascule, kio] : std::as_const(releves))
            std::printf(" %d : %.0f", bascule, kio / 1024.0);
        std::printf("\n");
    }
    if (dialogues.erreursDeChoix > 0)
        std::printf("ERREUR : %d choix de fichier inattendus\n", dialogues.erreursDeChoix);
    return dialogues.boites > 0 || dialogues.erreursDeChoix > 0 ? 3 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication application(argc, argv);
    return coordinateur(argc, argv);
}
