#!/usr/bin/env bash
# Checks the Debian package with lintian (no error, no warning), installs it into
# a fresh, minimal Debian 12 root with apt-get, as a user would, and tries it
# there: the converter's help, the example contour converted into a report byte
# for byte like the build's converter, and read from a DXF drawing into a drawing
# of its path, both manual pages shown by man, desktop entry and icon in place,
# every library found, the window program starting.
#
# Usage: tools/paket-pruefen.sh [PAKET.deb]
#   Without an argument the package is built first (cmake --build build --target
#   package). Needs root for chroot and mounts; sudo is used when available.
#
# The base root (debootstrap --variant=minbase bookworm) is made once and kept in
# /var/tmp/bogenkette-paketwurzel (PAKET_CACHE=DIR to move it), together with the
# packages apt fetched; every run installs into a new copy of it.
set -euo pipefail
beginn=$SECONDS
deb=${1:+$(realpath "$1")}
cd "$(dirname "$0")/.."
projekt=$PWD

# Package and reference converter, built as the calling user.
if [ -z "$deb" ]; then
  tools/pakete.sh
  [ -f build/CMakeCache.txt ] || tools/bauen.sh >/dev/null
  if ! ausgabe=$(cmake -S . -B build 2>&1 && cmake --build build --target package -j"$(nproc)" 2>&1); then
    echo "$ausgabe"
    echo "Das Paket ließ sich nicht bauen."
    exit 1
  fi
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build/CMakeCache.txt)
  deb=$projekt/build/bogenkette_${version}_amd64.deb
  echo "Paket gebaut in $((SECONDS - beginn)) s."
fi
[ -f "$deb" ] || { echo "Paket $deb fehlt."; exit 1; }
[ -x build/bogenkette-cli ] || tools/bauen.sh >/dev/null

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    exec sudo "$0" "$deb"
  fi
  echo "tools/paket-pruefen.sh braucht root (chroot, mount), und sudo gibt es hier nicht."
  exit 1
fi

echo "Prüfe $deb mit lintian und in einer frischen Debian-12-Wurzel."
tools/pakete.sh paket

cache=${PAKET_CACHE:-/var/tmp/bogenkette-paketwurzel}
basis=$cache/basis
archiv=$cache/archiv
log=$cache/letzter-lauf.log
mkdir -p "$cache" "$archiv"
: >"$log"

# One step: its output goes to the log, its time to the screen. A failing command
# ends the script (set -e); the exit shows the end of the log.
schritt() {
  local text=$1 t=$SECONDS
  shift
  printf '  %-62s' "$text"
  "$@" >>"$log" 2>&1
  echo "$((SECONDS - t)) s"
}

wurzel=""
vergleich=$(mktemp -d)
wurzel_entfernen() {
  [ -n "$wurzel" ] || return 0
  local m
  for m in "$wurzel/dev" "$wurzel/proc" "$wurzel"; do
    if mountpoint -q "$m"; then umount "$m" 2>/dev/null || umount -l "$m"; fi
  done
  if grep -qE " $wurzel[/ ]" /proc/mounts; then
    echo "Noch eingehängt unter $wurzel; die Wurzel bleibt stehen."
    return 1
  fi
  rm -rf --one-file-system "$wurzel"
  wurzel=""
}
aufraeumen() {
  local status=$?
  if [ "$status" -ne 0 ]; then
    echo "FEHLER"
    echo "--- Ende von $log:"
    tail -n 25 "$log"
  fi
  rm -rf "$vergleich"
  wurzel_entfernen
}
trap aufraeumen EXIT
trap 'exit 130' INT TERM HUP

# lintian's tags go to the screen; an error (E) or a warning (W) fails the check.
lintian_pruefen() {
  local text
  text=$(lintian --pedantic "$deb" 2>&1 | grep -v '^running with root privileges' || true)
  echo "$text"
  ! grep -qE '^[EW]: ' <<<"$text"
}
schritt "lintian: kein Fehler, keine Warnung" lintian_pruefen
grep -E '^[EWIP]: ' "$log" | sed 's/^/    /' || true

if [ ! -x "$basis/bin/bash" ]; then
  rm -rf --one-file-system "$basis.neu"
  schritt "Grundwurzel anlegen (debootstrap, einmalig)" \
    debootstrap --variant=minbase bookworm "$basis.neu"
  find "$basis.neu/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -delete
  mv "$basis.neu" "$basis"
else
  echo "  Grundwurzel aus $basis"
fi

# The working root lives in memory (some 600 MB once installed): quick to fill,
# gone with one umount.
wurzel=$(mktemp -d "$cache/wurzel.XXXX")
kopieren() {
  mount -t tmpfs -o size=3g,mode=0755 tmpfs "$wurzel"
  cp -a "$basis/." "$wurzel/"
  cp /etc/resolv.conf "$wurzel/etc/resolv.conf"
  # No service is to start inside the root, and the throwaway root needs no sync
  # after every file dpkg writes.
  printf '#!/bin/sh\nexit 101\n' >"$wurzel/usr/sbin/policy-rc.d"
  chmod +x "$wurzel/usr/sbin/policy-rc.d"
  echo force-unsafe-io >"$wurzel/etc/dpkg/dpkg.cfg.d/unsicher-schnell"
  find "$archiv" -maxdepth 1 -name '*.deb' -exec cp -t "$wurzel/var/cache/apt/archives/" {} +
  cp "$deb" "$wurzel/root/"
  cp examples/kontur.spl "$wurzel/root/"
  mount -t proc proc "$wurzel/proc"
  mount --bind /dev "$wurzel/dev"
}
schritt "Wurzel kopieren" kopieren

drinnen() {
  chroot "$wurzel" /usr/bin/env -i HOME=/root TERM=dumb DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root && $1"
}
schritt "apt-get update" drinnen "apt-get update -q"
schritt "apt-get install ./$(basename "$deb") man-db" \
  drinnen "apt-get install -y -q ./$(basename "$deb") man-db"
# Keep what apt fetched for the next run, without what the archive no longer has.
behalten() {
  drinnen "apt-get autoclean -q"
  find "$archiv" -maxdepth 1 -name '*.deb' -delete
  find "$wurzel/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -t "$archiv/" {} +
}
schritt "Geladene Pakete aufheben" behalten

# The converter: help, and the example's report as the build's converter makes it
# (both without regional settings, so both write German numbers).
hilfe() {
  local text
  text=$(drinnen "bogenkette-cli --help")
  echo "$text"
  [[ $text == "Aufruf: bogenkette-cli "* ]]
}
schritt "bogenkette-cli --help" hilfe
umsetzen() {
  drinnen "bogenkette-cli kontur.spl"
  cp examples/kontur.spl "$vergleich/"
  (cd "$vergleich" && env -i "$projekt/build/bogenkette-cli" kontur.spl)
  cmp "$wurzel/root/kontur.TXT" "$vergleich/kontur.TXT"
}
schritt "kontur.spl umsetzen, Bericht wie vom gebauten Konverter" umsetzen
# dxflib as the package brings it: the example's drawing read back into the same
# report.
dxf() {
  drinnen "bogenkette-cli --dxf kontur.dxf -o kontur2.TXT kontur.spl && bogenkette-cli -o kontur3.TXT kontur.dxf"
  cmp "$wurzel/root/kontur3.TXT" "$vergleich/kontur.TXT"
}
schritt "DXF-Zeichnung schreiben und wieder einlesen" dxf

# Everything else the package brings, and what the programs need to run.
dateien() {
  drinnen 'set -e
    test -x /usr/bin/bogenkette && test -x /usr/bin/bogenkette-cli
    zcat /usr/share/man/man1/bogenkette-cli.1.gz | grep -q "^\.TH BOGENKETTE-CLI 1 "
    man bogenkette-cli | grep -q "DXF-ZEICHNUNG"
    man bogenkette | grep -q "Konvertierergebnis  speichern"
    test -f /usr/share/doc/bogenkette/copyright && test -f /usr/share/doc/bogenkette/changelog.gz
    grep -qx "Exec=bogenkette" /usr/share/applications/bogenkette.desktop
    grep -qx "Icon=bogenkette" /usr/share/applications/bogenkette.desktop
    head -n 1 /usr/share/pixmaps/bogenkette.xpm | grep -q XPM
    test -f /usr/share/doc/bogenkette/README.md
    test -f /usr/share/doc/bogenkette/examples/kontur.spl
    test -f /usr/share/wine/fonts/tahoma.ttf
    test -f /usr/share/qt6/translations/qtbase_de.qm
    ! ldd /usr/bin/bogenkette /usr/bin/bogenkette-cli | grep "not found"'
}
schritt "man-Seiten, Desktop-Eintrag, Symbol, Schrift, Bibliotheken" dateien
# The window program runs until it is ended; still running after 3 s is a start.
fenster() {
  local status=0
  drinnen "QT_QPA_PLATFORM=offscreen timeout 3 bogenkette" || status=$?
  [ "$status" -eq 124 ]
}
schritt "bogenkette startet (ohne Anzeige, 3 s)" fenster

schritt "Wurzel entfernen" wurzel_entfernen
echo "Paket geprüft in $((SECONDS - beginn)) s."
