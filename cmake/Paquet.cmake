# cpack -G DEB : un paquet Debian de ce qu'installe cmake/Installation.cmake. Ses dépendances sont
# celles des bibliothèques partagées des programmes, trouvées par dpkg-shlibdeps, plus libcurl.
set(CPACK_PACKAGE_NAME brindlewave-lecteur-rss)
set(CPACK_PACKAGE_VENDOR Brindlewave)
set(CPACK_PACKAGE_CONTACT "Brindlewave <lecteur-rss@brindlewave.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lecteur de flux RSS avec base de sources et de favoris")
set(CPACK_PACKAGE_DESCRIPTION "Brindlewave - Lecteur RSS lit les flux RSS 0.9x, 1.0 et 2.0, depuis un \
fichier ou par HTTP, montre chaque flux comme une page dans un onglet, garde une base de sources et de \
favoris rangés en rubriques, conserve les informations choisies et les recherche.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl est chargée par dlopen au premier téléchargement (src/reading/BibliothequeCurl.cpp) :
# dpkg-shlibdeps ne la voit pas. Le paquet qui fournit ici le fichier chargé, libcurl.so.4, est
# donc nommé à la main, dès la version qui a toutes les fonctions appelées (curl_url_strerror).
set(PAQUET_LIBCURL libcurl4)
list(GET CURL_LIBRARIES 0 bibliotheque_curl)
get_filename_component(dossier_curl "${bibliotheque_curl}" DIRECTORY)
if(EXISTS "${dossier_curl}/libcurl.so.4")
  file(REAL_PATH "${dossier_curl}/libcurl.so.4" fichier_curl)
  execute_process(COMMAND dpkg-query -S "${fichier_curl}" OUTPUT_VARIABLE proprietaire_curl
                  RESULT_VARIABLE code_curl ERROR_QUIET)
  if(code_curl EQUAL 0 AND proprietaire_curl MATCHES "^([^:, ]+)")
    set(PAQUET_LIBCURL ${CMAKE_MATCH_1})
  endif()
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${PAQUET_LIBCURL} (>= 7.80.0)")
# Les boutons « Oui », « Non », « Annuler » des boîtes de Qt en français.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
# cpack installe ce qui est déjà construit (la cible contenu_paquet) au lieu de reconstruire
# d'abord toute la cible « all », tests et mesures compris ; « make install » non plus ne construit
# rien : cmake --install et cpack suivent une construction.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
include(CPack)
