"""pendra's window as a screen reader and a keyboard user meet it: the month
grid's marked days against the listing, the list grouped by day with its
multi-line item, the date keys, and the size and view remembered across a
restart. A stand-in pendcal lists reminders around today.

Usage (CTest runs it so): xvfb-run -a dbus-run-session -- python3 THIS PENDRA
"""
import datetime
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi_driver as at  # noqa: E402

TODAY = datetime.date.today()
MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]

# (scanned, matched, text) relative to today, as pendcal -l would list them.
PLAN = [(0, 0, "Dentist at 10"), (0, 3, "Market day"), (0, 0, "Shopping:\\n- milk\\n- bread"),
        (1, 1, "Call Anna"), (3, 3, "Market day")]

STAND_IN = r'''#!/usr/bin/python3
import datetime, os, sys
PLAN = __PLAN__
args = sys.argv[1:]
with open(os.path.join(os.path.dirname(sys.argv[0]), "runs"), "a") as log:
    log.write(" ".join(args) + "\n")
months = "jan feb mar apr may jun jul aug sep oct nov dec".split()
before, after = int(args[args.index("-b") + 1]), int(args[args.index("-a") + 1])
day, month, year = int(args[-3]), months.index(args[-2]) + 1, int(args[-1])
target = datetime.date(year, month, day)
first, last = target - datetime.timedelta(before), target + datetime.timedelta(after)
today = datetime.date.today()
print("file\tpendra.pnd")
for line, (scanned, matched, text) in enumerate(PLAN, 1):
    s, m = today + datetime.timedelta(scanned), today + datetime.timedelta(matched)
    if first <= s <= last:
        print(f"{s.isoformat()}\t{m.isoformat()}\tpendra.pnd\t{line}\t{text}")
'''


def short(date):
    text = f"{date:%a} {date.day} {date:%b}"
    return text if date.year == TODAY.year else f"{text} {date.year}"


def window_date(date):
    return f"{date:%a} {date.day} {date:%b} {date.year}"


def heading(date):
    if date == TODAY:
        return "Today"
    if date == TODAY + datetime.timedelta(1):
        return "Tomorrow"
    return short(date)


def expected_items():
    items, last_day = [], None
    for scanned, matched, text in PLAN:
        day = TODAY + datetime.timedelta(scanned)
        if day != last_day:
            items.append(heading(day))
            last_day = day
        text = text.replace("\\n", "\n")
        if matched != scanned:
            text = f"{short(TODAY + datetime.timedelta(matched))}: {text}"
        items.append(text)
    return items


def expected_counts():
    counts = {}
    for scanned, matched, _ in PLAN:
        if scanned == matched:
            day = TODAY + datetime.timedelta(matched)
            counts[day] = counts.get(day, 0) + 1
    return counts


def cell_name(date, count):
    name = f"{date.day} {MONTHS[date.month - 1]}"
    if count == 1:
        return name + ", 1 reminder"
    return name + (f", {count} reminders" if count > 1 else "")


def check_grid(app, picked):
    """Every cell of the grid names its day and how many reminders it holds."""
    grid = at.find(app, "table", "Month")
    first = picked.replace(day=1)
    first -= datetime.timedelta(first.weekday())
    counts = expected_counts()
    want = [cell_name(first + datetime.timedelta(i), counts.get(first + datetime.timedelta(i), 0))
            for i in range(42)]
    at.wait_equal(lambda: [c.name for c in at.find_all(grid, "table cell")], want, "grid cells")


def check_list(app):
    listing = at.find(app, "list", "Reminders")
    want = expected_items()
    at.wait_equal(lambda: [c.name for c in at.children(listing)], want, "list items")
    assert sum("\n" in name for name in want) == 1  # the multi-line text is one item


def run_window(pendra, env):
    process = at.start_app([pendra], env)
    app = at.application(process)
    return process, app


def main():
    pendra_built = sys.argv[1]
    work = tempfile.mkdtemp(prefix="pendra-atspi-")
    try:
        # pendra runs the pendcal beside it: a copy of it beside the stand-in.
        pendra = os.path.join(work, "pendra")
        shutil.copy(pendra_built, pendra)
        engine = os.path.join(work, "pendcal")
        with open(engine, "w") as out:
            out.write(STAND_IN.replace("__PLAN__", repr(PLAN)))
        os.chmod(engine, 0o755)
        runs = os.path.join(work, "runs")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
        at.start_bus()

        process, app = run_window(pendra, env)
        check_list(app)
        check_grid(app, TODAY)
        date = at.find(app, "spin button", "Date")
        at.wait_for(lambda: at.text_of(date) == window_date(TODAY), "today in the date")
        window = at.window_id(process)
        at.xdotool("windowfocus", "--sync", window)

        # The keys: a day on, a month on, back to today, and F5 runs again.
        at.key("alt+Right")
        tomorrow = TODAY + datetime.timedelta(1)
        at.wait_for(lambda: at.text_of(date) == window_date(tomorrow), "Alt+Right: tomorrow")
        at.key("ctrl+Right")
        month_on = (tomorrow.replace(day=1) + datetime.timedelta(32)).replace(day=1)
        at.wait_for(lambda: at.text_of(date).endswith(f"{month_on:%b} {month_on.year}"),
                    "Ctrl+Right: the next month")
        at.key("alt+Home")
        at.wait_for(lambda: at.text_of(date) == window_date(TODAY), "Alt+Home: today")
        check_list(app)
        count = len(open(runs).read().splitlines())
        at.key("F5")
        at.wait_for(lambda: len(open(runs).read().splitlines()) == count + 1, "F5: one more run")
        check_list(app)

        # Size and view, remembered across a restart.
        at.xdotool("windowsize", "--sync", window, "733", "555")
        frame = at.find(app, None, "Pendra")
        at.wait_for(lambda: at.extents(frame)[2:] == (733, 555), "the new size")
        # Alt+V, the view label's mnemonic, reaches the choice.
        at.key("alt+v", "Down", "Down")
        at.wait_equal(lambda: at.find(app, "combo box").name, "Month", "the view chosen")
        at.key("ctrl+q")
        assert at.stop(process) == 0
        settings = open(os.path.join(work, "config", "pendra", "pendra.ini")).read()
        assert "width=733" in settings and "view=month" in settings, settings

        process, app = run_window(pendra, env)
        frame = at.find(app, None, "Pendra")
        at.wait_for(lambda: at.extents(frame)[2:] == (733, 555), "the size after a restart")
        at.wait_for(lambda: at.find(app, "combo box").name == "Month", "the view after a restart")
        check_grid(app, TODAY)
        at.wait_for(lambda: open(runs).read().splitlines()[-1].split()[-3:] ==
                    [str(TODAY.day), f"{TODAY:%b}".lower(), str(TODAY.year)], "the month run")
        process.terminate()
        at.stop(process)
        print("pendra window: all checks passed")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    try:
        main()
    except at.Failure:
        # A run across midnight sees two todays: run once more on the new one.
        if datetime.date.today() == TODAY:
            raise
        TODAY = datetime.date.today()
        main()
