"""Drives the real Linux notice program from outside, as a user would.

Keys and typing go through the X server with xdotool; sizes, hints, title,
icon and position are read with xprop and xwininfo; what cannot be seen from
outside (the box's text, caret, selection, focus, character positions) is
read through the accessibility interface (AT-SPI), which needs a D-Bus
session (tools/x-session --bus).

Every wait is a bounded poll on a condition, so a loaded machine makes the
tests slower, not wrong.
"""

import ctypes
import os
import re
import subprocess
import time

NOTICE = os.environ.get("NOTICE_PROGRAM", "build/linux/notice")
START_TIMEOUT = 30.0
EXIT_TIMEOUT = 15.0


class Timeout(AssertionError):
    pass


def wait_for(condition, timeout=10.0, what="condition", interval=0.05):
    """Polls condition() until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def run(*args, timeout=20.0, check=True):
    result = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
    if check and result.returncode != 0:
        raise AssertionError(f"{' '.join(args)} failed ({result.returncode}): {result.stderr}")
    return result.stdout


def expected_notice():
    """The notice as the box shows it: the program's UTF-8 copy with LF breaks."""
    tool = os.environ["NOTICE_TEXT_TOOL"]
    raw = subprocess.run([tool], capture_output=True, check=True, timeout=20).stdout
    return raw.decode("utf-8").replace("\r\n", "\n")


def screen_size():
    out = run("xwininfo", "-root")
    return (int(re.search(r"Width: (\d+)", out).group(1)),
            int(re.search(r"Height: (\d+)", out).group(1)))


def window_manager_runs():
    return "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)


def xprop(xid, name):
    """One property of a window as xprop prints it, or None when it is unset."""
    out = run("xprop", "-id", str(xid), name, check=False)
    if "not found" in out or "no such atom" in out or not out.strip():
        return None
    return out.split("=", 1)[1].strip() if "=" in out else out.split(":", 1)[1].strip()


def geometry(xid):
    """Client area of the window on the screen: left, top, width, height."""
    out = run("xwininfo", "-id", str(xid))
    get = lambda label: int(re.search(label + r":\s+(-?\d+)", out).group(1))
    return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"),
            get("Height"))


class _XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessage), ("pad", ctypes.c_long * 24)]


def ask_window_manager_to_close(xid):
    """Sends _NET_CLOSE_WINDOW, what a taskbar's or pager's Close does."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(_XEvent)]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    assert display, "cannot open the display"
    event = _XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = xid
    event.xclient.message_type = x.XInternAtom(display, b"_NET_CLOSE_WINDOW", 0)
    event.xclient.format = 32
    event.xclient.data[0] = 0  # timestamp: none
    event.xclient.data[1] = 2  # source: a pager
    substructure = (1 << 19) | (1 << 20)  # SubstructureNotify | SubstructureRedirect
    x.XSendEvent(display, x.XDefaultRootWindow(display), 0, substructure, ctypes.byref(event))
    x.XCloseDisplay(display)  # flushes


class Program:
    """One run of the real program; ended (and waited for) by close()."""

    def __init__(self, env=None, accessible=True):
        full_env = dict(os.environ)
        full_env.update(env or {})
        self.proc = subprocess.Popen([NOTICE], env=full_env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self._box = None
        try:
            self.xid = wait_for(self._find_window, START_TIMEOUT, "the notice window to map")
            if accessible:
                self._box = wait_for(self._find_box, START_TIMEOUT, "the text box over AT-SPI")
                wait_for(lambda: self.box_focused(), 10, "the box to take the focus")
        except BaseException:
            self.close()
            raise

    def _find_window(self):
        if self.proc.poll() is not None:
            raise AssertionError(f"notice ended with status {self.proc.returncode} before it "
                                 f"showed a window: {self.proc.stderr.read().decode()}")
        # A window can vanish mid-search; an empty or failed search is retried.
        out = run("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid), check=False)
        ids = [int(line) for line in out.split()]
        return ids[-1] if ids else None

    def _find_box(self):
        import pyatspi
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is None or app.get_process_id() != self.proc.pid:
                    continue
            except Exception:
                continue
            found = pyatspi.findDescendant(app, lambda a: a.getRole() == pyatspi.ROLE_TEXT)
            if found is not None:
                return found
        return None

    # What the box holds, through AT-SPI.
    @property
    def box(self):
        assert self._box is not None, "started without the accessibility interface"
        return self._box

    def text(self):
        t = self.box.queryText()
        return t.getText(0, -1)

    def caret(self):
        return self.box.queryText().caretOffset

    def selections(self):
        return self.box.queryText().getNSelections()

    def box_focused(self):
        import pyatspi
        self.box.clear_cache()  # states are cached from events no loop here reads
        return self.box.getState().contains(pyatspi.STATE_FOCUSED)

    def char_box(self, offset):
        """A character's rectangle on the screen: x, y, width, height."""
        import pyatspi
        e = self.box.queryText().getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
        return tuple(e)

    def box_extents(self, relative_to_window=False):
        import pyatspi
        coords = pyatspi.WINDOW_COORDS if relative_to_window else pyatspi.DESKTOP_COORDS
        e = self.box.queryComponent().getExtents(coords)
        return (e.x, e.y, e.width, e.height)

    def scroll_pane(self):
        return self.box.parent

    def showing_scroll_bars(self):
        import pyatspi
        bars = [c for c in self.scroll_pane() if c.getRole() == pyatspi.ROLE_SCROLL_BAR]
        for bar in bars:
            bar.clear_cache()
        return [b for b in bars if b.getState().contains(pyatspi.STATE_SHOWING)]

    def wait_text(self, expected, timeout=10):
        wait_for(lambda: self.text() == expected, timeout, f"the box to hold {expected[:40]!r}...")

    # Input through the X server.
    def focus(self):
        if not window_manager_runs():
            # No one to ask for activation: give the window the keyboard directly.
            run("xdotool", "windowfocus", "--sync", str(self.xid), check=False)
            return
        run("xdotool", "windowactivate", "--sync", str(self.xid), check=False)
        wait_for(lambda: run("xdotool", "getactivewindow", check=False).strip() == str(self.xid),
                 10, "the window to be active")

    def keys(self, *keys):
        run("xdotool", "key", "--clearmodifiers", "--delay", "40", *keys)

    def type(self, text):
        run("xdotool", "type", "--delay", "40", text)

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(EXIT_TIMEOUT)
        self.stderr = self.proc.stderr.read().decode(errors="replace")
        self.proc.stdout.close()
        self.proc.stderr.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
