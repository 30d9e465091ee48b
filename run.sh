#!/usr/bin/env bash
# Sets up what is missing, builds, and converts the bundled example contour.
set -euo pipefail
cd "$(dirname "$0")"
tools/pakete.sh
tools/bauen.sh
build/bogenkette-cli "${@:-examples/kontur.spl}"
