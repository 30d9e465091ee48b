#!/usr/bin/env bash
# Sets up what is missing, builds, and opens the window. Without a display it
# converts the bundled example contour instead; with arguments it runs the
# converter on them (see build/bogenkette-cli --help).
set -euo pipefail
cd "$(dirname "$0")"
tools/pakete.sh
tools/bauen.sh
if [ $# -eq 0 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bogenkette
fi
if [ $# -eq 0 ]; then
  echo "Keine grafische Anzeige (DISPLAY und WAYLAND_DISPLAY sind leer): das Fenster kann nicht geöffnet werden."
  echo "Stattdessen setzt der Konverter das Beispiel examples/kontur.spl um."
fi
exec build/bogenkette-cli "${@:-examples/kontur.spl}"
