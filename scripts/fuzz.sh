#!/usr/bin/env bash
# Construit les cibles libFuzzer (clang, ASan + UBSan) et lance chacune pendant la durée donnée.
# Usage : scripts/fuzz.sh [secondes par cible] [cible...]
#   Les entrées nouvelles vont dans build-fuzz/corpus/<cible>/ ; les graines du projet sont dans
#   fuzz/graines/<cible>/ ; le corpus externe ../shared/corpus, s'il existe, sert de graines en plus.
#   FUZZ_GRANDES_ENTREES=1 : entrées jusqu'à 1 Mo, essayées longues d'emblée, pour trouver les
#   documents qui coûtent plus que linéairement (toute entrée de plus d'une seconde est un échec).
set -euo pipefail
cd "$(dirname "$0")/.."
duree=${1:-60}
shift || true
bash scripts/installer-dependances.sh fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLECTEUR_RSS_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
cibles=("$@")
if [ ${#cibles[@]} -eq 0 ]; then
  for f in build-fuzz/fuzz/fuzz_*; do
    if [ -f "$f" ] && [ -x "$f" ]; then cibles+=("$(basename "$f")"); fi
  done
fi
max_len=262144
options_longueur=()
suffixe=""
if [ "${FUZZ_GRANDES_ENTREES:-0}" = "1" ]; then
  max_len=1048576
  options_longueur=(-len_control=0)
  suffixe="-grandes"
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=64:malloc_context_size=10}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Les cibles tournent en même temps, chacune dans son journal build-fuzz/journal-<cible>.log.
pids=()
for cible in "${cibles[@]}"; do
  nom=${cible#fuzz_}
  travail=build-fuzz/corpus/$nom$suffixe
  mkdir -p "$travail" build-fuzz/artefacts/$nom
  graines=(fuzz/graines/$nom)
  if [ -d ../shared/corpus ] && [ "$nom" = "lecture_rss" ]; then graines+=(../shared/corpus); fi
  echo "== $cible pendant $duree s (journal : build-fuzz/journal-$nom.log)"
  build-fuzz/fuzz/$cible "$travail" "${graines[@]}" \
    -max_total_time="$duree" -timeout=1 -rss_limit_mb=512 -max_len="$max_len" "${options_longueur[@]}" \
    -artifact_prefix=build-fuzz/artefacts/$nom/ -print_final_stats=1 > build-fuzz/journal-$nom.log 2>&1 &
  pids+=($!)
done
echec=0
for i in "${!pids[@]}"; do
  nom=${cibles[$i]#fuzz_}
  if ! wait "${pids[$i]}"; then echec=1; fi
  echo "== ${cibles[$i]}"
  grep -E '^(INFO: Seed|#[0-9]+ *(INITED|DONE)|Done|stat::|==[0-9]+==|SUMMARY|artifact)' build-fuzz/journal-$nom.log | tail -n 14
done
exit $echec
