#!/usr/bin/env python3
"""pendcal -i read back with the icalendar library and held against the
report pendcal prints for the same file and window.

Usage: ical_test.py PATH_TO_PENDCAL
"""
import collections
import datetime
import os
import re
import subprocess
import sys
import tempfile
import unittest

import icalendar

PENDCAL = None
HEADER = re.compile(r"^[a-z]{3} [ \d]\d ([a-z]{3}) (\d+): (.*)$")
MONTHS = "jan feb mar apr may jun jul aug sep oct nov dec".split()


def run(text, args, env_extra=None, name="test.pnd"):
    """Runs pendcal -f NAME ARGS on text; returns (stdout, stderr, status)."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, name)
        with open(path, "wb") as f:
            f.write(text.encode("utf-8") if isinstance(text, str) else text)
        env = {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}
        env.update(env_extra or {})
        p = subprocess.run([PENDCAL, "-f", name] + args, capture_output=True, env=env, cwd=tmp)
        return p.stdout, p.stderr, p.returncode


def report(text, window):
    """The report as (message lines, [(date, text)]); texts may span lines."""
    out, _, status = run(text, window)
    assert status == 0, out
    messages, entries = [], []
    for line in out.decode("utf-8").split("\n")[:-1]:
        m = HEADER.match(line)
        if m:
            day = int(line[4:6])
            entries.append((datetime.date(int(m.group(2)), MONTHS.index(m.group(1)) + 1, day),
                            m.group(3)))
        elif entries:
            entries[-1] = (entries[-1][0], entries[-1][1] + "\n" + line)
        else:
            messages.append(line)
    return messages, entries


def calendar(text, args, env_extra=None):
    out, err, status = run(text, ["-i"] + args, env_extra)
    assert status == 0, err
    return out, err, icalendar.Calendar.from_ical(out)


def events(cal):
    return list(cal.walk("VEVENT"))


def whole_text(ev):
    return str(ev.get("DESCRIPTION", ev["SUMMARY"]))


MIXED = """\
(display "read-time output") (newline)
(remind-field (lambda (s o m) (string-append "day " (number->string (day s)))) "n")
jul 7 remind [Birthday; cake, candles].
fri remind [Friday %(n)].
first mon remind [Team] remind [Minutes, notes].
jul 20 remind [Two
lines; here].
jul 9 bogus remind [x].
jul 9 2005 remind [Once only].
"""
WINDOW = ["-b", "7", "-a", "14", "7", "jul", "2005"]


class AgainstTheReport(unittest.TestCase):
    def test_events_are_the_report_lines(self):
        messages, lines = report(MIXED, WINDOW)
        out, err, cal = calendar(MIXED, WINDOW)
        got = [(ev.decoded("DTSTART"), whole_text(ev)) for ev in events(cal)]
        self.assertEqual(collections.Counter(lines), collections.Counter(got))
        self.assertEqual(8, len(got))  # 1 + 3 fridays + 2 actions + 1 + 1
        for ev in events(cal):
            start = ev.decoded("DTSTART")
            self.assertIsInstance(start, datetime.date)
            self.assertNotIsInstance(start, datetime.datetime)
            self.assertEqual(start + datetime.timedelta(days=1), ev.decoded("DTEND"))
            self.assertEqual(whole_text(ev).split("\n")[0], str(ev["SUMMARY"]))
            self.assertEqual([], ev.walk("VALARM"))
        # The reading phase's messages go to standard error, as the report
        # prints them; standard output is the calendar alone.
        self.assertEqual(["read-time output", "test.pnd(8): error: not an action"], messages)
        self.assertEqual("".join(m + "\n" for m in messages), err.decode())
        self.assertTrue(out.startswith(b"BEGIN:VCALENDAR\r\n"))
        self.assertTrue(out.endswith(b"END:VCALENDAR\r\n"))
        self.assertEqual("test.pnd", str(cal["X-WR-CALNAME"]))
        self.assertEqual("2.0", str(cal["VERSION"]))
        self.assertEqual("GREGORIAN", str(cal["CALSCALE"]))
        self.assertIn("PRODID", cal)

    def test_i_combines_with_the_options_in_any_order(self):
        env = {"SOURCE_DATE_EPOCH": "1"}
        first = run(MIXED, ["-i"] + WINDOW, env)
        for args in (["-b", "7", "-i", "-a", "14", "7", "jul", "2005"],
                     ["-b", "7", "-a", "14", "-i", "7", "jul", "2005"]):
            self.assertEqual(first, run(MIXED, args, env), args)

    def test_summary_skips_empty_lines_and_names_an_empty_entry(self):
        text = "jul 7 remind [\n  \nDentist\nat nine].\njul 7 remind [].\njul 7 remind [ \n ].\n"
        _, _, cal = calendar(text, ["7", "jul", "2005"])
        self.assertEqual(["Dentist", "test.pnd(5)", "test.pnd(6)"],
                         [str(ev["SUMMARY"]) for ev in events(cal)])

    def test_look_ahead_is_one_event_with_an_alarm(self):
        text = ("dec 25 previous 3 days remind [Christmas].\n"
                "jul 4 previous 2 weeks remind [Fourth] remind [Flags].\n"
                "jan 5 and jan 10 previous 1 week remind [Twice].\n")
        cases = [
            # window, report lines, events as (date, summary, alarm)
            (["-b", "0", "-a", "3", "20", "dec", "2005"], 2,
             [(datetime.date(2005, 12, 25), "Christmas", datetime.timedelta(days=-3))]),
            (["-b", "0", "-a", "30", "15", "jun", "2005"], 6,
             [(datetime.date(2005, 7, 4), "Fourth", datetime.timedelta(days=-14)),
              (datetime.date(2005, 7, 4), "Flags", datetime.timedelta(days=-14))]),
            # 3 jan announces 10 jan, before 5 jan is reached.
            (["-b", "0", "-a", "7", "3", "jan", "2006"], 3,
             [(datetime.date(2006, 1, 10), "Twice", datetime.timedelta(days=-7)),
              (datetime.date(2006, 1, 5), "Twice", datetime.timedelta(days=-7))]),
        ]
        for window, report_lines, expected in cases:
            _, lines = report(text, window)
            self.assertEqual(report_lines, len(lines), window)
            _, _, cal = calendar(text, window)
            got = []
            for ev in events(cal):
                (alarm,) = ev.walk("VALARM")
                self.assertEqual("DISPLAY", str(alarm["ACTION"]))
                self.assertEqual(str(ev["SUMMARY"]), str(alarm["DESCRIPTION"]))
                got.append((ev.decoded("DTSTART"), str(ev["SUMMARY"]), alarm.decoded("TRIGGER")))
                self.assertIn(str(ev["SUMMARY"]), [t for _, t in lines])
            self.assertEqual(expected, got, window)


class Encoding(unittest.TestCase):
    def test_escaping_and_folding(self):
        # Texts from a field, so that backslashes reach the output unchanged.
        texts = ["a, b; c", "back\\slash", "x" * 200, "é" * 80, "€" * 40, "😀" * 30,
                 "Zürich, Köln; Łódź " * 5] + ["a" * k + "€😀é" * 10 for k in range(4)]
        scheme = "".join('(define t%d "%s")\n' % (i, s.replace("\\", "\\\\"))
                         for i, s in enumerate(texts))
        scheme += '(remind-field (lambda (s o m) (vector-ref (vector %s) (- (day s) 1))) "t")\n' % (
            " ".join("t%d" % i for i in range(len(texts))))
        text = scheme + "jan remind [%(t)].\n"
        out, _, cal = calendar(text, ["-b", "0", "-a", str(len(texts) - 1), "1", "jan", "2006"])
        self.assertEqual(texts, [str(ev["SUMMARY"]) for ev in events(cal)])
        body = out[:-2]
        for line in body.split(b"\r\n"):
            self.assertLessEqual(len(line), 75, line)
            self.assertNotIn(b"\n", line)
            self.assertNotIn(b"\r", line)
            line.decode("utf-8")  # no sequence split by a fold
        unfolded = body.replace(b"\r\n ", b"").decode()
        self.assertIn("SUMMARY:a\\, b\\; c\r\n", unfolded + "\r\n")
        self.assertIn("SUMMARY:back\\\\slash\r\n", unfolded + "\r\n")


class Uids(unittest.TestCase):
    BEFORE = ("jan 1 remind [New year].\n"
              "mon remind [Bins].\n"
              "mon remind [Bins].\n"
              "jan 6 remind [Epiphany].\n")
    # A line inserted above, an entry's text changed, spacing and case changed.
    AFTER = ("; a comment\njan 3 remind [Inserted].\n"
             "JAN   1 remind [New year].\n"
             "mon remind [Bins].\n"
             "mon remind [Bins].\n"
             "jan 6 remind [Epiphany!].\n")
    WINDOW = ["-b", "0", "-a", "13", "1", "jan", "2006"]

    def uids(self, text, env=None):
        _, _, cal = calendar(text, self.WINDOW, env)
        return {(ev.decoded("DTSTART"), str(ev["SUMMARY"]), str(ev["UID"])) for ev in events(cal)}

    def test_reexport_is_identical_apart_from_dtstamp(self):
        a = run(self.BEFORE, ["-i"] + self.WINDOW)[0]
        b = run(self.BEFORE, ["-i"] + self.WINDOW)[0]
        strip = lambda out: re.sub(rb"DTSTAMP:\d{8}T\d{6}Z", b"", out)
        self.assertEqual(strip(a), strip(b))
        fixed = run(self.BEFORE, ["-i"] + self.WINDOW, {"SOURCE_DATE_EPOCH": "1136073600"})[0]
        self.assertEqual(fixed, run(self.BEFORE, ["-i"] + self.WINDOW,
                                    {"SOURCE_DATE_EPOCH": "1136073600"})[0])
        self.assertEqual({b"DTSTAMP:20060101T000000Z"}, set(re.findall(rb"DTSTAMP:\S+", fixed)))

    def test_editing_other_entries_keeps_uids(self):
        before, after = self.uids(self.BEFORE), self.uids(self.AFTER)
        self.assertEqual(len(before), len({u for _, _, u in before}), "UIDs are unique")
        kept = {e for e in before if e[1] != "Epiphany"}
        self.assertEqual(kept, {e for e in after if e[1] in ("New year", "Bins")})
        epiphany = lambda s: {u for _, t, u in s if t.startswith("Epiphany")}
        self.assertFalse(epiphany(before) & epiphany(after), "an edited entry is a new event")


class Failures(unittest.TestCase):
    def test_scheme_error_in_a_field_fails_the_run_on_stderr(self):
        text = '(remind-field (lambda (s o m) (car 5)) "bad")\njan 2 remind [%(bad)].\n'
        out, err, status = run(text, ["-i", "-a", "3", "1", "jan", "2006"])
        self.assertEqual(1, status)
        self.assertIn(b"Wrong type", err)
        self.assertNotIn(b"Wrong type", out)


if __name__ == "__main__":
    PENDCAL = os.path.abspath(sys.argv.pop(1))
    unittest.main()
