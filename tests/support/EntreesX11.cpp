#include "EntreesX11.h"

#include <dlfcn.h>

namespace {

struct Affichage;
using Bool = int;

// Les quelques fonctions de libX11 et de libXtst qui servent ici.
struct Fonctions
{
    Affichage *(*ouvrir)(const char *) = nullptr;
    int (*fermer)(Affichage *) = nullptr;
    int (*synchroniser)(Affichage *, Bool) = nullptr;
    unsigned long (*keysym)(const char *) = nullptr;
    unsigned char (*codeTouche)(Affichage *, unsigned long) = nullptr;
    int (*redimensionner)(Affichage *, unsigned long, unsigned int, unsigned int) = nullptr;
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
        charger(xtst, "XTestQueryExtension", extension);
        charger(xtst, "XTestFakeMotionEvent", mouvement);
        charger(xtst, "XTestFakeButtonEvent", bouton);
        charger(xtst, "XTestFakeKeyEvent", cle);
        pretes = ouvrir && fermer && synchroniser && keysym && codeTouche && redimensionner && extension && mouvement
                 && bouton && cle;
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

void touche(const char *nom, bool ctrl)
{
    const Connexion connexion;
    if (!connexion.affichage())
        return;
    const Fonctions &x = fonctions();
    const unsigned int controle = x.codeTouche(connexion.affichage(), x.keysym("Control_L"));
    const unsigned int code = x.codeTouche(connexion.affichage(), x.keysym(nom));
    if (ctrl)
        x.cle(connexion.affichage(), controle, 1, 0);
    x.cle(connexion.affichage(), code, 1, 0);
    x.cle(connexion.affichage(), code, 0, 0);
    if (ctrl)
        x.cle(connexion.affichage(), controle, 0, 0);
}

void redimensionner(unsigned long fenetre, int largeur, int hauteur)
{
    const Connexion connexion;
    if (connexion.affichage())
        fonctions().redimensionner(connexion.affichage(), fenetre, static_cast<unsigned>(largeur),
                                   static_cast<unsigned>(hauteur));
}

} // namespace EntreesX11
