#!/usr/bin/python3
"""Stands in for pendcal -k -l in the accessibility test until the real
engine lists: the default search (usage text and exit 1 when no file),
-f, -b, -a and the date words; entries "DAY [MON [YEAR]] [previous N
days] remind [TEXT]." and "NTH WEEKDAY [previous N days] remind [TEXT].",
with escaped brackets; a line "(display dayname)"
is reported on standard error as the Scheme error it is."""
import datetime
import os
import re
import sys

MONTHS = "jan feb mar apr may jun jul aug sep oct nov dec".split()
ENTRY = re.compile(r"(\d+)(?: ([a-z]{3}))?(?: (\d{4}))?(?: previous \d+ days)? remind \[(.*)\]\.$")
NTH = ["first", "second", "third", "fourth", "fifth"]
WEEKDAYS = "mon tue wed thu fri sat sun".split()
NTH_ENTRY = re.compile(r"(first|second|third|fourth|last) ([a-z]{3})(?: previous \d+ days)? "
                       r"remind \[(.*)\]\.$")


def nth_weekday(date, nth, weekday):
    if date.weekday() != WEEKDAYS.index(weekday):
        return False
    if nth == "last":
        return (date + datetime.timedelta(7)).month != date.month
    return (date.day - 1) // 7 == NTH.index(nth)


def search():
    home = os.environ.get("HOME", "")
    config = os.environ.get("XDG_CONFIG_HOME") or os.path.join(home, ".config")
    for place in ("pendra.pnd", "pendra/pendra.pnd", "My Documents/pendra.pnd",
                  "My Documents/Pendra/pendra.pnd"):
        if os.path.exists(os.path.join(home, place)):
            return os.path.join(home, place)
    path = os.path.join(config, "pendra", "pendra.pnd")
    return path if os.path.exists(path) else None


def main(args):
    name = args[args.index("-f") + 1] if "-f" in args else search()
    if name is None:
        print("usage: pendcal [OPTION] [DATE]")
        return 1
    before, after = int(args[args.index("-b") + 1]), int(args[args.index("-a") + 1])
    target = datetime.date(int(args[-1]), MONTHS.index(args[-2]) + 1, int(args[-3]))
    print(f"file\t{name}")
    entries, status = [], 0
    with open(name, newline="") as source:
        for line_number, line in enumerate(source.read().splitlines(), 1):
            match, nth = ENTRY.match(line), NTH_ENTRY.match(line)
            if nth:
                entries.append((line_number, nth.groups()[:2], None, None,
                                re.sub(r"\\(.)", r"\1", nth.group(3))))
            elif match:
                day, month, year, text = match.groups()
                text = re.sub(r"\\(.)", r"\1", text)
                entries.append((line_number, int(day), month and MONTHS.index(month) + 1,
                                year and int(year), text))
            elif line.startswith("(display dayname"):
                sys.stderr.write(f"{name}({line_number}): Undefined symbol: dayname\n\n"
                                 "  (display dayname)\n")
                status = 1
    for offset in range(-before, after + 1):
        date = target + datetime.timedelta(offset)
        for line_number, day, month, year, text in entries:
            if isinstance(day, tuple):
                found = nth_weekday(date, *day)
            else:
                found = date.day == day and month in (None, date.month) and year in (None, date.year)
            if found:
                print(f"{date}\t{date}\t{name}\t{line_number}\t{text}")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
