# Sourced by the scripts that run pendra --tray on a real desktop.
# desktop_session WIDTHxHEIGHT ARGS...: called first, it starts Xvfb, runs the
# sourcing script again with ARGS inside a private session bus and exits with
# its status. Called again inside, it returns with $scratch set and a private
# HOME, runtime folder and scratch/bin for the programs under test.
desktop_session() {
  local screen=$1
  shift
  if [ -n "${DESKTOP_SESSION_SCRATCH:-}" ]; then
    scratch=$DESKTOP_SESSION_SCRATCH
    export HOME=$scratch/home QT_QPA_PLATFORM=xcb
    unset XDG_CONFIG_HOME XDG_STATE_HOME
    mkdir -p "$HOME" "$scratch/bin"
    # Qt and dunst keep their sockets there.
    export XDG_RUNTIME_DIR=$scratch/run
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    return 0
  fi
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$scratch/display" 2>/dev/null &
  local xvfb=$!
  for _ in $(seq 300); do [ -s "$scratch/display" ] && break; sleep 0.1; done
  [ -s "$scratch/display" ] || { echo "Xvfb did not start"; exit 1; }
  local status=0
  DISPLAY=":$(cat "$scratch/display")" DESKTOP_SESSION_SCRATCH=$scratch \
    dbus-run-session -- bash "$0" "$@" || status=$?
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  exit $status
}
