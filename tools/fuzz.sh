#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer in build/fuzz; replays the corpus as a
# regression test; then fuzzes the three harnesses at the same time for
# FUZZ_SECONDS (60) each. Any finding fails the run and is left in
# build/fuzz/findings; add it to the corpus with its fix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=build/fuzz
corpus=tests/fuzz/corpus
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Asserts stay on: they are part of what a finding is.
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
  -DPENDRA_SANITIZE=ON -DPENDRA_BENCH=OFF -DPENDRA_GUI=OFF "${launcher[@]}" >/dev/null
harnesses=(reminders_fuzzer scan_index_fuzzer scheme_fuzzer)
cmake --build "$build" --target "${harnesses[@]}"

# Which seeds each harness starts from.
seeds() {
  case $1 in
    scheme_fuzzer) echo "$corpus/scheme" ;;
    *) echo "$corpus/reminders" ;;
  esac
}
options=(-timeout=5 -rss_limit_mb=2048 -dict=tests/fuzz/pendra.dict)

echo "== replaying the corpus"
for h in "${harnesses[@]}"; do
  "$build/tests/fuzz/$h" "${options[@]}" -runs=0 "$(seeds "$h")" 2>"$build/$h.replay.log" ||
    { tail -n 40 "$build/$h.replay.log"; echo "$h: corpus replay failed"; exit 1; }
done

echo "== fuzzing each harness for $seconds s"
rm -rf "$build/work" "$build/findings"
mkdir -p "$build/findings"
pids=()
for h in "${harnesses[@]}"; do
  mkdir -p "$build/work/$h"
  "$build/tests/fuzz/$h" "${options[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$build/findings/$h-" "$build/work/$h" "$(seeds "$h")" \
    >"$build/$h.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!harnesses[@]}"; do
  if ! wait "${pids[$i]}"; then
    h=${harnesses[$i]}
    tail -n 40 "$build/$h.log"
    echo "$h: finding in $build/findings"
    failed=1
  fi
done
exit $failed
