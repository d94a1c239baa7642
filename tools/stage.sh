# Sourced by the scripts in tools/: runs steps quietly, one line each.
#   stage NAME COMMAND [ARGS...]
# runs COMMAND with its output kept in build/logs/NAME.log, prints NAME, ok
# and the seconds taken; when it fails, prints the log and exits 1.
mkdir -p build/logs
stage() {
  local name=$1 start=$SECONDS
  shift
  local log="build/logs/${name//[ \/]/-}.log"
  printf '%-24s ' "$name"
  if "$@" >"$log" 2>&1; then
    stage_count "$log"
    printf 'ok %4ds%s\n' $((SECONDS - start)) "$stage_note"
  else
    printf 'FAILED after %ds; its output (%s):\n' $((SECONDS - start)) "$log"
    cat "$log"
    wait  # for a stage still running beside this one
    exit 1
  fi
}

# A stage that runs beside the next ones, for work that can fill a core they
# leave idle:
#   stage_start NAME COMMAND [ARGS...]   starts it, niced, in the background
#   stage_wait NAME                      waits for it and prints its line
declare -A stage_pids stage_starts
stage_start() {
  local name=$1
  shift
  local log="build/logs/${name//[ \/]/-}.log"
  stage_starts[$name]=$SECONDS
  nice -n 10 "$@" >"$log" 2>&1 &
  stage_pids[$name]=$!
}
stage_wait() {
  local name=$1
  local log="build/logs/${name//[ \/]/-}.log"
  printf '%-24s ' "$name"
  if wait "${stage_pids[$name]}"; then
    printf 'ok %4ds (beside the stages above)\n' $((SECONDS - stage_starts[$name]))
  else
    printf 'FAILED; its output (%s):\n' "$log"
    cat "$log"
    exit 1
  fi
}

# When the log is ctest's, notes how many tests ran, for the stage line and
# the total in tests_run.
stage_count() {
  local count
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -1)
  stage_note=""
  if [ -n "$count" ]; then
    tests_run=$((${tests_run:-0} + count))
    stage_note="  ($count tests)"
  fi
}
