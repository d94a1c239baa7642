#!/usr/bin/env bash
# The idle cost of pendra --tray: it runs for SECONDS (default 60) under
# Xvfb, a private session bus and dunst, with the tray test's stand-in
# pendcal, inside /usr/bin/time -v. Prints the whole run's CPU time and
# largest resident size (start-up and the first check included), and the
# CPU time of the idle part alone, after the first check, from /proc.
# Usage: bench/tray_idle.sh BUILD-DIR [SECONDS]
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-build/dev}")
seconds=${2:-60}

source "$root/tests/gui/desktop_session.sh"
# The session's and the tray's messages would clutter the figures.
desktop_session 640x360 "$build" "$seconds" 2>/dev/null
cp "$build/engine/pendra" "$scratch/bin/pendra"
cp "$root/tests/gui/listing_stand_in.sh" "$scratch/bin/pendcal"
printf '0 0 Dentist\n0 3 Rent\n' >"$HOME/pendra.pnd"
dunst >/dev/null 2>&1 &
/usr/bin/time -v -o "$scratch/time.txt" "$scratch/bin/pendra" --tray 2>"$scratch/tray.log" &
timer=$!
for _ in $(seq 600); do grep -qs 'notifications sent' "$scratch/tray.log" && break; sleep 0.1; done
tray=$(pgrep -P "$timer")
ticks() { awk '{ print $14 + $15 }' "/proc/$tray/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
kill "$tray"
wait "$timer" || true
hz=$(getconf CLK_TCK)
user=$(sed -n 's/.*User time (seconds): //p' "$scratch/time.txt")
system=$(sed -n 's/.*System time (seconds): //p' "$scratch/time.txt")
rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$scratch/time.txt")
echo "pendra --tray over ${seconds} s: user ${user} s, system ${system} s, max RSS $((rss / 1024)) MB"
echo "idle after the first check: $(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { print t / hz }') s CPU"
