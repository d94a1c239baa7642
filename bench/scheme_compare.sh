#!/usr/bin/env bash
# Runs small Scheme programs in pendcal (a .pnd file per program) and, when
# it is installed, in Guile's interpreter, and prints each run's CPU time
# (user + system) and peak RSS as /usr/bin/time -v reports them. Guile is
# here only for comparison.
#   bench/scheme_compare.sh PENDCAL [PROGRAM...]
# Programs: fib25 tak loop3M loop100M cons1M closure1M (default: all).
set -euo pipefail
pendcal=$1
shift
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(fib25 tak loop3M loop100M cons1M closure1M)
guile=$(command -v guile || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

definition() {
  case $1 in
    fib25) echo "(define (fib n) (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2)))))" ;;
    tak) echo "(define (tak x y z) (if (not (< y x)) z (tak (tak (- x 1) y z) (tak (- y 1) z x) (tak (- z 1) x y))))" ;;
    loop*) echo "(define (loop n acc) (if (= n 0) acc (loop (- n 1) (+ acc 1))))" ;;
    cons1M) echo "(define (build n acc) (if (= n 0) (length acc) (build (- n 1) (cons n acc))))" ;;
    closure1M) echo "(define (mk n f) (if (= n 0) (f) (mk (- n 1) (lambda () n))))" ;;
  esac
}
expression() {
  case $1 in
    fib25) echo "(fib 25)" ;;
    tak) echo "(tak 18 12 6)" ;;
    loop3M) echo "(loop 3000000 0)" ;;
    loop100M) echo "(loop 100000000 0)" ;;
    cons1M) echo "(build 1000000 '())" ;;
    closure1M) echo "(mk 1000000 (lambda () 0))" ;;
  esac
}
# "cpu-seconds peak-MB" of one run, from time -v: user plus system time,
# which a busy machine disturbs less than the wall clock.
measure() {
  /usr/bin/time -v "$@" >"$work/out" 2>"$work/time" || { cat "$work/out" "$work/time" >&2; return 1; }
  awk -F': ' '/User time|System time/ { s += $2 }
              /Maximum resident set size/ { m = $2 / 1024 }
              END { printf "%8.2f s %8.1f MB", s, m }' "$work/time"
}

printf "%-10s %-9s %22s %22s\n" program result "pendcal (cpu, rss)" "guile (cpu, rss)"
for p in "${programs[@]}"; do
  printf "%s\n%s\n" "$(definition "$p")" "$(expression "$p")" >"$work/$p.pnd"
  printf "%s\n(display %s)\n(newline)\n" "$(definition "$p")" "$(expression "$p")" >"$work/$p.scm"
  ours=$(measure "$pendcal" -f "$work/$p.pnd")
  result=$(head -1 "$work/out")
  theirs="-"
  [ -z "$guile" ] || theirs=$(measure "$guile" --no-auto-compile "$work/$p.scm")
  printf "%-10s %-9s %22s %22s\n" "$p" "$result" "$ours" "$theirs"
done
