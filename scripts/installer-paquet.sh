#!/usr/bin/env bash
# Installe ce qui manque, construit le lecteur, en fait le paquet Debian (cpack -G DEB) et
# l'installe avec apt : lecteur-rss dans /usr/bin, dans le menu des applications. Seul ce que le
# paquet installe est construit (lecteur-rss, rss-outil, l'icône), une fois : ni tests ni mesures.
# Installs what is missing, builds the reader, makes its Debian package (cpack -G DEB) and
# installs it with apt: lecteur-rss in /usr/bin, in the applications menu. Only what the package
# installs is built (lecteur-rss, rss-outil, the icon), once: no tests, no benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/installer-dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target contenu_paquet
(cd build && cpack -G DEB)
paquet=$(ls -t build/brindlewave-lecteur-rss_*.deb | head -n 1)
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
$sudo_cmd apt-get install -y "./$paquet"
