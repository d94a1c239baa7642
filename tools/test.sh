#!/usr/bin/env bash
# Builds and tests everything, one line per stage; a stage's full output
# (kept in build/logs/) is shown only when it fails.
#   a build with AddressSanitizer and UndefinedBehaviorSanitizer (any report
#   fails it), a release build with the Debian package, the Windows cross
#   build with its ZIP, and the fuzzing and Wine stages when present.
# Usage: tools/test.sh [--bench]   (--bench also builds the benchmarks)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/stage.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bench=OFF
[ "${1:-}" = --bench ] && bench=ON
# A compiler cache, when installed, makes a second run much faster.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
ctest_run() { (cd "$1" && ctest --output-on-failure -j2 --timeout 300); }
started=$SECONDS

stage "packages" bash tools/install-deps.sh test
# Line tables (-g1) are all a sanitizer report needs, and compile faster.
stage "sanitizer configure" cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DPENDRA_SANITIZE=ON -DPENDRA_GUI=ON -DPENDRA_TESTS=ON \
  -DPENDRA_BENCH=OFF "${launcher[@]}"
stage "sanitizer build" cmake --build build/asan
# The sanitizer tests end on a few long ones that leave a core idle: the
# Windows build fills it.
stage_start "windows build" bash tools/build-windows.sh
stage "sanitizer tests" ctest_run build/asan
stage_wait "windows build"
stage "release configure" cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DPENDRA_GUI=ON -DPENDRA_TESTS=ON \
  -DPENDRA_BENCH=$bench "${launcher[@]}"
stage "release build" cmake --build build/release
stage "release tests" ctest_run build/release
if [ -f tools/fuzz.sh ]; then stage "fuzz" bash tools/fuzz.sh; fi
if [ -f tools/test-wine.sh ]; then stage "wine" bash tools/test-wine.sh; fi

echo "all stages passed in $((SECONDS - started))s"
echo "tests: ${tests_run:-0} passed, 0 failed"
