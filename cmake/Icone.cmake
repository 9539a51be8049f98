# L'icône du programme en 48×48, rendue à la construction depuis son dessin vectoriel : installée
# (cmake/Installation.cmake) et incluse dans la fenêtre (src/CMakeLists.txt), qui la montre.
set(ID_APPLICATION org.brindlewave.LecteurRSS)
set(DOSSIER_BUREAU ${CMAKE_SOURCE_DIR}/data/bureau)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ICONE_48 ${CMAKE_BINARY_DIR}/icones/${ID_APPLICATION}.png)
add_custom_command(OUTPUT ${ICONE_48}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icones
  COMMAND ${RSVG_CONVERT} -w 48 -h 48 -o ${ICONE_48} ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg
  DEPENDS ${DOSSIER_BUREAU}/${ID_APPLICATION}.svg
  COMMENT "Icône 48×48")
add_custom_target(icone_48 ALL DEPENDS ${ICONE_48})
