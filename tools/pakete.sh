#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: tools/pakete.sh [fenster|fuzz|bench|paket|nc] ...  (the build and test set always)
# nc: LinuxCNC's G-code interpreter rs274, which the tests run the DIN programs through.
set -euo pipefail

# dpkg-dev (dpkg-shlibdeps) and file: the Debian package (--target package).
pakete=(g++ cmake make pkg-config qt6-base-dev qt6-translations-l10n libgl-dev libgtest-dev libgmock-dev fonts-wine
  dpkg-dev file)
for extra in "$@"; do
  case "$extra" in
    fenster) pakete+=(xvfb xauth) ;;
    fuzz) pakete+=(clang libclang-rt-14-dev) ;;
    bench) pakete+=(libbenchmark-dev) ;;
    paket) pakete+=(debootstrap) ;;  # the fresh root of tools/paket-pruefen.sh
    nc) pakete+=(linuxcnc-uspace) ;;
  esac
done

fehlend=()
for p in "${pakete[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || fehlend+=("$p")
done
[ ${#fehlend[@]} -eq 0 ] && exit 0

als_root=()
[ "$(id -u)" -eq 0 ] || als_root=(sudo)
echo "Installiere: ${fehlend[*]}"
export DEBIAN_FRONTEND=noninteractive
"${als_root[@]}" apt-get update -qq
"${als_root[@]}" apt-get install -y -qq --no-install-recommends "${fehlend[@]}" >/dev/null
