#!/usr/bin/env bash
# Installe ce qui manque, construit le projet et lance toute la suite de tests sous Xvfb.
# Installs what is missing, builds the project and runs the whole test suite under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/installer-dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export QTWEBENGINE_DISABLE_SANDBOX=1
cd build
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@"
