#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build-fuzz/ and runs them one after the other, each for a bounded
# time, on one core.
#
#   fuzz/laufen.sh [SEKUNDEN_JE_ZIEL] [ZIEL ...]     (default: 60 s, both targets)
#
# The seeds are the point files of tests/data; what the fuzzer finds on top is kept
# in build-fuzz/korpus/ZIEL and used again by the next run. An input that breaks a
# rule or crashes is saved as build-fuzz/funde/ZIEL-crash-... and the script fails;
# run the target on that file to see the finding again.
set -euo pipefail
cd "$(dirname "$0")/.."

sekunden=${1:-60}
shift || true
ziele=("$@")
[ ${#ziele[@]} -gt 0 ] || ziele=(punktdatei_fuzz kette_fuzz)

tools/pakete.sh fuzz
cxx=$(command -v clang++-14 || command -v clang++)
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined"
flags+=" -fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DBOGENKETTE_FUZZ=ON -DBOGENKETTE_TESTS=OFF \
  -DBOGENKETTE_WINDOW=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${ziele[@]}"

saat=build-fuzz/saat
mkdir -p "$saat" build-fuzz/funde
cp tests/data/*.spl "$saat"/

for ziel in "${ziele[@]}"; do
  korpus=build-fuzz/korpus/$ziel
  mkdir -p "$korpus"
  # The reader also sees lines longer than the longest it accepts.
  laenge=4096
  [ "$ziel" = punktdatei_fuzz ] && laenge=12000
  echo "== $ziel: $sekunden s"
  set +e
  ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$ziel" "$korpus" "$saat" \
    -max_total_time="$sekunden" -max_len="$laenge" -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/funde/$ziel-" -print_final_stats=1 2>&1 |
    grep --line-buffered -v -E '^#[0-9]+.*(NEW|REDUCE|pulse)'
  status=${PIPESTATUS[0]}
  set -e
  [ "$status" -eq 0 ] || { echo "$ziel: Fund in build-fuzz/funde/" >&2; exit 1; }
done
