#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/pakete.sh nc dxf  # nc: LinuxCNC's rs274, which reads the DIN programs back; dxf: ezdxf
tools/bauen.sh
cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
