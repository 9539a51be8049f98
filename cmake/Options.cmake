# Options de compilation partagées par toutes les cibles du projet.
add_library(lecteur_options INTERFACE)
target_compile_options(lecteur_options INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
target_compile_definitions(lecteur_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_USE_QSTRINGBUILDER)
if(LECTEUR_RSS_SANITIZERS)
  target_compile_options(lecteur_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(lecteur_options INTERFACE -fsanitize=address,undefined)
endif()
if(LECTEUR_RSS_FUZZ)
  target_compile_options(lecteur_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
