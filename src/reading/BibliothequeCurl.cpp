#include "reading/BibliothequeCurl.h"

#include "commun/Erreurs.h"

#include <dlfcn.h>

namespace {

template<typename Fonction>
void resoudre(void *bibliotheque, const char *nom, Fonction &fonction)
{
    fonction = reinterpret_cast<Fonction>(dlsym(bibliotheque, nom));
    if (!fonction)
        throw ErreurHTTP(QStringLiteral("La fonction %1 manque à libcurl.").arg(QString::fromLatin1(nom)));
}

BibliothequeCurl charger()
{
    // Jamais déchargée : elle sert jusqu'à la fin du programme.
    void *bibliotheque = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!bibliotheque)
        throw ErreurCurlAbsente(QStringLiteral("Aucun téléchargement n'est possible : la bibliothèque libcurl est "
                                               "introuvable (%1).\nInstallez le paquet libcurl4, puis recommencez.")
                                    .arg(QString::fromLocal8Bit(dlerror())));
    BibliothequeCurl f{};
    resoudre(bibliotheque, "curl_easy_init", f.easy_init);
    resoudre(bibliotheque, "curl_easy_cleanup", f.easy_cleanup);
    resoudre(bibliotheque, "curl_easy_reset", f.easy_reset);
    resoudre(bibliotheque, "curl_easy_setopt", f.easy_setopt);
    resoudre(bibliotheque, "curl_easy_getinfo", f.easy_getinfo);
    resoudre(bibliotheque, "curl_easy_strerror", f.easy_strerror);
    resoudre(bibliotheque, "curl_slist_append", f.slist_append);
    resoudre(bibliotheque, "curl_slist_free_all", f.slist_free_all);
    resoudre(bibliotheque, "curl_url", f.url);
    resoudre(bibliotheque, "curl_url_cleanup", f.url_cleanup);
    resoudre(bibliotheque, "curl_url_set", f.url_set);
    resoudre(bibliotheque, "curl_url_get", f.url_get);
    resoudre(bibliotheque, "curl_free", f.free);
    resoudre(bibliotheque, "curl_url_strerror", f.url_strerror);
    resoudre(bibliotheque, "curl_multi_init", f.multi_init);
    resoudre(bibliotheque, "curl_multi_cleanup", f.multi_cleanup);
    resoudre(bibliotheque, "curl_multi_add_handle", f.multi_add_handle);
    resoudre(bibliotheque, "curl_multi_remove_handle", f.multi_remove_handle);
    resoudre(bibliotheque, "curl_multi_perform", f.multi_perform);
    resoudre(bibliotheque, "curl_multi_poll", f.multi_poll);
    resoudre(bibliotheque, "curl_multi_wakeup", f.multi_wakeup);
    resoudre(bibliotheque, "curl_multi_info_read", f.multi_info_read);
    decltype(&::curl_global_init) initialiser = nullptr;
    resoudre(bibliotheque, "curl_global_init", initialiser);
    initialiser(CURL_GLOBAL_DEFAULT);
    return f;
}

} // namespace

const BibliothequeCurl &bibliothequeCurl()
{
    // Un échec laisse la variable à faire : l'appel suivant réessaie.
    static const BibliothequeCurl fonctions = charger();
    return fonctions;
}
