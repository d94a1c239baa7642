#!/usr/bin/env bash
# Runs the Windows build under Wine in a private prefix: pendcal.exe through
# the black-box pendcal tests, then pendra.exe once under Xvfb, which must
# fill its grid and list from pendcal.exe, grow with its window and exit
# when closed; the first run to daily editing with keeper_probe; then
# pendra.exe --tray with the tray probe. Prints the time of each step.
# Needs wine64, xvfb, xdotool and xprop (tools/install-deps.sh).
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

# Waits up to 20 seconds for process $1 to end by itself; if it does not,
# says $2 and ends it.
ends() {
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.2
  done
  echo "$2" >&2
  kill "$1"
  return 1
}
# The pendra smoke test, run inside xvfb-run. pendra starts from a folder
# with a Cyrillic name, with a profile folder of another, whose reminder file
# names every day in UTF-8 text; its window is 7 days before and 14 after
# today, so 22 days, each with a heading and one item, today's headed
# "Today". window_probe checks the window (font, icon, the grid's marks, the
# list growing with the window), X tells whether the window shows an icon,
# and list_probe reads the list and closes the window.
smoke() {
  local profile=$work/smoke-Иван
  rm -rf "$profile" && mkdir -p "$profile"
  echo "remind [$smoke_text]." >"$profile/pendra.pnd"
  PENDCAL_USERPROFILE=$profile "$WINELOADER" "$work/profile_launcher.exe" \
    "$work/папка/pendra.exe" &
  local pendra=$!
  local window
  if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name Pendra); then
    echo "pendra showed no window" >&2
    kill "$pendra" 2>/dev/null || true
    return 1
  fi
  window=${window%%$'\n'*}  # the first, should there be more
  fail() {
    echo "$1" >&2
    cat "$work/smoke-window.txt" "$work/smoke-list.txt" >&2 2>/dev/null || true
    kill "$pendra" 2>/dev/null || true
    return 1
  }
  rm -f "$work/smoke-window.txt" "$work/smoke-list.txt"
  local status=0 day_before day_after
  day_before="$(date +%-d) $(date +%B)"
  timeout 90 "$WINELOADER" "$work/window_probe.exe" 60 "$smoke_text" | tr -d '\r' \
    >"$work/smoke-window.txt" || status=$?
  day_after="$(date +%-d) $(date +%B)"
  sed 's/^/pendra window: /' "$work/smoke-window.txt"
  [ "$status" = 0 ] || { fail "pendra's window failed a check" || return 1; }
  # Today has one reminder, and the grid says so.
  grep -q -e "^calendar: Reminders: .*\b$day_before, 1 reminder\b" \
    -e "^calendar: Reminders: .*\b$day_after, 1 reminder\b" "$work/smoke-window.txt" ||
    { fail "the grid does not name today's reminder" || return 1; }
  xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (' ||
    { fail "pendra's window has no icon" || return 1; }
  timeout 90 "$WINELOADER" "$work/list_probe.exe" 60 "$smoke_text" | tr -d '\r' \
    >"$work/smoke-list.txt" || status=$?
  local lines today headings
  lines=$(grep -c -x -F "$smoke_text" "$work/smoke-list.txt" || true)
  today=$(grep -c -x -F "Today" "$work/smoke-list.txt" || true)
  headings=$(grep -c -v -x -F "$smoke_text" "$work/smoke-list.txt" || true)
  echo "pendra list: $lines items, $headings headings, $today for today"
  if [ "$status" != 0 ] || [ "$lines" != 22 ] || [ "$headings" != 22 ] || [ "$today" != 1 ]; then
    fail "pendra's list is not the expected one:" || return 1
  fi
  # The probe has closed the window: pendra must end on its own.
  ends "$pendra" "pendra is still running after its window was closed" || return 1
  wait "$pendra"
  echo "pendra closed"
  # It wrote its size (the probe's last, 800 x 600) to its settings file.
  local ini
  ini=$(cat "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Pendra/pendra.ini 2>/dev/null | tr -d '\r')
  if ! grep -qx 'width=800' <<<"$ini" || ! grep -qx 'height=600' <<<"$ini"; then
    echo "pendra did not remember its size: $ini" >&2
    return 1
  fi
  echo "pendra remembered its size"
}
# The first run to daily editing, run inside xvfb-run: pendra starts with an
# empty profile folder and keeper_probe drives it (welcome, Create, Add to
# the CR LF starter file, a change from outside, a Scheme typo, a save by
# rename, a double-click to a stand-in editor registered as the "edit"
# verb of .pnd files). The probe's screenshots become PNG files in
# build/wine/shots.
keeper() {
  local profile=$work/keeper-Мария shots=$work/shots editor=$work/editor
  rm -rf "$profile" "$shots" "$editor" && mkdir -p "$profile" "$shots" "$editor"
  cp "$work/editor_stub.exe" "$editor/notepad++.exe"
  local wprofile weditor
  wprofile=$("$WINELOADER" winepath -w "$profile" 2>/dev/null | tr -d '\r')
  weditor=$("$WINELOADER" winepath -w "$editor/notepad++.exe" 2>/dev/null | tr -d '\r')
  # Wine looks file types up under HKEY_CLASSES_ROOT only, not the user's classes.
  "$WINELOADER" reg add 'HKCR\.pnd' /ve /d PendraProbe.File /f >/dev/null 2>&1
  "$WINELOADER" reg add 'HKCR\PendraProbe.File\shell\edit\command' /ve \
    /d "\"$weditor\" \"%1\"" /f >/dev/null 2>&1
  PENDCAL_USERPROFILE=$wprofile "$WINELOADER" "$work/profile_launcher.exe" \
    "$work/папка/pendra.exe" &
  local pendra=$! status=0
  timeout 200 "$WINELOADER" "$work/keeper_probe.exe" 150 "$wprofile" \
    "$("$WINELOADER" winepath -w "$shots" 2>/dev/null | tr -d '\r')" "$weditor" | tr -d '\r' |
    sed 's/^/pendra keeping: /' || status=$?
  for shot in "$shots"/*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm "$shot"
  done
  ends "$pendra" "pendra is still running after the probe closed it" || return 1
  wait "$pendra" || true
  return "$status"
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
  ends "$pendra" "pendra --tray is still running after it was closed" || return 1
  [ $status = 0 ] && echo "pendra --tray: notified, state saved, one tray only"
  return $status
}
if [ "${1:-}" = --smoke ]; then
  smoke
  exit
fi
if [ "${1:-}" = --keeper ]; then
  keeper
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
for tool in profile_launcher list_probe window_probe keeper_probe editor_stub; do
  [ "$work/$tool.exe" -nt "tests/wine/$tool.cc" ] && [ "$work/$tool.exe" -nt tests/wine/probe_list.h ] &&
    continue
  $mingw -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -municode -static \
    -o "$work/$tool.exe" "tests/wine/$tool.cc" -lgdi32
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
# where they would keep the test's output pipe open. The first program of a
# session makes Wine boot the prefix (wineboot --init) before it runs; so
# the first one is the launcher, which then waits for the boot to end. A
# "wineboot -i" here would be a second boot over the first, with a second
# service manager whose drivers restart while the first tests start.
if ! timeout 200 "$WINELOADER" "$work/profile_launcher.exe" --boot 180 >"$work/boot.log" 2>&1; then
  cat "$work/boot.log"
  echo "the Wine prefix did not finish booting" >&2
  exit 1
fi

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
step "pendra from the first run to daily editing"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --keeper
step "pendra tray"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --tray
step "done"
