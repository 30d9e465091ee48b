#!/usr/bin/env bash
# Checks that the folders include only downhill, along the flow of data:
#   common < input < geometry < report, nc, sketch < run < app, cli
# An output may use another output (the NC program writes its file through the
# report's file class); bench/ and fuzz/ stand beside the programs and, like
# cli/, include nothing from app/. Prints every include that runs uphill.
set -euo pipefail
cd "$(dirname "$0")/.."

stufe() {
  case "$1" in
    common) echo 0 ;;
    input) echo 1 ;;
    geometry) echo 2 ;;
    report | nc | sketch) echo 3 ;;
    run) echo 4 ;;
    app | cli | bench | fuzz) echo 5 ;;
    *) echo "" ;;
  esac
}

fehler=0
for ordner in common input geometry report nc sketch run app cli bench fuzz; do
  [ -d "$ordner" ] || continue
  eigene=$(stufe "$ordner")
  while IFS=: read -r datei _ zeile; do
    ziel=$(sed -E 's/^#include "([a-z]+)\/.*/\1/' <<<"$zeile")
    [ "$ziel" = "$zeile" ] && continue  # an include from the same folder
    stufeZiel=$(stufe "$ziel")
    [ -n "$stufeZiel" ] || continue
    if [ "$stufeZiel" -gt "$eigene" ] || { [ "$ziel" = app ] && [ "$ordner" != app ]; }; then
      echo "$datei: $zeile (von $ordner nach $ziel)"
      fehler=1
    fi
  done < <(grep -Hn '^#include "' "$ordner"/*.h "$ordner"/*.cpp 2>/dev/null || true)
done
[ "$fehler" -eq 0 ] && echo "Alle Includes laufen abwärts."
exit "$fehler"
