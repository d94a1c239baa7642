#!/usr/bin/env bash
# Cross-compiles pendcal.exe and pendra.exe for 64-bit Windows with
# mingw-w64 into build/windows (both land in build/windows/engine).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPENDRA_TESTS=OFF -DPENDRA_BENCH=OFF >/dev/null
cmake --build build/windows --target pendcal pendra -- -j2
for exe in pendcal pendra; do
  file="build/windows/engine/$exe.exe"
  [ -f "$file" ] || { echo "missing $file" >&2; exit 1; }
  echo "built $file"
done
