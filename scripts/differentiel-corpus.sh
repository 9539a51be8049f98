#!/usr/bin/env bash
# Compare deux constructions de rss-outil sur le corpus externe : pour chaque fichier, les sorties
# (JSON et code de sortie) de « analyser » et de « arbre » de l'une et de l'autre, et la liste des
# fichiers où elles diffèrent. À lancer à la main, après un changement de la lecture :
#   bash scripts/differentiel-corpus.sh AVANT/bin/rss-outil APRES/bin/rss-outil [CORPUS] [DOSSIER]
# CORPUS : ../shared/corpus par défaut ; DOSSIER (les sorties gardées) : un dossier temporaire.
set -euo pipefail

avant=$(realpath "$1")
apres=$(realpath "$2")
corpus=$(realpath "${3:-$(dirname "$0")/../../shared/corpus}")
sorties=${4:-$(mktemp -d)}
# L'ordre des attributs d'un élément suit leur table de hachage : la même graine des deux côtés.
export QT_HASH_SEED=0

sortir() {
  local outil=$1 destination=$2
  (cd "$corpus" && find . -type f \( -name '*.xml' -o -name '*.rss' -o -name '*.rdf' -o -name '*.atom' \) -print0 |
    xargs -0 -P2 -I{} bash -c '
      f=$1; o=$2/$f; mkdir -p "$(dirname "$o")"
      for c in analyser arbre; do
        timeout 60 "$3" "$c" "$f" >"$o.$c" 2>/dev/null && code=0 || code=$?
        echo "code $code" >>"$o.$c"
      done' _ {} "$destination" "$outil")
}

sortir "$avant" "$sorties/avant"
sortir "$apres" "$sorties/apres"
for c in analyser arbre; do
  total=0 differents=0
  while IFS= read -r -d '' f; do
    total=$((total + 1))
    if ! cmp -s "$sorties/avant/$f" "$sorties/apres/$f"; then
      differents=$((differents + 1))
      echo "  $c : ${f#./}"
    fi
  done < <(cd "$sorties/avant" && find . -name "*.$c" -print0)
  echo "$c : $differents sur $total différent(s)"
done
echo "Sorties gardées dans $sorties"
