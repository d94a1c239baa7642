#!/usr/bin/env bash
# Configures the source tree as a machine without Qt, GoogleTest and Google
# Benchmark would: each part is skipped with one status line naming its
# Debian package, and asking for one explicitly fails.
# Usage: check-parts.sh SOURCE_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
missing=(-DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
         -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
cmake -S "$1" -B "$work/b" -G Ninja "${missing[@]}" >"$work/log" 2>&1 ||
  { cat "$work/log"; echo "configuring with nothing optional failed"; exit 1; }
status=0
for line in "the pendra dialog: Qt6 not found (Debian package: qt6-base-dev;" \
            "the tests: GTest not found (Debian package: libgtest-dev;" \
            "the benchmarks: benchmark not found (Debian package: libbenchmark-dev;"; do
  [ "$(grep -cF -- "-- Not building $line" "$work/log")" = 1 ] ||
    { echo "no single status line: Not building $line"; status=1; }
done
if grep -q 'Could NOT find' "$work/log"; then echo "noisy configure:"; cat "$work/log"; status=1; fi
for part in GUI TESTS BENCH; do
  if cmake -S "$1" -B "$work/b" "${missing[@]}" -DPENDRA_GUI=AUTO -DPENDRA_TESTS=AUTO \
    -DPENDRA_BENCH=AUTO "-DPENDRA_$part=ON" >"$work/on.log" 2>&1; then
    echo "-DPENDRA_$part=ON configured without its package"; status=1
  fi
done
exit $status
