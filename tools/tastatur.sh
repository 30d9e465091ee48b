#!/usr/bin/env bash
# Works the window by keyboard alone on a private virtual display and takes a
# screenshot of each stage: Tab through the controls (focus frames of the picture
# and the scroll bar), the scroll bar's keys, Return and Enter on the buttons, a
# named pipe as point file (refused at once), and a report that exists already
# (answered Nein, then Ja; it keeps its permissions 640).
#
# Usage: tools/tastatur.sh [OUTDIR [VAR=VALUE ...]]
#   OUTDIR     screenshots and the program's output (default /tmp/fenster-tastatur)
#   VAR=VALUE  set for the program, e.g. QT_SCALE_FACTOR=2
# Needs Debian's xvfb, xdotool, x11-utils and imagemagick; build/bogenkette built.
set -euo pipefail
cd "$(dirname "$0")/.."
APP=$PWD/build/bogenkette
OUT=${1:-/tmp/fenster-tastatur}
shift || true
for t in Xvfb xdotool xwininfo xwd import; do
  command -v "$t" >/dev/null || { echo "$t fehlt (apt-get install xvfb xdotool x11-utils imagemagick)"; exit 2; }
done
[ -x "$APP" ] || { echo "$APP fehlt: erst tools/bauen.sh"; exit 2; }
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
rm -f "$OUT"/*.png "$OUT"/programm.log

ARBEIT=$(mktemp -d -t tastatur.XXXXXX)
XPID='' APID=''
aufraeumen() {
  set +e
  [ -n "$APID" ] && kill "$APID" 2>/dev/null && wait "$APID" 2>/dev/null
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null
  rm -rf "$ARBEIT"
}
trap aufraeumen EXIT

cp examples/kontur.spl "$ARBEIT/"
printf 'alter Bericht\r\n' >"$ARBEIT/kontur.TXT"
chmod 640 "$ARBEIT/kontur.TXT"
mkfifo "$ARBEIT/rohr.spl"
mkdir -m 700 "$ARBEIT/laufzeit"

Xvfb -displayfd 3 -screen 0 1600x1000x24 -dpi 96 -nolisten tcp 3>"$ARBEIT/anzeige" 2>/dev/null &
XPID=$!
for _ in $(seq 100); do [ -s "$ARBEIT/anzeige" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -dc '0-9' <"$ARBEIT/anzeige")
env -u QT_SCALE_FACTOR -u QT_FONT_DPI -u QT_QPA_PLATFORMTHEME -u WAYLAND_DISPLAY \
  QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$ARBEIT/laufzeit" XDG_CONFIG_HOME="$ARBEIT" "$@" \
  "$APP" >"$OUT/programm.log" 2>&1 &
APID=$!

WURZEL=$(($(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')))
# Top-level windows other than the main window that are no popups: dialogs, message boxes.
fenster() {
  local w
  for w in $(xdotool search --maxdepth 1 --onlyvisible --name '' 2>/dev/null); do
    [ "$w" = "${HAUPT:-}" ] || [ "$w" = "$WURZEL" ] && continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Width: [1-9]' && echo "$w"
  done
}
popups() {
  local w
  for w in $(xdotool search --maxdepth 1 --onlyvisible --name '' 2>/dev/null); do
    [ "$w" = "$WURZEL" ] && continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w"
  done
}
ruhe() { # until the screen stops changing
  local vorher='' jetzt
  sleep 0.2
  for _ in $(seq 15); do
    jetzt=$(xwd -root -silent | md5sum)
    [ "$jetzt" = "$vorher" ] && return 0
    vorher=$jetzt
    sleep 0.2
  done
}
bild() { ruhe; import -window "${2:-$HAUPT}" "$OUT/$1"; echo "  -> $1"; }
taste() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
# Without a window manager nobody moves the focus to a new box or back when it has gone.
zurueck() { ruhe; timeout 5 xdotool windowfocus --sync "$HAUPT" 2>/dev/null || true; }
antworten() { # presses a key in the box DLG
  timeout 5 xdotool windowfocus --sync "$DLG" 2>/dev/null || true
  taste "$1"
  zurueck
}
warte_fenster() {
  for _ in $(seq 100); do
    DLG=$(fenster | head -n1)
    [ -n "$DLG" ] && return 0
    sleep 0.1
  done
  echo "FEHLER: kein Dialog erschienen"; bild fehler.png root; exit 1
}
# Types a path into the open file dialog and confirms it with Return.
eintippen() {
  timeout 5 xdotool windowfocus --sync "$DLG" 2>/dev/null || true
  ruhe
  taste ctrl+a
  xdotool type --delay 20 -- "$1"
  ruhe
  [ -n "$(popups)" ] && taste Escape # the completer list
  [ -n "${2:-}" ] && bild "$2" root
  taste Return
  zurueck
}

HAUPT=''
for _ in $(seq 100); do
  HAUPT=$(timeout 2 xdotool search --maxdepth 1 --onlyvisible --name '^Berechnung von Bogen' 2>/dev/null | head -n1 || true)
  [ -n "$HAUPT" ] && break
  sleep 0.1
done
[ -n "$HAUPT" ] || { echo "FEHLER: das Fenster erschien nicht"; exit 1; }
timeout 5 xdotool windowfocus --sync "$HAUPT" 2>/dev/null || true
echo "Fenster $HAUPT, $*"
bild 1-start.png

echo "Tab (Command2 und Command3 sind noch verborgen): Picture1, dann HScroll1"
taste Tab
bild 2-tab-picture1.png
taste Tab
bild 3-tab-hscroll1.png
echo "Right Right PageUp (0,08), dann PageDown Left (0,06)"
taste Right Right Prior
bild 4-rechts-rechts-bildauf.png
taste Next Left
bild 5-bildab-links.png

echo "Tab zu Command1, Return: eine Pipe als Punktdatei"
taste Tab
taste Return
warte_fenster
eintippen "$ARBEIT/rohr.spl" 6a-dialog-pipe.png
warte_fenster # the message box; a window waiting on the pipe would show none
bild 6-pipe-meldung.png root
antworten Return

echo "Return auf Command1: kontur.spl; Tab, Enter auf Command2: kontur.spl (kontur.TXT gibt es)"
taste Return
warte_fenster
eintippen "$ARBEIT/kontur.spl" 7a-dialog-punktdatei.png
bild 7-punktdatei.png
taste Tab
taste KP_Enter
warte_fenster
eintippen "$ARBEIT/kontur.spl" 8a-dialog-bericht.png
bild 8-bericht.png

echo "Tab, Return auf Command3: die Frage, mit Nein beantwortet"
taste Tab
taste Return
warte_fenster
bild 9-frage.png root
antworten alt+n
bild 10-nach-nein.png
bericht="$(stat -c %a "$ARBEIT/kontur.TXT") $(head -c 13 "$ARBEIT/kontur.TXT")"
echo "  kontur.TXT: $bericht"
[ "$bericht" = "640 alter Bericht" ] || { echo "FEHLER: der Bericht wurde ersetzt"; exit 1; }

echo "Return auf Command3: die Frage, mit Ja beantwortet"
taste Return
warte_fenster
antworten alt+j
for _ in $(seq 100); do
  grep -q Fehlergrenze "$ARBEIT/kontur.TXT" 2>/dev/null && break
  sleep 0.1
done
bild 11-nach-ja.png
bericht="$(stat -c %a "$ARBEIT/kontur.TXT")$(grep -a Fehlergrenze "$ARBEIT/kontur.TXT" | iconv -f cp1252 | tr -d '\r')"
echo "  kontur.TXT: $bericht"
[ "$bericht" = "640 Berechnung für Fehlergrenze:  0,06 " ] || { echo "FEHLER: kein neuer Bericht mit 640 und 0,06"; exit 1; }
echo "Bilder in $OUT"
