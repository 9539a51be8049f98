#!/usr/bin/env bash
# Installe ce qui manque, construit le projet et lance toute la suite de tests sous Xvfb,
# deux fois : construction ordinaire, puis construction avec AddressSanitizer et UBSan.
# LECTEUR_RSS_SANS_SANITIZERS=1 saute la seconde passe (essais rapides).
# Installs what is missing, builds the project and runs the whole test suite under Xvfb, twice:
# a normal build, then an AddressSanitizer + UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/installer-dependances.sh
export QTWEBENGINE_DISABLE_SANDBOX=1
jobs=$(nproc)

lancer_suite() {
  local dossier=$1
  shift
  cmake -S . -B "$dossier" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dossier" -j"$jobs"
  (cd "$dossier" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$jobs")
}

echo "== Suite de tests (construction ordinaire)"
lancer_suite build
if [ "${LECTEUR_RSS_SANS_SANITIZERS:-0}" != "1" ]; then
  echo "== Suite de tests (AddressSanitizer + UBSan)"
  lancer_suite build-asan -DLECTEUR_RSS_SANITIZERS=ON -DLECTEUR_RSS_BENCH=OFF
fi
