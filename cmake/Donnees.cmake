# Les fichiers posés à côté des exécutables : le modèle de base, les flux d'exemple
# et le dossier des copies locales (vide, le programme ne le crée jamais).
set(DOSSIER_BIN ${CMAKE_BINARY_DIR}/bin)
file(MAKE_DIRECTORY ${DOSSIER_BIN}/ressourcesHTML)
file(MAKE_DIRECTORY ${DOSSIER_BIN}/rss)
configure_file(${CMAKE_SOURCE_DIR}/data/baseFluxModèle.xml ${DOSSIER_BIN}/baseFluxModèle.xml COPYONLY)
file(GLOB _flux_exemples CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/rss/*)
foreach(_f ${_flux_exemples})
  get_filename_component(_nom ${_f} NAME)
  configure_file(${_f} ${DOSSIER_BIN}/rss/${_nom} COPYONLY)
endforeach()
