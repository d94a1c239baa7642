#!/usr/bin/env bash
# pendra --tray against a real notification server: Xvfb, a private session
# bus and dunst, with the real pendcal beside pendra; dunst's history shows
# what the tray sent.
# Usage: tray_test.sh PENDRA
set -euo pipefail
export LC_ALL=C
pendra=$(realpath "$1")

source "$(dirname "$0")/desktop_session.sh"
desktop_session 1024x768 "$pendra"
cp "$pendra" "$scratch/bin/pendra"
reminders=$HOME/pendra.pnd
state=$HOME/.local/state/pendra/notified.ini

cp "$(dirname "$pendra")/pendcal" "$scratch/bin/pendcal"

fail() { echo "FAIL: $*"; exit 1; }
# Waits up to a minute for a command to succeed.
wait_for() {
  for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
  return 1
}

cat >"$scratch/dunstrc" <<'CONF'
[global]
history_length = 100
[urgency_normal]
timeout = 0
CONF
dunst -config "$scratch/dunstrc" >/dev/null 2>&1 &
dunst=$!
# Asked before dunst owns its name, the bus would start a second one.
dunst_up() {
  dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q true
}
wait_for dunst_up || fail "dunst did not start"

# Every notification so far, oldest first: "SUMMARY|BODY" with the body's
# line ends written as "/".
history() {
  dunstctl close-all
  dunstctl history | python3 -c '
import json, sys
items = json.load(sys.stdin)["data"][0]
for n in sorted(items, key=lambda n: n["id"]["data"]):
    print(n["summary"]["data"] + "|" + n["body"]["data"].replace("\n", "/"))'
}
seen=0
shown_at_least() { [ "$(dunstctl count displayed)" -ge "$1" ]; }
# The notifications sent since the last call must be exactly the arguments.
expect_new() {
  local all
  wait_for shown_at_least $# || true
  all=$(history)
  local got
  got=$(printf '%s\n' "$all" | sed '/^$/d' | tail -n +$((seen + 1)))
  local want
  want=$(printf '%s\n' "$@" | sed '/^$/d')
  [ "$got" = "$want" ] || fail "notifications: got [$got], want [$want]"
  seen=$(printf '%s\n' "$all" | sed '/^$/d' | wc -l)
}

tray=
log=
runs=0
start_tray() {
  runs=$((runs + 1))
  log=$scratch/tray$runs.log
  "$scratch/bin/pendra" --tray 2>"$log" &
  tray=$!
}
stop_tray() {
  kill "$tray"
  wait "$tray" 2>/dev/null || true
}
# Waits until the tray has finished its Nth check.
checks_done() { [ "$(grep -c 'notifications sent' "$log" 2>/dev/null)" -ge "$1" ]; }
wait_checks() { wait_for checks_done "$1" || fail "check $1 did not end: $(cat "$log")"; }

label() { date -d "$1" '+%a %-d %b %Y'; }
short() { date -d "$1" '+%a %-d %b'; }

# A day as the reminder language writes it: "8 dec 2026".
on() { date -d "$1" '+%-d %b %Y' | tr '[:upper:]' '[:lower:]'; }
today=$(date +%F)
cat >"$reminders" <<FILE
$(on "$today") remind [Dentist at 9].
$(on "$today 3 days") previous 3 days remind [Pay the rent].
$(on "$today -2 days") remind [Old one].
FILE

# Today only, without a state file; the look-ahead names its day.
start_tray
wait_checks 1
[ "$(sed -n 's/^pendra --tray: \([0-9-]*\): .*/\1/p' "$log" | head -1)" = "$today" ] ||
  fail "the tray's day is not today: $(cat "$log")"
expect_new "$(label "$today")|Dentist at 9/$(short "$today 3 days"): Pay the rent"

# A second tray asks the first to show the window and ends.
windows_at_least() { [ "$(xdotool search --name '^Pendra$' 2>/dev/null | wc -l)" -ge "$1" ]; }
"$scratch/bin/pendra" --tray 2>"$scratch/second.log" || fail "second tray: $(cat "$scratch/second.log")"
grep -q 'already running' "$scratch/second.log" || fail "second tray: $(cat "$scratch/second.log")"
wait_for windows_at_least 1 || fail "no window shown"
kill -0 "$tray" || fail "the first tray ended"

# A reminder added during the run: only it is notified.
echo "$(on "$today") remind [Call Anna]." >>"$reminders"
wait_checks 2
# A click on it (its default action) opens another window.
dunstctl action 0
wait_for windows_at_least 2 || fail "a click on the notification opened no window"
expect_new "$(label "$today")|Call Anna"

# An editor's save by rename replaces the file: the tray follows it.
{ cat "$reminders"; echo "$(on "$today") remind [Water the plants]."; } >"$reminders.new"
mv "$reminders.new" "$reminders"
wait_checks 3
expect_new "$(label "$today")|Water the plants"

# A restart on the same day sends nothing.
stop_tray
start_tray
wait_checks 1
grep -q ': 0 of 0 notifications sent' "$log" || fail "restart: $(cat "$log")"
expect_new

# Three days back: the missed days first, then all of today's.
stop_tray
sed -i "s/^day=.*/day=$(date -d "$today -3 days" +%F)/" "$state"
start_tray
wait_checks 1
expect_new "While you were away|$(short "$today -2 days"): Old one" \
  "$(label "$today")|Dentist at 9/$(short "$today 3 days"): Pay the rent/Call Anna/Water the plants"

# Problems: one line naming their count and the file; the rest still shown.
stop_tray
cat >>"$reminders" <<FILE
(dayname)
$(on "$today") rmind [Typo].
FILE
rm "$state"
start_tray
wait_checks 1
expect_new "$(label "$today")|Dentist at 9/$(short "$today 3 days"): Pay the rent/Call Anna/Water the plants/2 problems in pendra.pnd"

stop_tray
kill "$dunst"
echo "tray test passed"
