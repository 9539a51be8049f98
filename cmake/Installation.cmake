# cmake --install build --prefix P : les programmes dans P/bin, le modèle de base et les flux
# d'exemple dans P/share/brindlewave (recopiés dans le dossier de données de l'utilisateur au premier
# démarrage), l'entrée de bureau, les métadonnées AppStream et l'icône.
set(ID_APPLICATION org.brindlewave.LecteurRSS)
set(DOSSIER_BUREAU ${CMAKE_SOURCE_DIR}/data/bureau)

install(TARGETS rss-outil RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET lecteur-rss)
  install(TARGETS lecteur-rss RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/baseFluxModèle.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/brindlewave)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/rss DESTINATION ${CMAKE_INSTALL_DATADIR}/brindlewave)

install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# L'icône : le dessin vectoriel tel quel, et sa version 48×48 rendue à la construction.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ICONE_48 ${CMAKE_BINARY_DIR}/icones/${ID_APPLICATION}.png)
add_custom_command(OUTPUT ${ICONE_48}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icones
  COMMAND ${RSVG_CONVERT} -w 48 -h 48 -o ${ICONE_48} ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg
  DEPENDS ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg
  COMMENT "Icône 48×48")
add_custom_target(icone_48 ALL DEPENDS ${ICONE_48})
install(FILES ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ICONE_48} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
