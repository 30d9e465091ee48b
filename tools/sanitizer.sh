#!/usr/bin/env bash
# Builds the project and all its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (and the standard library's bounds checks) in
# build-san/ and runs every test there. Any invalid memory access, leak, index
# outside an array or undefined arithmetic fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/pakete.sh

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
flags+=" -D_GLIBCXX_ASSERTIONS"
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-san -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-san && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"

# The report is written, a large point file read and the shortest path fitted on
# threads of their own:
# those tests and whole runs once more with ThreadSanitizer, which fails on any
# data race.
cd ..
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DBOGENKETTE_WINDOW=OFF >/dev/null
cmake --build build-tsan -j"$(nproc)"
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/kern_tests --gtest_filter='Schreibfaden.*:Punktdatei.*:Faelle.*:Eigenschaften.*:NcProgramme.TestdatenUndBeispielImLauf:KuerzesteBahn.LangeKonturHaeltDieGarantie'
