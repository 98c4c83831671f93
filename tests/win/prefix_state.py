"""What a Wine prefix holds, for telling whether a program wrote anything.

  prefix_state.py snapshot PREFIX OUT   record the files and the registry
  prefix_state.py compare BEFORE AFTER  print every difference that is not
                                        Wine's own housekeeping; exit 1 if any

Files are compared by type, size, modification time and link target. The
registry files are compared by their keys and values, not their bytes:
Wine rewrites them whole on every shutdown, with fresh time stamps.
"""
import json
import os
import re
import sys

REGISTRY_FILES = ("system.reg", "user.reg", "userdef.reg")

# Wine's own housekeeping at every start of a prefix, whatever program runs:
# (what, pattern, why). A value is named "KEY|VALUE".
ALLOWED = [
    ("file", r"", "the prefix folder itself: Wine replaces its registry files there on shutdown"),
    ("file", r"dosdevices(/com\d+)?",
     "the device manager recreates the serial-port links in dosdevices at every start"),
    ("value",
     r"System\\CurrentControlSet\\Control\\Class\\\{4D36E968-E325-11CE-BFC1-08002BE10318\}\\\d{4}"
     r"\|\"DriverDate(Data)?\"",
     "the X11 display driver records the display adapter with the time it started"),
    ("value", r"System\\CurrentControlSet\\Enum\\DISPLAY\\[^|]*\\Properties\\[^|]*\|@",
     "the X11 display driver records the monitor's rectangles, which follow the screen's size"),
]


def allowed(kind, name):
    for what, pattern, _ in ALLOWED:
        if what == kind and re.fullmatch(pattern, name):
            return True
    return False


def read_registry(path):
    """{key: {value name: data}} from a Wine .reg file."""
    keys, current, pending = {}, None, ""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if pending:
                line, pending = pending + line.lstrip(), ""
            if line.endswith("\\") and current is not None and not line.startswith("["):
                pending = line[:-1]
                continue
            if line.startswith("["):
                # "[Key\\Path] 1700000000": the number is a time stamp.
                current = re.sub(r"\]\s+\d+$", "]", line)[1:-1].replace("\\\\", "\\")
                keys.setdefault(current, {})
            elif current is not None and line and not line.startswith(("#time=", ";")):
                if line.startswith("#"):
                    keys[current][line] = ""  # a class or link marker of the key
                else:
                    name, _, data = line.partition("=")
                    keys[current][name] = data
    return keys


def snapshot(prefix):
    files = {}
    for top, dirs, names in os.walk(prefix):
        # Each folder once, as it is walked; links to folders are not walked.
        links = [d for d in dirs if os.path.islink(os.path.join(top, d))]
        for path in [top] + [os.path.join(top, n) for n in names + links]:
            rel = os.path.relpath(path, prefix).replace(os.sep, "/")
            rel = "" if rel == "." else rel
            if rel in REGISTRY_FILES:
                continue
            st = os.lstat(path)
            kind = "l" if os.path.islink(path) else "d" if os.path.isdir(path) else "f"
            files[rel] = [kind, st.st_size if kind == "f" else 0, st.st_mtime_ns,
                          os.readlink(path) if kind == "l" else ""]
    registry = {}
    for name in REGISTRY_FILES:
        path = os.path.join(prefix, name)
        if os.path.exists(path):
            for key, values in read_registry(path).items():
                registry[f"{name}:{key}"] = values
    return {"files": files, "registry": registry}


def compare(before, after):
    faults = []
    for rel in sorted(set(before["files"]) | set(after["files"])):
        a, b = before["files"].get(rel), after["files"].get(rel)
        if a != b and not allowed("file", rel):
            change = "added" if a is None else "removed" if b is None else "changed"
            faults.append(f"file {change}: {rel or '.'}")
    for key in sorted(set(before["registry"]) | set(after["registry"])):
        a, b = before["registry"].get(key), after["registry"].get(key)
        if a == b:
            continue
        short = key.split(":", 1)[1]
        if a is None or b is None:
            if not allowed("value", short + "|"):
                faults.append(f"registry key {'added' if a is None else 'removed'}: {key}")
            continue
        for name in sorted(set(a) | set(b)):
            if a.get(name) != b.get(name) and not allowed("value", f"{short}|{name}"):
                faults.append(f"registry value changed: {key} {name}: {a.get(name)} -> {b.get(name)}")
    return faults


def main(argv):
    if len(argv) == 4 and argv[1] == "snapshot":
        with open(argv[3], "w", encoding="utf-8") as f:
            json.dump(snapshot(argv[2]), f)
        return 0
    if len(argv) == 4 and argv[1] == "compare":
        with open(argv[2], encoding="utf-8") as f:
            before = json.load(f)
        with open(argv[3], encoding="utf-8") as f:
            after = json.load(f)
        faults = compare(before, after)
        for fault in faults:
            print(fault)
        print(f"{len(faults)} difference(s) beyond Wine's own housekeeping")
        return 1 if faults else 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
