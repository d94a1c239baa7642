#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer (any report fails it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== sanitizer build"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPENDRA_SANITIZE=ON \
  -DPENDRA_BENCH=OFF >/dev/null
cmake --build build/asan
(cd build/asan && ctest --output-on-failure -j2 --timeout 300)

echo "== fuzzing"
bash tools/fuzz.sh

if [ -f tools/build-windows.sh ]; then
  echo "== windows cross build"
  bash tools/build-windows.sh
fi

echo "== release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release
(cd build/release && ctest --output-on-failure -j2 --timeout 300)

echo "== windows build under wine"
bash tools/test-wine.sh
