#!/usr/bin/python3
"""The main window as assistive technology and the keyboard alone meet it.

access_walk.py CORVANE [--dump]: starts CORVANE (its folder is its settings
folder) on $DISPLAY with Qt's accessibility on, finds it on the session's
accessibility bus and prints its tree (name [role]) indented. Without --dump
it then checks the tree (names, roles, no repeats within a frame, pick lists
named by their label and telling their item, nothing of the off-window
button), Tab and Shift+Tab around every tab, some Alt shortcuts and Escape on
the Help window.
"""
import os, subprocess, sys, time
import faulthandler
import pyatspi
from gi.repository import GLib

faulthandler.dump_traceback_later(500, exit=True)

ROLES = {"push button", "toggle button", "combo box", "scroll bar", "text", "entry", "label", "panel",
         "filler", "frame", "page tab list", "page tab", "window", "grouping", "status bar", "check box", "layered pane",
         "image"}
TOP = ["Profile", "Start", "Hide Settings", "Help"]
BOTTOM = ["Cancel", "Save", "Save As", "Delete", "Tollan Home Page", "Status"]
PAIRS = lambda *names: [n + s for n in names for s in ("", " value")]
TABS = {  # alt key, the tab's name, what Tab reaches in its frames
    "k": ("Tracker", ["Model", "Location", "Port speed", "Mode"] + PAIRS("Magnetic filter", "Jitter filter", "Tilt filter")),
    # The default profile's tracker mode, "Mouse Emulation", has no side-side
    # movement: its controls and the lean mappings are disabled, out of Tab's way.
    "u": ("Mouse", ["Mode"] + PAIRS("Left-right smoothing", "Up-down smoothing", "Left-right speed", "Up-down speed")),
    "y": ("Keyboard", ["Mode"] + [n for b in ("Turn Left", "Turn Right", "Look Up", "LookDown")
                                  for n in (b, b.replace("LookDown", "Look down").capitalize() + " keys")]),
    "r": ("Other", ["Start", "Start keys", "Stop", "Stop keys"] + PAIRS("Update delay")
          + ["Output monitor: turn", "Output monitor: up-down", "Output monitor: lean", "Output monitor: keys sent"]),
}
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what, file=sys.stderr)


def wait_for(what, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        try:
            found = what()
            if found:
                return found
        except Exception:
            pass
        time.sleep(0.2)
    return None


def nodes(acc, depth=0):
    yield acc, depth
    # A text box's children are its scroll area's own parts, a pick list's its
    # drop-down list (check_pick_list): not controls.
    for i in range(0 if acc.getRoleName() in ("text", "combo box") else acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child, depth + 1)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def labels_another(acc):
    return any(r.getRelationType() == pyatspi.RELATION_LABEL_FOR for r in acc.getRelationSet())


def check_tree(window):
    for acc, _ in nodes(window):
        role, name = acc.getRoleName(), acc.name
        if "dummy" in name.lower():
            fail(f"the off-window button is exposed as {name!r} [{role}]")
        if not name and role != "image":
            fail(f"a {role} without a name under {acc.parent.name!r}")
        if role not in ROLES:
            fail(f"{name!r} has the unexpected role {role}")
        # A label that names its buddy carries the buddy's name by design.
        names = [c.name for c in (acc if role != "text" else []) if not (c.getRoleName() == "label" and labels_another(c))]
        repeats = {n for n in names if names.count(n) > 1}
        if repeats:
            fail(f"within {name!r} these names repeat: {sorted(repeats)}")
        if role == "combo box":
            if name in ("My Sim", "COM 1", "Ambrel", "Mouse Emulation", "Mouse Event", "Disabled", "19200 Kbps"):
                fail(f"the pick list {name!r} is named by its value")
            check_pick_list(acc)


def check_pick_list(acc):
    """A pick list tells its item as its text, and its drop-down list is its
    child and opens on request."""
    try:
        value = acc.queryText().getText(0, -1)
    except NotImplementedError:
        value = None
    if not value:
        fail(f"the pick list {acc.name!r} does not tell its item as its text")
    if acc.name == "Location" and value != "COM 1":
        fail(f"the Location list tells {value!r}, not COM 1")
    items = acc.getChildAtIndex(0) if acc.childCount == 1 else None
    if items is None or value not in [c.name for c in items]:
        fail(f"the pick list {acc.name!r} has not its items as its child")
    action = acc.queryAction()  # every control offers at least SetFocus
    if "ShowMenu" not in [action.getName(i) for i in range(action.nActions)]:
        fail(f"the pick list {acc.name!r} cannot be opened by a reader")


class Focus:
    """The names of the controls that took the focus, in order, from the bus's
    focus events: one event per step instead of a question per control."""

    def __init__(self):
        self.names = []
        pyatspi.Registry.registerEventListener(self.took, "object:state-changed:focused")

    def took(self, event):
        if event.detail1:
            self.names.append(event.source.name)

    def next(self, timeout=3):
        end = time.time() + timeout
        while not self.names and time.time() < end:
            pump(0.02)
        return self.names.pop(0) if self.names else None


def pump(seconds):
    context, end = GLib.MainContext.default(), time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)
    pump(0.1)


def walk_tab(focus, direction, expected):
    focus.names.clear()
    key("alt+f")  # the profile list; no event when it has the focus already
    seen = [focus.next(1) or expected[0]]
    for _ in range(len(expected) + 2):
        key(direction)
        now = focus.next()
        if now == seen[0] or now is None:
            break
        seen.append(now)
    return seen


def main():
    corvane, dump = sys.argv[1], "--dump" in sys.argv
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    # On the bus before the program starts, so that it finds the bus there.
    desktop = pyatspi.Registry.getDesktop(0)
    focus = Focus()
    program = subprocess.Popen([os.path.abspath(corvane)], cwd=os.path.dirname(os.path.abspath(corvane)), env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = wait_for(lambda: next(w for app in desktop if app for w in app if w and w.name == "Tollan Corvane"))
        if window is None:
            sys.exit("access_walk: the window did not come onto the accessibility bus")
        wid = subprocess.run(["xdotool", "search", "--sync", "--pid", str(program.pid), "--name", "^Tollan Corvane$"],
                             capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", wid])
        find = lambda name: next(a for a, _ in nodes(window) if a.name == name)
        if dump:
            find("Show Settings").queryAction().doAction(0)
            time.sleep(0.5)
        else:
            key("alt+n")  # Show Settings
            if not wait_for(lambda: find("Hide Settings"), 5):
                fail("Alt+N did not show the settings")
        for acc, depth in nodes(window):
            print("  " * depth + f"{acc.name} [{acc.getRoleName()}]")
        if dump:
            return
        check_tree(window)
        print("tree checked", file=sys.stderr)
        for letter, (tab, frames) in TABS.items():
            key(f"alt+{letter}")
            if not wait_for(lambda: any(showing(find(n)) for n in frames[1:]), 5):
                fail(f"Alt+{letter.upper()} did not show the {tab} tab")
            if tab == "Keyboard":
                key("alt+m", "Down")  # a key mode that enables the mappings
            expected = TOP + [tab] + frames + BOTTOM
            forward = walk_tab(focus, "Tab", expected)
            backward = walk_tab(focus, "shift+Tab", expected[:1] + expected[:0:-1])
            print(f"Tab on {tab}: " + " > ".join(map(str, forward)))
            if forward != expected:
                fail(f"Tab on {tab} went {forward}, not {expected}")
            if backward != expected[:1] + expected[:0:-1]:
                fail(f"Shift+Tab on {tab} went {backward}")
        key("alt+k")
        focus.names.clear()
        key("alt+l")
        took = focus.next()
        if took != "Location":
            fail(f"Alt+L focused {took!r}, not the Location list")
        key("alt+h")
        info = wait_for(lambda: next(w for app in desktop if app for w in app if w and w.name == "Corvane Information"))
        active = info and wait_for(lambda: info.getState().contains(pyatspi.STATE_ACTIVE), 5)
        if info and not active and not os.environ.get("CORVANE_WM"):
            # Without a window manager nothing gives a new window the focus.
            subprocess.run(["xdotool", "search", "--sync", "--name", "^Corvane Information$", "windowfocus", "--sync"])
            active = wait_for(lambda: info.getState().contains(pyatspi.STATE_ACTIVE), 5)
        if not active:
            fail("Alt+H did not open the Help window")
        else:
            key("Escape")
            if not wait_for(lambda: not info.getState().contains(pyatspi.STATE_SHOWING), 5):
                fail("Escape did not close the Help window")
    finally:
        program.kill()
        program.wait()
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
