#!/usr/bin/env bash
# Cross-compiles pendcal.exe and pendra.exe for 64-bit Windows with
# mingw-w64 into build/windows (both land in build/windows/engine), and
# packs them with the documents and the examples into
# build/windows/pendra-VERSION-windows-x86_64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DPENDRA_TESTS=OFF -DPENDRA_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/windows --target pendcal pendra
for exe in pendcal pendra; do
  file="build/windows/engine/$exe.exe"
  [ -f "$file" ] || { echo "missing $file" >&2; exit 1; }
  echo "built $file"
done
(cd build/windows && cpack -G ZIP -B . >/dev/null)
zip=(build/windows/pendra-*-windows-x86_64.zip)
listing=$(cmake -E tar tf "${zip[0]}")
for f in pendcal.exe pendra.exe README.md LICENSE THIRD-PARTY-NOTICES.txt docs/command-line.md \
  examples/pendra.pnd; do
  grep -qxF "$f" <<<"$listing" || { echo "$f is not in ${zip[0]}" >&2; exit 1; }
done
echo "packed ${zip[0]}"
