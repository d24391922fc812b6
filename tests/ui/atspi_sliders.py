"""The window as a screen reader reads it, over the real AT-SPI bus: the sliders read in their
labels' units, a value set through the bus moves the window as keys do, the controls are told
apart by name, and the buttons there only for Enter and Esc and the decorative logo are not
listed. Run under dbus-run-session: atspi_sliders.py XVFB KORVANE
EXAMPLE.mid"""

import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# A loaded machine may take a while to start the window and its bus.
WAIT_SECONDS = 30

# Name, the value read at the start and the range, as the labels beside the sliders count.
SLIDERS = [
    ("Volume", 500, 0, 1000),
    ("Dynamic range", 500, 0, 1000),
    ("Speed", 100, 0, 400),
]

# Controls a screen reader must be able to tell apart by name, with their roles.
NAMED = [
    ("push button", "Browse for the input file"),
    ("push button", "Browse for the output file"),
    ("frame", "Note levels"),
    ("slider", "Playback position"),
]


def wait_for(what, find):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"atspi_sliders: no {what} within {WAIT_SECONDS} s")


def korvane_application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Korvane" and app.get_child_count() > 0:
            return app
    return None


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child
            yield from descendants(child)


def named(app, role, name):
    for node in descendants(app):
        if node.get_role_name() == role and node.get_name() == name:
            return node
    return None


def value(node):
    return round(Atspi.Value.get_current_value(node))


def text(node):
    return Atspi.Text.get_text(node, 0, -1)


def quietest_plotted(plot):
    """The plot's description ends "from LOWEST to HIGHEST": the lowest level it shows."""
    return int(plot.get_description().split()[-3])


def set_value(app, name, target):
    slider = named(app, "slider", name)
    Atspi.Value.set_current_value(slider, target)
    wait_for(f"{name} at {target}", lambda: slider if value(slider) == target else None)


def check(app):
    failures = []
    for name, start, lowest, highest in SLIDERS:
        slider = wait_for(f"slider {name}", lambda: named(app, "slider", name))
        reads = (value(slider), round(Atspi.Value.get_minimum_value(slider)),
                 round(Atspi.Value.get_maximum_value(slider)))
        if reads != (start, lowest, highest):
            failures.append(f"{name} reads {reads}, not {(start, lowest, highest)}")
    # Up is louder for a screen reader as for the eye: the plot shows louder notes.
    plot = named(app, "frame", "Note levels")
    before = quietest_plotted(plot)
    set_value(app, "Volume", 800)
    wait_for("a louder plot", lambda: plot if quietest_plotted(plot) > before else None)
    # A speed set through the bus is the field's, as a key on the slider makes it.
    set_value(app, "Speed", 150)
    field = named(app, "text", "Speed in percent")
    wait_for("the speed field at 150", lambda: field if text(field) == "150" else None)
    listed = {(node.get_role_name(), node.get_name()) for node in descendants(app)}
    names = {name for _, name in listed}
    failures += [f"'{hidden}' is listed" for hidden in ("OK", "Cancel") if hidden in names]
    failures += [f"no {role} '{name}'" for role, name in NAMED if (role, name) not in listed]
    failures += [f"an unnamed {role} is listed" for role, name in listed
                 if not name and role in ("push button", "image", "slider", "text")]
    return failures


def start_display(xvfb):
    """A virtual display on a number the server picks itself, so that runs at once never race for
    one."""
    read, write = os.pipe()
    server = subprocess.Popen([xvfb, "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0",
                               "1280x1024x24"], pass_fds=(write,))
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            sys.exit("atspi_sliders: the virtual display did not start")
        number += chunk
    os.close(read)
    return server, ":" + number.decode().strip()


def main():
    xvfb, korvane, example = sys.argv[1:4]
    server, display = start_display(xvfb)
    try:
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=home, HOME=home)
            window = subprocess.Popen([korvane, example], env=env)
            try:
                app = wait_for("Korvane on the accessibility bus", korvane_application)
                failures = check(app)
            finally:
                window.terminate()
                window.wait(timeout=WAIT_SECONDS)
    finally:
        server.terminate()
        server.wait(timeout=WAIT_SECONDS)
    for failure in failures:
        print("atspi_sliders:", failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
