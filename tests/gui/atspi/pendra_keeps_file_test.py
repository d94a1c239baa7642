"""pendra from the first run to daily editing, as a user meets it over the
accessibility tree: the welcome with no file, creating the starter file,
opening another file, Add writing to a CR LF file and to one without a
final line end, the refusal of a file changed since it was read, reloads
after outside changes (in place and by rename), a Scheme typo shown as a
problem beside the reminders, and the editor opened at a line.

Usage (CTest runs it so):
  xvfb-run -a dbus-run-session -- python3 THIS PENDRA PENDCAL [SCREENSHOT_DIR]
PENDCAL is the real engine; pendra runs it from beside a copy of pendra.
With SCREENSHOT_DIR, the welcome, the Add form and the problems are saved
there as PNG files.
"""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi_driver as at  # noqa: E402

TODAY = datetime.date.today()
MONTH = "jan feb mar apr may jun jul aug sep oct nov dec".split()[TODAY.month - 1]
TODAY_WORDS = f"{TODAY.day} {MONTH} {TODAY.year}"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def items(app):
    return [child.name for child in at.children(at.find(app, "list", "Reminders"))]


def wait_listed(app, text, what):
    return at.wait_for(lambda: any(text in name for name in items(app)), what)


def label_text(root, name):
    """What a label the widgets name for screen readers says now."""
    return at.find(root, "label", name).description


def screenshot(directory, name):
    if directory:
        # The screen, cut to what is on it.
        path = os.path.join(directory, name)
        subprocess.run(["import", "-window", "root", path], check=True)
        subprocess.run(["convert", path, "-trim", "+repage", path], check=True)


def type_text(text):
    at.xdotool("type", "--delay", "20", text)


def add_form(app, text):
    """Presses Add..., waits for the form, types the text; returns the form."""
    at.press(at.find(app, "push button", "Add\u2026"))
    form = at.find(app, "dialog", "Add a reminder")
    at.wait_for(lambda: showing(form), "the Add form shown")
    field = at.find(form, "text", "Text")
    at.focus(field)
    type_text(text)
    at.wait_for(lambda: at.text_of(field) == text, f"{text!r} typed")
    return form


def main():
    pendra_built, pendcal = sys.argv[1], sys.argv[2]
    shots = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    work = tempfile.mkdtemp(prefix="pendra-keeps-")
    processes = []
    try:
        pendra = os.path.join(work, "pendra")
        shutil.copy(pendra_built, pendra)
        os.symlink(os.path.abspath(pendcal), os.path.join(work, "pendcal"))
        home = os.path.join(work, "home")
        os.makedirs(home)
        # A stand-in "vi" that records how it was started.
        bin_dir = os.path.join(work, "bin")
        os.makedirs(bin_dir)
        editor_log = os.path.join(work, "editor-log")
        editor = os.path.join(bin_dir, "vi")
        write(editor, f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{editor_log}"\n'.encode())
        os.chmod(editor, 0o755)
        env = {k: v for k, v in os.environ.items()
               if k not in ("XDG_CONFIG_HOME", "XDG_STATE_HOME", "USERPROFILE", "EDITOR")}
        env.update(HOME=home, VISUAL=editor)
        at.start_bus()

        def start(*arguments):
            process = at.start_app([pendra, *arguments], env)
            processes.append(process)
            app = at.application(process)
            at.xdotool("windowfocus", "--sync", at.window_id(process))
            return process, app

        # First run: no file anywhere, so the welcome with the real places.
        process, app = start()
        create = at.find(app, "push button", "Create my reminder file")
        at.wait_for(lambda: showing(create), "the welcome shown")
        places = label_text(app, "Places")
        assert os.path.join(home, "pendra.pnd") in places and "$HOME" not in places, places
        assert os.path.join(home, ".config", "pendra", "pendra.pnd") in places, places
        screenshot(shots, "pendra-welcome.png")

        # Create: the starter file is written where pendcal looks, and listed.
        at.press(create)
        starter = os.path.join(home, ".config", "pendra", "pendra.pnd")
        at.wait_for(lambda: os.path.exists(starter), "the starter file")
        wait_listed(app, "Pay the rent", "the starter's monthly bill listed")
        at.wait_for(lambda: not showing(create), "the welcome gone")

        # Open another file (CR LF line ends), through the file dialog.
        other = os.path.join(work, "other.pnd")
        write(other, f"; other file\r\n{TODAY_WORDS} remind [From the other file].\r\n".encode())
        at.press(at.find(app, "push button", "Open\u2026"))
        at.find(app, "dialog", "Open a reminder file")
        type_text(other)
        at.key("Return")
        wait_listed(app, "From the other file", "the other file listed")
        settings = os.path.join(home, ".config", "pendra", "pendra.ini")
        at.wait_for(lambda: other in open(settings).read(), "the file remembered")

        # Add to the CR LF file: the entry, its next days, then the write.
        before = read(other)
        form = add_form(app, "Dentist [10:00]")
        entry = f"{TODAY_WORDS} remind [Dentist \\[10:00\\]]."
        at.wait_for(lambda: label_text(form, "Entry") == entry, f"the entry {entry}")
        at.wait_for(lambda: f"{TODAY.day} {TODAY:%b} {TODAY.year}" in label_text(form, "Next"),
                    "the next day it falls on")
        at.press(at.find(form, "push button", "Add"))
        at.wait_for(lambda: read(other) == before + entry.encode() + b"\r\n", "the CR LF entry")
        assert read(other + "~") == before
        wait_listed(app, "Dentist [10:00]", "the added reminder listed")

        # The refusal: the file changed on disk while the form was open.
        form = add_form(app, "Not written")
        changed = read(other) + f"{TODAY_WORDS} remind [Changed outside].\r\n".encode()
        write(other, changed)
        at.press(at.find(form, "push button", "Add"))
        at.wait_for(lambda: "changed on disk since it was read" in label_text(form, "Message"),
                    "the refusal")
        assert read(other) == changed
        at.press(at.find(form, "push button", "Cancel"))
        wait_listed(app, "Changed outside", "the outside change listed")

        # Reloads by themselves: in place, by rename, and in place again.
        for round, how in enumerate(["in place", "rename", "in place after rename"]):
            text = f"{TODAY_WORDS} remind [Outside {round}].\r\n".encode()
            if how == "rename":
                fresh = other + ".tmp"
                write(fresh, read(other) + text)
                os.rename(fresh, other)
            else:
                write(other, read(other) + text)
            wait_listed(app, f"Outside {round}", f"a reload after a change {how}")

        # A Scheme typo: the other reminders stay, the problem is shown.
        typo_line = len(read(other).splitlines()) + 1
        write(other, read(other) + b"(display dayname)\r\n")
        problems = at.find(app, "list", "Problems")
        at.wait_for(lambda: any(f"other.pnd({typo_line})" in c.name for c in at.children(problems)),
                    "the problem with its file and line")
        assert any("Dentist [10:00]" in name for name in items(app)), items(app)
        screenshot(shots, "pendra-problems.png")

        # Double-click a reminder, then a problem: the editor at their lines.
        reminders = at.find(app, "list", "Reminders")
        target = at.wait_for(lambda: next((c for c in at.children(reminders)
                                           if c.name == "From the other file"), None),
                             "the reminder to open")
        x, y, w, h = at.extents(target)
        at.xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2))
        at.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        at.wait_for(lambda: os.path.exists(editor_log) and
                    f"+2 {other}" in open(editor_log).read().splitlines(), "vi +2 other.pnd")
        problem = next(c for c in at.children(problems) if f"other.pnd({typo_line})" in c.name)
        x, y, w, h = at.extents(problem)
        at.xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2))
        at.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        at.wait_for(lambda: f"+{typo_line} {other}" in open(editor_log).read().splitlines(),
                    f"vi +{typo_line} other.pnd")
        # Edit opens the file itself, at the top.
        at.press(at.find(app, "push button", "Edit"))
        at.wait_for(lambda: other in open(editor_log).read().splitlines(), "vi other.pnd")
        process.terminate()
        at.stop(process)

        # pendra FILE: a file without a final line end gets one before the entry.
        bare = os.path.join(work, "bare.pnd")
        write(bare, f"{TODAY_WORDS} remind [Bare file].".encode())
        process, app = start(bare)
        wait_listed(app, "Bare file", "the file named on the command line listed")
        # Every month on this weekday, two days ahead: three days to come.
        form = add_form(app, "Call Anna")
        repeat = at.find(form, "combo box")
        at.key("alt+p", "Down", "Down", "Down")
        at.wait_for(lambda: repeat.name.startswith("Every month on the"), "the weekday repeat")
        at.key("alt+m", "ctrl+a")
        type_text("2")
        nth = ["first", "second", "third", "fourth", "last"][(TODAY.day - 1) // 7]
        entry = f"{nth} {TODAY:%a}".lower() + " previous 2 days remind [Call Anna]."
        at.wait_for(lambda: label_text(form, "Entry") == entry, f"the entry {entry}")
        at.wait_for(lambda: label_text(form, "Next").count(", ") == 2 and
                    label_text(form, "Next").startswith(f"{TODAY:%a} {TODAY.day} {TODAY:%b}"),
                    "the next three days")
        screenshot(shots, "pendra-add.png")
        at.press(at.find(form, "push button", "Add"))
        at.wait_for(lambda: read(bare) == f"{TODAY_WORDS} remind [Bare file].\n{entry}\n".encode(),
                    "a line end, then the entry")
        wait_listed(app, "Call Anna", "the entry listed")
        process.terminate()
        at.stop(process)
        print("pendra keeps the file: all checks passed")
    finally:
        for process in processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
