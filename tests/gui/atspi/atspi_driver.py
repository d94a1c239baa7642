"""Drives a Qt program through the accessibility tree, as a screen reader
and a user would: finds its widgets over AT-SPI, reads them, presses
buttons and types keys (xdotool). Run under `xvfb-run -a dbus-run-session`;
start_bus() starts the accessibility bus in that session.

Every wait polls for a condition with a generous timeout, never a bare sleep.
"""
import os
import subprocess
import time

import pyatspi

TIMEOUT = 30.0


class Failure(AssertionError):
    pass


def wait_for(condition, what, timeout=TIMEOUT, seen=None):
    """Returns condition()'s first true value; fails naming what after
    timeout, and what seen() gives then."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = condition()
            if value:
                return value
        except Exception as error:  # the tree changes under us: try again
            last_error = error
        time.sleep(0.05)
    message = f"timed out waiting for {what}"
    if last_error:
        message += f" ({last_error})"
    if seen is not None:
        try:
            message += f"; saw {seen()!r}"
        except Exception as error:
            message += f"; could not read it ({error})"
    raise Failure(message)


def start_bus():
    """Starts the accessibility bus of this D-Bus session; returns its process."""
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    wait_for(lambda: pyatspi.Registry.getDesktop(0) is not None, "the accessibility bus")
    return launcher


def start_app(command, env=None):
    """Starts a Qt program with its accessibility published on the bus."""
    environment = dict(os.environ if env is None else env)
    environment["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    environment["QT_QPA_PLATFORM"] = "xcb"
    environment.setdefault("QT_ACCESSIBILITY", "1")
    return subprocess.Popen(command, env=environment)


def application(process, timeout=TIMEOUT):
    """The accessible application of a started process."""
    def found():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == process.pid and app.childCount > 0:
                return app
        return None
    return wait_for(found, f"the application of process {process.pid}", timeout)


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def find_all(root, role=None, name=None):
    """Every node under root (root included) with that role name and name."""
    found = []
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        if (role is None or node.getRoleName() == role) and (name is None or node.name == name):
            found.append(node)
        stack.extend(reversed(children(node)))
    return found


def wait_equal(read, want, what, timeout=TIMEOUT):
    """Waits until read() == want."""
    return wait_for(lambda: read() == want, f"{what}: {want!r}", timeout, read) or True


def find(root, role=None, name=None, timeout=TIMEOUT):
    """The first such node under root, waiting for it to appear."""
    return wait_for(lambda: (find_all(root, role, name) or [None])[0],
                    f"a {role or 'node'} named {name!r}", timeout)


def text_of(node):
    """The text a text-bearing widget shows (an editor, a spin box)."""
    text = node.queryText()
    return text.getText(0, text.characterCount)


def press(node):
    """Does the node's first action: a button's "Press"."""
    node.queryAction().doAction(0)


def extents(node):
    """The node's x, y, width and height on the screen."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def focus(node):
    node.queryComponent().grabFocus()


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def key(*combos):
    """Types key combinations ("alt+Right", "F5") into the focused window."""
    xdotool("key", "--clearmodifiers", *combos)


def window_id(process, timeout=TIMEOUT):
    """The X window of a process (xdotool search --pid)."""
    def found():
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid)],
                                capture_output=True, text=True)
        ids = result.stdout.split()
        return ids[-1] if ids else None
    return wait_for(found, f"the window of process {process.pid}", timeout)


def stop(process, timeout=TIMEOUT):
    """Waits for a process to end; kills it when it does not."""
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise Failure(f"process {process.pid} did not end")
