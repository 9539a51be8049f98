#!/usr/bin/env bash
# Installe les paquets Debian 12 dont le projet a besoin ; n'installe que ce qui manque.
# Installs the Debian 12 packages the project needs; only what is missing.
set -euo pipefail

paquets=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  qt6-translations-l10n qt6-l10n-tools
  libcurl4-openssl-dev ca-certificates
  libexpat1-dev
  libgumbo-dev
  libbenchmark-dev libxcb1-dev
  xvfb xauth
  fonts-dejavu-core fonts-liberation2
  tango-icon-theme
  librsvg2-bin desktop-file-utils appstream
)

# « fuzz » ajoute clang et ses bibliothèques libFuzzer / sanitizers (scripts/fuzz.sh).
if [ "${1:-}" = "fuzz" ]; then
  paquets+=(clang-14 libclang-rt-14-dev)
fi

manquants=()
for p in "${paquets[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    manquants+=("$p")
  fi
done

if [ ${#manquants[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -q
$sudo_cmd apt-get install -y -q --no-install-recommends "${manquants[@]}"
