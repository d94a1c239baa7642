#!/usr/bin/env bash
# Builds pendcal and shows the example reminder file for a window around today.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh run
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPENDRA_TESTS=OFF -DPENDRA_BENCH=OFF -DPENDRA_GUI=OFF >/dev/null
cmake --build build/run --target pendcal >/dev/null
cd examples && ../build/run/engine/pendcal -b 3 -a 14 -f pendra.pnd
