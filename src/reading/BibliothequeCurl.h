#pragma once
// libcurl, chargée au premier téléchargement et non au lancement du programme : elle et la
// vingtaine de bibliothèques qu'elle entraîne (TLS, LDAP, SSH...) ne pèsent pas sur le démarrage.
// Seules ses déclarations viennent de curl/curl.h ; le programme n'est pas lié à elle.

#include <curl/curl.h>

struct BibliothequeCurl
{
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_reset) easy_reset;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
    decltype(&::curl_url) url;
    decltype(&::curl_url_cleanup) url_cleanup;
    decltype(&::curl_url_set) url_set;
    decltype(&::curl_url_get) url_get;
    decltype(&::curl_free) free;
    decltype(&::curl_url_strerror) url_strerror;
    decltype(&::curl_multi_init) multi_init;
    decltype(&::curl_multi_cleanup) multi_cleanup;
    decltype(&::curl_multi_add_handle) multi_add_handle;
    decltype(&::curl_multi_remove_handle) multi_remove_handle;
    decltype(&::curl_multi_perform) multi_perform;
    decltype(&::curl_multi_poll) multi_poll;
    decltype(&::curl_multi_wakeup) multi_wakeup;
    decltype(&::curl_multi_info_read) multi_info_read;
};

// Les fonctions de libcurl ; au premier appel, la bibliothèque est chargée et initialisée
// (curl_global_init). ErreurCurlAbsente quand elle manque, ErreurHTTP quand une fonction y manque.
const BibliothequeCurl &bibliothequeCurl();
