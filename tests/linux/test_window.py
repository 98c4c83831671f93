"""The real Linux program, started as its own process and driven from outside.

Run inside tools/x-session --wm --bus (the geometry cases also without --wm);
NOTICE_PROGRAM names the program, NOTICE_TEXT_TOOL a helper that prints the
notice the program holds, NOTICE_ICON the .ico the Windows build carries.
"""

import os
import struct
import subprocess
import unittest

from notice_driver import (Program, ask_window_manager_to_close, expected_notice, geometry,
                           run, screen_size, wait_for, window_manager_runs, xprop)

CONTENT = (374, 225)         # what the 380 x 250 classic frame leaves
BOX = (40, 64, 304, 112)     # in the content area

# Content's top-left for each screen the tests run on: where the client area
# of the centred 380 x 250 frame lies (the halving rounds toward zero).
CONTENT_AT = {(1024, 768): (325, 281), (1025, 769): (325, 281),
              (300, 400): (-37, 97), (301, 400): (-36, 97)}


def needs_window_manager(test):
    return unittest.skipUnless(window_manager_runs(), "needs a window manager")(test)


def ico_argb(path):
    """The first image of an .ico as _NET_WM_ICON lists it: ARGB, rows top down."""
    with open(path, "rb") as f:
        data = f.read()
    width, height = data[6] or 256, data[7] or 256
    offset = struct.unpack_from("<I", data, 18)[0]
    header = struct.unpack_from("<I", data, offset)[0]
    pixels = data[offset + header:]
    out = []
    for y in range(height - 1, -1, -1):
        for x in range(width):
            b, g, r, a = pixels[(y * width + x) * 4:(y * width + x) * 4 + 4]
            out.append(a << 24 | r << 16 | g << 8 | b)
    return width, height, out


class OneRun(unittest.TestCase):
    """Cases that only look share one run of the program."""

    @classmethod
    def setUpClass(cls):
        cls.p = Program()

    @classmethod
    def tearDownClass(cls):
        cls.p.close()


class Look(OneRun):
    """What the window manager is told: title, hints, icon, kind of window."""

    def test_title_is_empty(self):
        self.assertEqual(xprop(self.p.xid, "_NET_WM_NAME"), "")
        self.assertEqual(xprop(self.p.xid, "WM_NAME"), "")

    def test_fixed_size_hints_are_the_content_size(self):
        hints = run("xprop", "-id", str(self.p.xid), "WM_NORMAL_HINTS")
        self.assertIn("program specified minimum size: %d by %d" % CONTENT, hints)
        self.assertIn("program specified maximum size: %d by %d" % CONTENT, hints)

    def test_window_manager_may_move_minimize_and_close_only(self):
        # _MOTIF_WM_HINTS: flags, functions, decorations, ...
        fields = [int(v, 16) for v in xprop(self.p.xid, "_MOTIF_WM_HINTS").split(", ")]
        functions, decorations = fields[1], fields[2]
        move, minimize, close = 4, 8, 32  # and not resize (2) or maximize (16)
        self.assertEqual(functions, move | minimize | close)
        border, title, menu, minimize_box = 2, 8, 16, 32  # no sizing border, no maximize box
        self.assertEqual(decorations, border | title | menu | minimize_box)

    @needs_window_manager
    def test_window_manager_offers_no_resize_or_maximize(self):
        actions = xprop(self.p.xid, "_NET_WM_ALLOWED_ACTIONS")
        for allowed in ("_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"):
            self.assertIn(allowed, actions)
        for refused in ("_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                        "_NET_WM_ACTION_MAXIMIZE_VERT"):
            self.assertNotIn(refused, actions)

    def test_white_box_with_a_frame_on_the_themes_background(self):
        left, top, _, _ = geometry(self.p.xid)
        bx, by, bw, bh = BOX
        shot = subprocess.run(["import", "-window", "root", "png:-"], capture_output=True,
                              check=True, timeout=20).stdout

        def pixel(x, y):
            out = subprocess.run(["convert", "png:-", "-format",
                                  f"%[fx:int(255*p{{{left + x},{top + y}}}.r)],"
                                  f"%[fx:int(255*p{{{left + x},{top + y}}}.g)],"
                                  f"%[fx:int(255*p{{{left + x},{top + y}}}.b)]", "info:"],
                                 input=shot, capture_output=True, check=True, timeout=20)
            return tuple(int(v) for v in out.stdout.split(b","))

        background = pixel(5, 5)
        self.assertEqual(pixel(bx + bw - 4, by + bh - 4), (255, 255, 255))  # inside, no text
        self.assertNotEqual(background, (255, 255, 255))
        self.assertEqual(pixel(bx - 2, by + bh // 2), background)
        frame = pixel(bx, by + bh // 2)
        self.assertLess(sum(frame), sum(background), "the box's frame should show")

    @needs_window_manager
    def test_neither_resized_nor_maximized_by_the_window_manager(self):
        before = geometry(self.p.xid)
        run("xdotool", "windowsize", str(self.p.xid), "600", "400")
        # A double click on the title bar is openbox's maximize.
        left, top, width, _ = before
        run("xdotool", "mousemove", str(left + width // 2), str(top - 10), "click",
            "--repeat", "2", "--delay", "80", "1")
        # A later change of state would come after this round trip to openbox.
        run("xdotool", "windowactivate", "--sync", str(self.p.xid), check=False)
        self.assertEqual(geometry(self.p.xid), before)
        self.assertNotIn("MAXIMIZED", xprop(self.p.xid, "_NET_WM_STATE") or "")

    def test_icon_is_the_windows_programs_picture(self):
        out = run("xprop", "-id", str(self.p.xid), "-notype", "-f", "_NET_WM_ICON", "32c",
                  "_NET_WM_ICON")
        values = [int(v) for v in out.split("=", 1)[1].split(",")]
        width, height, argb = ico_argb(os.environ["NOTICE_ICON"])
        self.assertEqual(values[:2], [64, 64])
        self.assertEqual((width, height), (64, 64))
        self.assertEqual(values[2:2 + 64 * 64], argb)

    def test_one_ordinary_top_level_window(self):
        ids = run("xdotool", "search", "--onlyvisible", "--pid", str(self.p.proc.pid)).split()
        self.assertEqual(ids, [str(self.p.xid)])
        self.assertEqual(xprop(self.p.xid, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_NORMAL")
        self.assertIsNone(xprop(self.p.xid, "WM_TRANSIENT_FOR"))
        state = xprop(self.p.xid, "_NET_WM_STATE") or ""
        for absent in ("SKIP_TASKBAR", "ABOVE", "MAXIMIZED"):
            self.assertNotIn(absent, state)


class Geometry(unittest.TestCase):
    """Size and place; run once on each screen of CONTENT_AT."""

    def test_content_is_placed_and_sized_and_the_box_in_it(self):
        screen = screen_size()
        self.assertIn(screen, CONTENT_AT, "a screen these tests have no expectation for")
        with Program() as p:
            self.assertEqual(geometry(p.xid), CONTENT_AT[screen] + CONTENT)
            # The scroll pane is the box with its sunken frame.
            import pyatspi
            e = p.scroll_pane().queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            self.assertEqual((e.x, e.y, e.width, e.height), BOX)


class Text(OneRun):
    """The box on opening."""

    def test_holds_the_notice_with_line_breaks(self):
        self.assertEqual(self.p.text(), expected_notice())

    def test_caret_at_the_start_nothing_selected_focus_in_the_box(self):
        self.assertEqual(self.p.caret(), 0)
        self.assertEqual(self.p.selections(), 0)
        self.assertTrue(self.p.box_focused())

    def test_first_line_in_view_and_long_lines_wrap_without_scroll_bars(self):
        bx, by, bw, bh = self.p.box_extents()
        x0, y0, _, h0 = self.p.char_box(0)
        self.assertTrue(by <= y0 and y0 + h0 <= by + bh, (self.p.box_extents(), (x0, y0)))
        first_line = expected_notice().split("\n")[0]
        xl, yl, wl, _ = self.p.char_box(len(first_line) - 1)
        self.assertGreater(yl, y0, "the first line should wrap at the box's width")
        self.assertLessEqual(xl + wl, bx + bw)
        self.assertEqual(self.p.showing_scroll_bars(), [])


class Keys(unittest.TestCase):
    """Keys typed through the X server; each case starts afresh."""

    def setUp(self):
        self.p = Program()
        self.p.focus()
        self.notice = expected_notice()

    def tearDown(self):
        self.p.close()

    def type_marker(self):
        # A typed letter after the keys proves they have all been handled.
        self.p.type("z")

    def test_keys_that_insert_nothing_or_a_line_break(self):
        cases = [  # name, keys, what the box then holds before the notice
            ("Tab", ["Tab"], ""),
            ("ShiftTab", ["shift+Tab"], ""),
            ("CtrlTab", ["ctrl+Tab"], ""),
            ("KeypadTab", ["KP_Tab"], ""),
            ("Enter", ["Return"], "\n"),
            ("KeypadEnter", ["KP_Enter"], "\n"),
            ("ShiftEscDoesNotClose", ["shift+Escape"], ""),
            ("CtrlEscDoesNotClose", ["ctrl+Escape"], ""),
            ("AltEscDoesNotClose", ["alt+Escape"], ""),
        ]
        for name, keys, inserted in cases:
            with self.subTest(name):
                self.p.keys("ctrl+a", "Delete")
                self.p.wait_text("")
                run("xdotool", "type", "--delay", "20", "ab")
                self.p.keys("Home", *keys)
                self.type_marker()
                self.p.wait_text(inserted + "zab")
                self.assertTrue(self.p.running())
                self.assertTrue(self.p.box_focused())

    def test_esc_cancelling_a_composition_does_not_close(self):
        # Ctrl+Shift+U starts a composition in GTK's own input method; the
        # Esc that cancels it belongs to the box.
        self.p.keys("ctrl+shift+u", "Escape")
        self.type_marker()
        self.p.wait_text("z" + self.notice)
        self.assertTrue(self.p.running())
        self.p.keys("Escape")
        self.assertEqual(self.p.wait_exit(), 0)

    def test_caret_below_the_last_visible_line_scrolls_the_box(self):
        _, by, _, bh = self.p.box_extents()
        self.p.keys(*["Return"] * 12)
        self.p.wait_text("\n" * 12 + self.notice)
        wait_for(lambda: self.p.char_box(12)[1] < by + bh, 10, "the caret's line in view")
        self.assertLess(self.p.char_box(0)[1], by, "the first line should have scrolled away")
        self.p.keys(*["Up"] * 12)
        wait_for(lambda: self.p.caret() == 0, 10, "the caret back at the start")
        wait_for(lambda: self.p.char_box(0)[1] >= by, 10, "the first line back in view")
        self.assertEqual(self.p.showing_scroll_bars(), [])

    def test_clipboard_copy_cut_and_paste(self):
        self.p.keys("ctrl+a", "ctrl+c")
        wait_for(lambda: run("xclip", "-o", "-selection", "clipboard", check=False)
                 == self.notice, 10, "the notice on the clipboard")
        self.p.keys("ctrl+a", "ctrl+x")
        self.p.wait_text("")
        self.p.keys("ctrl+v", "ctrl+v")
        self.p.wait_text(self.notice * 2)

    def test_context_menu_offers_the_editing_commands(self):
        import pyatspi
        bx, by, bw, bh = self.p.box_extents()
        run("xdotool", "mousemove", str(bx + bw // 2), str(by + bh // 2), "click", "3")

        def menu_items():
            app = self.p.box
            while app.getRole() != pyatspi.ROLE_APPLICATION:
                app = app.parent
            app.clear_cache()
            items = pyatspi.findAllDescendants(
                app, lambda a: a.getRole() == pyatspi.ROLE_MENU_ITEM and
                a.getState().contains(pyatspi.STATE_SHOWING))
            return [i.name for i in items]

        names = wait_for(menu_items, 10, "the context menu")
        for command in ("Cut", "Copy", "Paste", "Delete", "Select All"):
            self.assertIn(command, [n.replace("_", "") for n in names])
        self.assertFalse([n for n in names if "Emoji" in n], names)
        # Esc closes the menu, not the window.
        self.p.keys("Escape")
        wait_for(lambda: not menu_items(), 10, "the menu to close")
        self.type_marker()
        self.p.wait_text("z" + self.notice)
        self.assertTrue(self.p.running())

    @needs_window_manager
    def test_selection_is_hidden_while_another_window_is_active(self):
        bx, by, bw, bh = self.p.box_extents()

        def saturation():
            # Mean colour saturation of the box on the screen: the selection
            # is the only coloured thing in it.
            shot = subprocess.run(["import", "-window", "root", "-crop", f"{bw}x{bh}+{bx}+{by}",
                                   "png:-"], capture_output=True, check=True, timeout=20).stdout
            out = subprocess.run(["convert", "png:-", "-colorspace", "HSL", "-channel", "G",
                                  "-separate", "-format", "%[fx:mean]", "info:"], input=shot,
                                 capture_output=True, check=True, timeout=20).stdout
            return float(out)

        self.p.keys("ctrl+a")
        wait_for(lambda: saturation() > 0.3, 10, "the selection to show")
        other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "another window"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            # xmessage sets no _NET_WM_PID: found by its class.
            xid = wait_for(lambda: run("xdotool", "search", "--onlyvisible", "--classname",
                                       "^xmessage$", check=False).split(), 10,
                           "the other window")[-1]
            run("xdotool", "windowactivate", "--sync", xid, check=False)
            wait_for(lambda: not self.p.box_focused(), 10, "the box to lose the focus")
            wait_for(lambda: saturation() < 0.05, 10, "the selection to be hidden")
        finally:
            other.kill()
            other.wait()
        self.p.focus()
        wait_for(lambda: saturation() > 0.3, 10, "the selection to show again")
        self.assertEqual(self.p.selections(), 1)

    @needs_window_manager
    def test_minimize_and_restore_give_the_focus_back_to_the_box(self):
        run("xdotool", "windowminimize", "--sync", str(self.p.xid))
        wait_for(lambda: "_NET_WM_STATE_HIDDEN" in (xprop(self.p.xid, "_NET_WM_STATE") or ""),
                 10, "the window to be minimized")
        wait_for(lambda: not self.p.box_focused(), 10, "the box to lose the focus")
        run("xdotool", "windowactivate", "--sync", str(self.p.xid))
        wait_for(lambda: "_NET_WM_STATE_HIDDEN" not in (xprop(self.p.xid, "_NET_WM_STATE") or ""),
                 10, "the window to be restored")
        wait_for(self.p.box_focused, 10, "the box to have the focus again")
        self.type_marker()
        self.p.wait_text("z" + self.notice)


class Closing(unittest.TestCase):
    """Each way to close ends the process with status 0."""

    def close_box_click(self, p):
        # openbox draws the close button at the right end of its title bar.
        left, top, width, _ = geometry(p.xid)
        run("xdotool", "mousemove", str(left + width - 11), str(top - 11), "click", "1")

    def test_ways_to_close(self):
        cases = [("Escape", lambda p: p.keys("Escape"), False),
                 ("AltF4", lambda p: p.keys("alt+F4"), True),
                 ("CloseButton", self.close_box_click, True),
                 ("WindowManagerClose", lambda p: ask_window_manager_to_close(p.xid), True)]
        for name, close, wm_only in cases:
            with self.subTest(name):
                if wm_only and not window_manager_runs():
                    self.skipTest("needs a window manager")
                with Program() as p:
                    p.focus()
                    close(p)
                    self.assertEqual(p.wait_exit(), 0)

    def test_edits_are_not_kept_for_the_next_start(self):
        with Program() as p:
            p.focus()
            p.type("changed ")
            # 改 through GTK's own Unicode entry: xdotool would have to remap a
            # key for it, which races with the program reading the keymap.
            p.keys("ctrl+shift+u")
            p.type("6539")
            p.keys("space", "Delete")
            wait_for(lambda: p.text().startswith("changed 改"), 10, "the typed text")
            p.keys("Escape")
            self.assertEqual(p.wait_exit(), 0)
        with Program() as again:
            self.assertEqual(again.text(), expected_notice())


class Start(unittest.TestCase):
    """Starts that do not go the usual way."""

    def test_without_the_cp936_converter_the_utf8_copy_is_shown(self):
        env = {"LD_PRELOAD": os.environ["NOTICE_NO_CP936"]}
        with Program(env=env) as p:
            self.assertEqual(p.text(), expected_notice())
            p.keys("Escape")
            self.assertEqual(p.wait_exit(), 0)
        self.assertIn("refused CP936", p.stderr)

    def test_no_display_gives_one_line_and_a_failure_status(self):
        env = dict(os.environ)
        cases = [("DisplayUnset", None), ("NoSuchDisplay", ":987"), ("Garbage", "no-such-host:x")]
        for name, display in cases:
            with self.subTest(name):
                env.pop("DISPLAY", None)
                if display:
                    env["DISPLAY"] = display
                r = subprocess.run([os.environ.get("NOTICE_PROGRAM", "build/linux/notice")],
                                   env=env, capture_output=True, text=True, timeout=30)
                self.assertNotEqual(r.returncode, 0)
                self.assertEqual(r.stdout, "")
                lines = r.stderr.splitlines()
                self.assertEqual(len(lines), 1, r.stderr)
                self.assertIn("cannot open the display", lines[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
