#!/usr/bin/env bash
# Takes the documentation's pictures of pendra --tray under Xvfb: a
# notification shown by dunst, and the tray icon's menu in trayer (a small
# tray host). The reminders come from the tray test's stand-in pendcal.
# Usage: tools/tray-screenshots.sh BUILD-DIR   (needs xvfb, dunst, trayer,
# xdotool, imagemagick)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-build/dev}")

source "$root/tests/gui/desktop_session.sh"
desktop_session 640x360 "$build"
cp "$build/engine/pendra" "$scratch/bin/pendra"
cp "$root/tests/gui/listing_stand_in.sh" "$scratch/bin/pendcal"
cat >"$HOME/pendra.pnd" <<'FILE'
0 0 Dentist at 9:30
0 0 Anna's birthday (31)
0 3 Pay the rent
!$HOME/pendra.pnd(12): error: not an action
FILE
sed -i "s|\$HOME|$HOME|" "$HOME/pendra.pnd"
cat >"$scratch/dunstrc" <<'CONF'
[global]
origin = top-right
offset = 10x40
font = DejaVu Sans 10
frame_width = 1
frame_color = "#2f4f6f"
[urgency_normal]
background = "#ffffff"
foreground = "#222222"
timeout = 0
CONF
xsetroot -solid '#5a6e80' 2>/dev/null || true
dunst -config "$scratch/dunstrc" >/dev/null 2>&1 &
trayer --edge top --align right --widthtype request --height 28 --SetDockType true \
  --transparent false --tint 0xe0e0e0 >/dev/null 2>&1 &
sleep 1  # trayer and dunst set themselves up; nothing to poll for
"$scratch/bin/pendra" --tray 2>"$scratch/tray.log" &
tray=$!
for _ in $(seq 300); do grep -qs 'notifications sent' "$scratch/tray.log" && break; sleep 0.1; done
sleep 1  # dunst draws
import -window root -crop 330x150+310+0 "$root/docs/pendra-tray-notification.png"
dunstctl close-all

# Right-click the icon: its window is the tray's only one of class pendra.
icon=$(xdotool search --class pendra | head -1)
xdotool mousemove --window "$icon" 10 10 click 3
sleep 1  # the menu opens

import -window root -crop 200x110+440+0 "$root/docs/pendra-tray-menu.png"
# Tick "Start at login" (the third item) with the keyboard, as a user might.
xdotool key Down Down Down Return
for _ in $(seq 50); do [ -f "$HOME/.config/autostart/pendra.desktop" ] && break; sleep 0.1; done
cat "$HOME/.config/autostart/pendra.desktop" || echo "no autostart entry"
kill "$tray"
echo "docs/pendra-tray-notification.png docs/pendra-tray-menu.png"
