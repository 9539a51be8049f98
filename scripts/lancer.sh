#!/usr/bin/env bash
# Installe ce qui manque, construit le projet et démarre le lecteur.
# Installs what is missing, builds the project and starts the reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/installer-dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -x build/bin/lecteur-rss ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a build/bin/lecteur-rss
  fi
  exec build/bin/lecteur-rss
fi
# Tant que la fenêtre n'existe pas : le compagnon en ligne de commande sur un flux d'exemple.
exec build/bin/rss-outil analyser build/bin/rss/actualites-brindlewave.xml
