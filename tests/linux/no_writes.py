"""A run of the Linux program that edits the text, minimizes, restores and
closes writes nothing: no write-type system call (even a failed one) by the
program or any process it starts, and no change in HOME, /tmp, /var/tmp,
/run/user or /dev/shm.

Run inside tools/x-session --wm (no D-Bus session: with one, the D-Bus and
accessibility helpers write files of their own). Where the system lets this
script make a private mount namespace, those folders are fresh, empty
tmpfs mounts in it, so that only this run's changes show, whatever else the
machine is doing; elsewhere only HOME is compared, and that is said.
"""

import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

from notice_driver import NOTICE, geometry, run, wait_for, xprop

SHARED = ["/tmp", "/var/tmp", "/run/user", "/dev/shm"]

# System calls that change a file system, traced whether they succeed or not.
WRITE_CALLS = ("open,openat,openat2,creat,mkdir,mkdirat,rmdir,unlink,unlinkat,rename,"
               "renameat,renameat2,link,linkat,symlink,symlinkat,truncate,ftruncate,chmod,"
               "fchmod,fchmodat,chown,fchown,lchown,fchownat,utime,utimes,utimensat,futimesat,"
               "mknod,mknodat,setxattr,lsetxattr,fsetxattr,removexattr,lremovexattr,"
               "fremovexattr,bind")

# The only writes allowed, each with why. An entry is a regular expression
# matched against a traced call and against a changed file's line.
ALLOWED = [
    (r"/\.cache/fontconfig(/|\"|$| )",
     "fontconfig, under the toolkit, keeps a per-user font cache when the "
     "system's is older than the fonts (none is written where fc-cache has run)"),
]

WRITE_FLAGS = re.compile(r"O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)")


def flagged_calls(log_text):
    """The strace lines that are writes and not on the allowed list."""
    flagged = []
    for line in log_text.splitlines():
        m = re.match(r"^\d+\s+(\w+)\(", line)
        if not m:
            continue  # an exit note or a resumed call's tail
        call = m.group(1)
        if call in ("open", "openat", "openat2") and not WRITE_FLAGS.search(line):
            continue  # read-only opens
        if call == "bind" and 'sun_path=@' in line:
            continue  # abstract sockets live in no file system
        if call == "bind" and "AF_UNIX" not in line:
            continue  # network addresses are no files (and none are expected)
        if allowed(line):
            continue
        flagged.append(line)
    return flagged


def snapshot(roots):
    """Every entry under the roots: path -> (kind, size, mtime, mode)."""
    entries = {}
    for root in roots:
        if not os.path.lexists(root):
            entries[root] = ("absent",)
            continue
        for folder, dirs, files in os.walk(root):
            for name in dirs + files + [""]:
                path = os.path.join(folder, name) if name else folder
                try:
                    st = os.lstat(path)
                except FileNotFoundError:
                    continue
                entries[path] = (stat.S_IFMT(st.st_mode), st.st_size, st.st_mtime_ns,
                                 stat.S_IMODE(st.st_mode))
    return entries


def allowed(line):
    return any(re.search(pattern, line) for pattern, _ in ALLOWED)


def differences(before, after):
    out = []
    for path in sorted(set(before) | set(after)):
        if path not in before:
            out.append(f"added {path}")
        elif path not in after:
            out.append(f"removed {path}")
        elif before[path] != after[path]:
            out.append(f"changed {path}: {before[path]} -> {after[path]}")
    return [line for line in out if not allowed(line)]


def private_namespace_works():
    return subprocess.run(["unshare", "-m", "--propagation", "private", "true"],
                          capture_output=True).returncode == 0


class NoWrites(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.private = os.environ.get("NOTICE_NO_WRITES_PRIVATE") == "1"
        # Made before the mounts hide the session's folder; strace reopens it
        # through /proc, so it lies outside every folder compared.
        cls.log_fd, cls.log_path = tempfile.mkstemp(prefix="strace-", suffix=".log",
                                                    dir=os.environ.get("NOTICE_SESSION_DIR"))
        # The program may live under a folder the fresh mounts hide (a
        # checkout in /tmp): it is run through a handle on its folder, taken
        # while that is still in view and inherited by the traced processes.
        cls.program_dir_fd = os.open(os.path.dirname(os.path.abspath(NOTICE)), os.O_PATH)
        cls.program = f"/proc/self/fd/{cls.program_dir_fd}/{os.path.basename(NOTICE)}"
        if cls.private:
            # Fresh and empty, in this mount namespace only. The X server is
            # reached over its abstract socket, which needs no /tmp.
            for folder in SHARED:
                os.makedirs(folder, exist_ok=True)
                run("mount", "-t", "tmpfs", "-o", "mode=1777", "notice-no-writes", folder)

    @classmethod
    def tearDownClass(cls):
        os.close(cls.program_dir_fd)
        os.close(cls.log_fd)
        if os.path.exists(cls.log_path):
            os.unlink(cls.log_path)

    def setUp(self):
        os.ftruncate(self.log_fd, 0)
        if self.private:
            work = tempfile.mkdtemp(dir="/tmp")
            runtime = f"/run/user/{os.getuid()}"
            os.makedirs(runtime, mode=0o700, exist_ok=True)
            self.roots = SHARED
        else:
            work = tempfile.mkdtemp(dir=os.environ.get("NOTICE_SESSION_DIR"))
            runtime = os.path.join(work, "run")
            os.makedirs(runtime, mode=0o700)
            self.roots = [work]
            print("note: no private mount namespace here: only HOME is compared",
                  file=sys.stderr)
        self.work = work
        home = os.path.join(work, "home")
        for sub in (".config", ".cache", ".local/share", ".local/state"):
            os.makedirs(os.path.join(home, sub))
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("DBUS_", "AT_SPI", "XDG_", "GTK_MODULES"))}
        self.env.update(HOME=home, XDG_CONFIG_HOME=f"{home}/.config",
                        XDG_CACHE_HOME=f"{home}/.cache", XDG_DATA_HOME=f"{home}/.local/share",
                        XDG_STATE_HOME=f"{home}/.local/state", XDG_RUNTIME_DIR=runtime,
                        GTK_IM_MODULE="gtk-im-context-simple", NO_AT_BRIDGE="1")

    def tearDown(self):
        if not self.private:
            shutil.rmtree(self.work, ignore_errors=True)

    def traced_run(self, command):
        """Edits, minimizes, restores, closes; the flagged calls, the changed
        files, the exit status and what the program printed."""
        before = snapshot(self.roots)
        proc = subprocess.Popen(
            ["strace", "-f", "-qq", "-o", f"/proc/self/fd/{self.log_fd}",
             "-e", "trace=" + WRITE_CALLS, "-e", "signal=none"] + command,
            env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, pass_fds=(self.log_fd, self.program_dir_fd))
        try:
            def window():
                # strace's child is the program; find its window by its pid.
                try:
                    with open(f"/proc/{proc.pid}/task/{proc.pid}/children") as f:
                        children = f.read().split()
                except OSError:
                    children = []
                for pid in children:
                    ids = run("xdotool", "search", "--onlyvisible", "--pid", pid,
                              check=False).split()
                    if ids:
                        return int(ids[-1])
                self.assertIsNone(proc.poll(), "notice ended before it showed a window")
                return None
            xid = wait_for(window, 30, "the notice window")
            run("xdotool", "windowactivate", "--sync", str(xid), check=False)
            run("xdotool", "type", "--delay", "40", "edited ")
            run("xdotool", "key", "--delay", "40", "Return", "BackSpace", "Delete")
            # The edit, as the clipboard hands it out.
            run("xdotool", "key", "--delay", "40", "ctrl+a", "ctrl+c")
            wait_for(lambda: run("xclip", "-o", "-selection", "clipboard",
                                 check=False).startswith("edited "), 10, "the edited text")
            run("xdotool", "windowminimize", "--sync", str(xid))
            wait_for(lambda: "HIDDEN" in (xprop(xid, "_NET_WM_STATE") or ""), 10, "minimized")
            run("xdotool", "windowactivate", "--sync", str(xid))
            wait_for(lambda: "HIDDEN" not in (xprop(xid, "_NET_WM_STATE") or ""), 10, "restored")
            geometry(xid)  # still there and mapped
            run("xdotool", "key", "Escape")
            status = proc.wait(15)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait(15)
            stderr = proc.stderr.read().decode(errors="replace")
            proc.stdout.close()
            proc.stderr.close()
        after = snapshot(self.roots)
        os.lseek(self.log_fd, 0, os.SEEK_SET)
        with os.fdopen(os.dup(self.log_fd), encoding="utf-8", errors="replace") as f:
            trace = f.read()
        # The trace saw the program at all: its libraries are opened for reading.
        self.assertRegex(trace, r"openat\(.*libgtk-3", "strace recorded nothing")
        return flagged_calls(trace), differences(before, after), status, stderr

    def test_edit_minimize_restore_close_writes_nothing(self):
        flagged, changed, status, stderr = self.traced_run([self.program])
        self.assertEqual(status, 0)
        self.assertEqual(flagged, [], "write-type system calls")
        self.assertEqual(changed, [], "changed files")
        self.assertEqual(stderr, "", "the program printed something")

    def test_the_checks_see_a_program_that_writes(self):
        # The same run of a program that first leaves a file behind (and
        # fails to make one where it may not) must be caught by both checks.
        writer = ['sh', '-c', 'mkdir "$HOME/.cache/left"; : >"$HOME/.cache/left/x"; '
                  'true >/proc/no-such-file 2>/dev/null; exec "$0"', self.program]
        flagged, changed, status, _ = self.traced_run(writer)
        self.assertEqual(status, 0)
        self.assertTrue([c for c in flagged if "mkdir" in c and "left" in c], flagged)
        self.assertTrue([c for c in flagged if "no-such-file" in c], flagged)
        self.assertTrue([c for c in changed if c.startswith("added") and c.endswith("/left/x")],
                        changed)


def main():
    if os.environ.get("NOTICE_NO_WRITES_PRIVATE") is None and private_namespace_works():
        env = dict(os.environ, NOTICE_NO_WRITES_PRIVATE="1")
        os.execvpe("unshare", ["unshare", "-m", "--propagation", "private", sys.executable,
                               os.path.abspath(__file__)] + sys.argv[1:], env)
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
