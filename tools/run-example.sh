#!/usr/bin/env bash
# Builds pendcal and shows the example reminder file for a window around today.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/stage.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

stage "packages" bash tools/install-deps.sh run
stage "configure build/run" cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release \
  "${launcher[@]}" -DPENDRA_TESTS=OFF -DPENDRA_BENCH=OFF -DPENDRA_GUI=OFF
stage "build pendcal" cmake --build build/run --target pendcal
echo "build/run/engine/pendcal -b 3 -a 14 -f examples/pendra.pnd:"
echo
cd examples && ../build/run/engine/pendcal -b 3 -a 14 -f pendra.pnd
