# cpack -G DEB : un paquet Debian de ce qu'installe cmake/Installation.cmake. Ses dépendances sont
# celles des bibliothèques partagées des programmes, trouvées par dpkg-shlibdeps.
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
# Les boutons « Oui », « Non », « Annuler » des boîtes de Qt en français.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
