#include "EntreesX11.h"

#include <dlfcn.h>

namespace {

struct Affichage;
using Bool = int;

// XClientMessageEvent, dans un XEvent (24 long).
struct MessageClient
{
    int type;
    unsigned long serie;
    Bool envoye;
    Affichage *affichage;
    unsigned long fenetre;
    unsigned long typeMessage;
    int format;
    long donnees[5];
};
union EvenementX
{
    MessageClient client;
    long place[24];
};
constexpr int ClientMessage = 33;

// Les quelques fonctions de libX11 et de libXtst qui servent ici.
struct Fonctions
{
    Affichage *(*ouvrir)(const char *) = nullptr;
    int (*fermer)(Affichage *) = nullptr;
    int (*synchroniser)(Affichage *, Bool) = nullptr;
    unsigned long (*keysym)(const char *) = nullptr;
    unsigned char (*codeTouche)(Affichage *, unsigned long) = nullptr;
    int (*redimensionner)(Affichage *, unsigned long, unsigned int, unsigned int) = nullptr;
    unsigned long (*atome)(Affichage *, const char *, Bool) = nullptr;
    int (*envoyer)(Affichage *, unsigned long, Bool, long, EvenementX *) = nullptr;
    Bool (*extension)(Affichage *, int *, int *, int *, int *) = nullptr;
    int (*mouvement)(Affichage *, int, int, int, unsigned long) = nullptr;
    int (*bouton)(Affichage *, unsigned int, Bool, unsigned long) = nullptr;
    int (*cle)(Affichage *, unsigned int, Bool, unsigned long) = nullptr;
    bool pretes = false;

    Fonctions()
    {
        void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        void *xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11 || !xtst)
            return;
        charger(x11, "XOpenDisplay", ouvrir);
        charger(x11, "XCloseDisplay", fermer);
        charger(x11, "XSync", synchroniser);
        charger(x11, "XStringToKeysym", keysym);
        charger(x11, "XKeysymToKeycode", codeTouche);
        charger(x11, "XResizeWindow", redimensionner);
        charger(x11, "XInternAtom", atome);
        charger(x11, "XSendEvent", envoyer);
        charger(xtst, "XTestQueryExtension", extension);
        charger(xtst, "XTestFakeMotionEvent", mouvement);
        charger(xtst, "XTestFakeButtonEvent", bouton);
        charger(xtst, "XTestFakeKeyEvent", cle);
        pretes = ouvrir && fermer && synchroniser && keysym && codeTouche && redimensionner && atome && envoyer
                 && extension && mouvement && bouton && cle;
    }

    template<typename F>
    static void charger(void *bibliotheque, const char *nom, F &fonction)
    {
        fonction = reinterpret_cast<F>(dlsym(bibliotheque, nom));
    }
};

const Fonctions &fonctions()
{
    static const Fonctions f;
    return f;
}

// Une connexion au serveur X le temps d'un appel ; tout est envoyé et traité à sa fermeture.
class Connexion
{
public:
    Connexion() : m_affichage(fonctions().pretes ? fonctions().ouvrir(nullptr) : nullptr) {}
    ~Connexion()
    {
        if (m_affichage) {
            fonctions().synchroniser(m_affichage, 0);
            fonctions().fermer(m_affichage);
        }
    }
    Connexion(const Connexion &) = delete;
    Connexion &operator=(const Connexion &) = delete;
    Affichage *affichage() const { return m_affichage; }

private:
    Affichage *m_affichage;
};

} // namespace

namespace EntreesX11 {

bool disponibles()
{
    const Connexion connexion;
    int evenement = 0, erreur = 0, majeure = 0, mineure = 0;
    return connexion.affichage() && fonctions().extension(connexion.affichage(), &evenement, &erreur, &majeure, &mineure);
}

void cliquer(const QPoint &ecran)
{
    const Connexion connexion;
    if (!connexion.affichage())
        return;
    const Fonctions &x = fonctions();
    x.mouvement(connexion.affichage(), -1, ecran.x(), ecran.y(), 0);
    x.bouton(connexion.affichage(), 1, 1, 0);
    x.bouton(connexion.affichage(), 1, 0, 0);
}

void touche(const char *nom, const char *modificateur)
{
    const Connexion connexion;
    if (!connexion.affichage())
        return;
    const Fonctions &x = fonctions();
    const unsigned int modif = modificateur ? x.codeTouche(connexion.affichage(), x.keysym(modificateur)) : 0;
    const unsigned int code = x.codeTouche(connexion.affichage(), x.keysym(nom));
    if (modif)
        x.cle(connexion.affichage(), modif, 1, 0);
    x.cle(connexion.affichage(), code, 1, 0);
    x.cle(connexion.affichage(), code, 0, 0);
    if (modif)
        x.cle(connexion.affichage(), modif, 0, 0);
}

void redimensionner(unsigned long fenetre, int largeur, int hauteur)
{
    const Connexion connexion;
    if (connexion.affichage())
        fonctions().redimensionner(connexion.affichage(), fenetre, static_cast<unsigned>(largeur),
                                   static_cast<unsigned>(hauteur));
}

void fermer(unsigned long fenetre)
{
    const Connexion connexion;
    if (!connexion.affichage())
        return;
    const Fonctions &x = fonctions();
    EvenementX evenement{};
    evenement.client.type = ClientMessage;
    evenement.client.fenetre = fenetre;
    evenement.client.typeMessage = x.atome(connexion.affichage(), "WM_PROTOCOLS", 0);
    evenement.client.format = 32;
    evenement.client.donnees[0] = static_cast<long>(x.atome(connexion.affichage(), "WM_DELETE_WINDOW", 0));
    evenement.client.donnees[1] = 0; // CurrentTime
    x.envoyer(connexion.affichage(), fenetre, 0, 0, &evenement);
}

} // namespace EntreesX11
