#!/usr/bin/env bash
# Installs the Debian packages a build needs, when they are missing.
# Usage: tools/install-deps.sh [run|test]   (default: test)
set -euo pipefail
packages=(cmake ninja-build g++ pkgconf librsvg2-bin)
if [ "${1:-test}" = test ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev python3 python3-icalendar
             g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
             wine64 xvfb xauth xdotool x11-utils clang libclang-rt-14-dev)
  # The Windows build draws pendra's icon from its SVG.
  packages+=(librsvg2-bin imagemagick)
  # The window's accessibility tests: AT-SPI over a private D-Bus session
  # (dbus-run-session is in dbus-daemon).
  packages+=(at-spi2-core dbus-daemon dbus-x11 python3-pyatspi)
  # pendra --tray's test: a real notification server.
  packages+=(dbus-bin dunst)
  # Packaging and its checks: the .deb's dependencies, man pages, desktop
  # entry, Vim syntax.
  packages+=(dpkg-dev file lintian mandoc desktop-file-utils vim)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
