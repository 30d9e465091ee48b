#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: tools/pakete.sh [fenster|fuzz|bench|paket|nc|dxf] ...  (the build set always)
# nc: LinuxCNC's G-code interpreter rs274, which the tests run the DIN programs through.
# dxf: ezdxf, which the tests read the DXF drawings with and write drawings for them.
# paket: what tools/paket-pruefen.sh needs (debootstrap, lintian).
set -euo pipefail

# dpkg-dev (dpkg-shlibdeps, dpkg-buildflags) and file: the Debian package (--target package).
pakete=(g++ cmake make pkg-config qt6-base-dev qt6-translations-l10n libgl-dev libgtest-dev libgmock-dev
  fonts-wine libdxflib-dev dpkg-dev file)
for extra in "$@"; do
  case "$extra" in
    fenster) pakete+=(xvfb xauth) ;;
    fuzz) pakete+=(clang libclang-rt-14-dev) ;;
    bench) pakete+=(libbenchmark-dev) ;;
    paket) pakete+=(debootstrap lintian) ;;
    nc) pakete+=(linuxcnc-uspace) ;;
    dxf) pakete+=(python3-ezdxf) ;;
  esac
done

fehlend=()
for p in "${pakete[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || fehlend+=("$p")
done
[ ${#fehlend[@]} -eq 0 ] && exit 0

als_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Es fehlen Debian-Pakete (${fehlend[*]}), und ohne root-Rechte und ohne sudo kann" \
      "dieses Skript sie nicht installieren: bitte als root" \
      "\"apt-get install --no-install-recommends ${fehlend[*]}\" ausführen und es dann erneut versuchen." >&2
    exit 1
  fi
  als_root=(sudo)
fi
echo "Installiere mit apt-get: ${fehlend[*]}"
echo "(Das dauert beim ersten Mal einige Minuten.)"
export DEBIAN_FRONTEND=noninteractive
"${als_root[@]}" apt-get update -qq
"${als_root[@]}" apt-get install -y -qq --no-install-recommends "${fehlend[@]}" >/dev/null
echo "Installiert: ${fehlend[*]}"
