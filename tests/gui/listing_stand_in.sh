#!/bin/sh
# Stands in for `pendcal -k -l` in the tray's test and screenshots: each line
# of ~/pendra.pnd is "SCANNED MATCHED TEXT", the days as offsets from the
# date asked for; a line starting with "!" goes to standard error as a
# problem report (and makes the exit status 1).
before=0 after=0
while [ $# -gt 3 ]; do
  case $1 in -b) before=$2; shift ;; -a) after=$2; shift ;; esac
  shift
done
day="$1 $2 $3" file=$HOME/pendra.pnd n=0 status=0
printf 'file\t%s\n' "$file"
while IFS= read -r line; do
  n=$((n + 1))
  case $line in
    '!'*) printf '%s\n' "${line#!}" >&2; status=1; continue ;;
    '') continue ;;
  esac
  scanned=${line%% *} rest=${line#* }
  matched=${rest%% *} text=${rest#* }
  [ "$scanned" -ge "-$before" ] && [ "$scanned" -le "$after" ] || continue
  printf '%s\t%s\t%s\t%d\t%s\n' "$(date -d "$day $scanned days" +%F)" \
    "$(date -d "$day $matched days" +%F)" "$file" "$n" "$text"
done <"$file"
exit $status
