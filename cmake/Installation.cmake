# cmake --install build --prefix P : les programmes dans P/bin, le modèle de base et les flux
# d'exemple dans P/share/brindlewave (recopiés dans le dossier de données de l'utilisateur au premier
# démarrage), l'entrée de bureau, les métadonnées AppStream et l'icône.
install(TARGETS rss-outil RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET lecteur-rss)
  install(TARGETS lecteur-rss RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/baseFluxModèle.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/brindlewave)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/rss DESTINATION ${CMAKE_INSTALL_DATADIR}/brindlewave)

install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# L'icône : le dessin vectoriel tel quel, et sa version 48×48 (cmake/Icone.cmake).
install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ICONE_48} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

# Ce que le paquet installe, et rien d'autre (ni tests ni mesures) : scripts/installer-paquet.sh
# ne construit que cette cible avant cpack.
add_custom_target(contenu_paquet)
add_dependencies(contenu_paquet rss-outil icone_48)
if(TARGET lecteur-rss)
  add_dependencies(contenu_paquet lecteur-rss)
endif()
