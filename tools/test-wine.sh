#!/usr/bin/env bash
# Runs the Windows build under Wine in a private prefix: pendcal.exe through
# the black-box pendcal tests, then pendra.exe once under Xvfb, which must
# fill its list from pendcal.exe and exit when closed, then pendra.exe --tray
# with the tray probe. Prints the time of each step. Needs wine64, xvfb and
# xdotool (tools/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$root/build/wine
export WINELOADER=/usr/lib/wine/wine64
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer
wineserver=/usr/lib/wine/wineserver
smoke_text="Smoke line from pendcal.exe: Café"

# The pendra smoke test, run inside xvfb-run. pendra starts from a folder
# with a Cyrillic name, with a profile folder of another, whose reminder file
# names every day in UTF-8 text; its window is 7 days before and 14 after
# today, so 22 lines, one of them today's.
smoke() {
  local profile=$work/smoke-Иван
  rm -rf "$profile" && mkdir -p "$profile"
  echo "remind [$smoke_text]." >"$profile/pendra.pnd"
  PENDCAL_USERPROFILE=$profile "$WINELOADER" "$work/profile_launcher.exe" \
    "$work/папка/pendra.exe" &
  local pendra=$!
  if ! timeout 60 xdotool search --sync --onlyvisible --name Pendra >/dev/null; then
    echo "pendra showed no window" >&2
    kill "$pendra" 2>/dev/null || true
    return 1
  fi
  local status=0
  timeout 90 "$WINELOADER" "$work/list_probe.exe" 60 "$smoke_text" | tr -d '\r' \
    >"$work/smoke-list.txt" || status=$?
  local lines today
  lines=$(grep -c -F "$smoke_text" "$work/smoke-list.txt" || true)
  today=$(grep -c -F "  ---today---  : $smoke_text" "$work/smoke-list.txt" || true)
  echo "pendra list: $lines lines, $today for today"
  if [ "$status" != 0 ] || [ "$lines" != 22 ] || [ "$today" != 1 ]; then
    echo "pendra's list is not the expected one:" >&2
    cat "$work/smoke-list.txt" >&2
    kill "$pendra" 2>/dev/null || true
    return 1
  fi
  # The probe has closed the window: pendra must end on its own.
  for _ in $(seq 100); do
    kill -0 "$pendra" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pendra" 2>/dev/null; then
    echo "pendra is still running after its window was closed" >&2
    kill "$pendra"
    return 1
  fi
  wait "$pendra"
  echo "pendra closed"
}
# The tray, run inside xvfb-run: tray_probe makes the shell calls of
# gui/win32/tray_shell.cc (icon, balloon, Startup shortcut); then
# pendra.exe --tray itself must send its notification, save the state in
# %LOCALAPPDATA%\Pendra, answer a second --tray, and end when closed.
tray() {
  local profile=$work/tray-Иван log=$work/tray.log
  rm -rf "$profile" && mkdir -p "$profile"
  echo "remind [$smoke_text]." >"$profile/pendra.pnd"
  timeout 90 "$WINELOADER" "$work/tray_probe.exe" | tr -d '\r'
  PENDCAL_USERPROFILE=$profile "$WINELOADER" "$work/profile_launcher.exe" \
    "$work/папка/pendra.exe" --tray 2>"$log" &
  local pendra=$!
  for _ in $(seq 300); do grep -qs 'notifications sent' "$log" && break; sleep 0.2; done
  cat "$log"
  local state
  state=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Pendra/notified.ini' \
    -exec cat {} \; | tr -d '\r')
  local status=0
  grep -q ': 1 of 1 notifications sent' "$log" || status=1
  grep -qx "day=$(date +%F)" <<<"$state" || { echo "state: $state" >&2; status=1; }
  timeout 60 "$WINELOADER" "$work/папка/pendra.exe" --tray 2>"$log.second" || status=1
  grep -q 'already running' "$log.second" || { cat "$log.second" >&2; status=1; }
  timeout 60 "$WINELOADER" "$work/tray_probe.exe" quit | tr -d '\r'
  for _ in $(seq 100); do
    kill -0 "$pendra" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pendra" 2>/dev/null; then
    echo "pendra --tray is still running after it was closed" >&2
    kill "$pendra"
    return 1
  fi
  [ $status = 0 ] && echo "pendra --tray: notified, state saved, one tray only"
  return $status
}
if [ "${1:-}" = --smoke ]; then
  smoke
  exit
fi
if [ "${1:-}" = --tray ]; then
  tray
  exit
fi

step() { echo "== wine: $1 ($((SECONDS - started)) s so far)"; }
started=$SECONDS
bash tools/install-deps.sh test
step "cross build"
bash tools/build-windows.sh
step "native test harness"
# A release build that test.sh has configured is used as it is.
[ -f build/release/CMakeCache.txt ] ||
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release --target engine_tests
mingw=x86_64-w64-mingw32-g++-posix
command -v $mingw >/dev/null || mingw=x86_64-w64-mingw32-g++
mkdir -p "$work"
for tool in profile_launcher list_probe; do
  [ "$work/$tool.exe" -nt "tests/wine/$tool.cc" ] && continue
  $mingw -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static \
    -o "$work/$tool.exe" "tests/wine/$tool.cc"
done
# The tray probe links the tray's own shell calls.
$mingw -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static -I. \
  -o "$work/tray_probe.exe" tests/wine/tray_probe.cc gui/win32/tray_shell.cc \
  -lshell32 -lole32 -luuid
# The safe writer's probe is built with the gui core files it checks.
$mingw -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static -I. \
  -o "$work/safe_write_probe.exe" tests/wine/safe_write_probe.cc gui/safe_write.cc \
  gui/safe_write-win32.cc gui/paths-win32.cc

step "fresh prefix"
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wineserver" -p  # stays up between the many short runs
# Booted before any test: Wine's services start here, not under a test,
# where they would keep the test's output pipe open.
"$WINELOADER" wineboot -i >/dev/null 2>&1

# Both programs run from a folder with a Cyrillic name; the tests give
# pendcal.exe Cyrillic file and profile names of their own.
step "black-box pendcal tests"
exe_dir="$work/папка"
mkdir -p "$exe_dir"
cp build/windows/engine/pendcal.exe build/windows/engine/pendra.exe "$exe_dir/"
log=$work/engine-tests.log
if ! PENDCAL_EXE="$exe_dir/pendcal.exe" PENDCAL_PREFIX="$WINELOADER $work/profile_launcher.exe" \
  timeout 150 build/release/tests/engine_tests >"$log" 2>&1; then
  cat "$log"
  exit 1
fi
sed -n '/ ran\./,$p' "$log"

step "safe writing"
"$WINELOADER" "$work/safe_write_probe.exe" | tr -d '\r'

step "pendra smoke test"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --smoke
step "pendra tray"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --tray
step "done"
