#!/usr/bin/env bash
# Checks that the folders include only downhill, along the flow of data:
#   common < input < geometry < output < report, nc, sketch, cad < run < app, cli
# output/ holds the file writer that every output writes through; the outputs
# themselves (report, nc, sketch, cad) stand side by side and none includes another.
# bench/ and fuzz/ stand beside the programs and, like cli/, include nothing from
# app/. Prints every include that runs uphill or sideways.
set -euo pipefail
cd "$(dirname "$0")/.."

stufe() {
  case "$1" in
    common) echo 0 ;;
    input) echo 1 ;;
    geometry) echo 2 ;;
    output) echo 3 ;;
    report | nc | sketch | cad) echo 4 ;;
    run) echo 5 ;;
    app | cli | bench | fuzz) echo 6 ;;
    *) echo "" ;;
  esac
}

# The folders that each make one output of a run from the arc chain.
ausgabeordner() { [[ "$1" =~ ^(report|nc|sketch|cad)$ ]]; }

fehler=0
for ordner in common input geometry output report nc sketch cad run app cli bench fuzz; do
  [ -d "$ordner" ] || continue
  eigene=$(stufe "$ordner")
  while IFS=: read -r datei _ zeile; do
    ziel=$(sed -E 's/^#include "([a-z]+)\/.*/\1/' <<<"$zeile")
    [ "$ziel" = "$zeile" ] && continue  # an include without a folder
    [ "$ziel" = "$ordner" ] && continue  # from its own folder
    stufeZiel=$(stufe "$ziel")
    [ -n "$stufeZiel" ] || continue
    if [ "$stufeZiel" -gt "$eigene" ] || { [ "$ziel" = app ] && [ "$ordner" != app ]; } \
      || { ausgabeordner "$ordner" && ausgabeordner "$ziel"; }; then
      echo "$datei: $zeile (von $ordner nach $ziel)"
      fehler=1
    fi
  done < <(grep -Hn '^#include "' "$ordner"/*.h "$ordner"/*.cpp 2>/dev/null || true)
done
[ "$fehler" -eq 0 ] && echo "Alle Includes laufen abwärts."
exit "$fehler"
