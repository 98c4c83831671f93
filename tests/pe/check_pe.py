#!/usr/bin/python3
"""Checks a built notice.exe: what it runs on, what it loads, how it is
hardened and which resources it carries.

    /usr/bin/python3 check_pe.py --exe notice.exe --arch x86 [--check NAME]
    /usr/bin/python3 check_pe.py --list

Prints one PASS or FAIL line per check, a failure with what was found, and
exits 1 when any check fails. Reads the file with pefile (Debian's
python3-pefile); only the icon and manifest payloads are decoded here.
"""

import argparse
import re
import struct
import sys
import xml.etree.ElementTree as ET

ARCHES = {
    # arch: machine, optional-header magic, manifest processorArchitecture
    "x86": (0x14C, 0x10B, "x86"),
    "x64": (0x8664, 0x20B, "amd64"),
}

SUBSYSTEM_WINDOWS_GUI = 2

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"}
ALLOWED_DLL_PATTERN = re.compile(r"api-ms-win-crt-[a-z0-9-]+\.dll")
# The MinGW runtime DLLs: a build that needs one of them does not run on its own.
RUNTIME_DLLS = {"libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll",
                "libwinpthread-1.dll"}
REQUIRED_USER32 = {"CreateWindowExW", "GetMessageW"}
ANSI_USER32 = {"CreateWindowExA", "SetWindowTextA", "DefWindowProcA", "DispatchMessageA"}

DYNAMIC_BASE = 0x40
NX_COMPAT = 0x100
NO_SEH = 0x400
HIGH_ENTROPY_VA = 0x20
FILE_RELOCS_STRIPPED = 0x1
DIRECTORY_BASERELOC = 5

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
ICON_NAME = "DEFAULT_ICON"
LANG_NEUTRAL = 0
LANG_ZH_CN = 0x0804
EXPECTED_RESOURCES = {
    (RT_ICON, 1, LANG_NEUTRAL),
    (RT_GROUP_ICON, ICON_NAME, LANG_NEUTRAL),
    (RT_VERSION, 1, LANG_ZH_CN),
    (RT_MANIFEST, 1, LANG_NEUTRAL),
}

ASM_NS = "{urn:schemas-microsoft-com:asm.v1}"
COMMON_CONTROLS = {
    "type": "win32",
    "name": "Microsoft.Windows.Common-Controls",
    "version": "6.0.0.0",
    "publicKeyToken": "6595b64144ccf1df",
    "language": "*",
}

VERSION_1_0_0_0 = (0x00010000, 0x00000000)  # (MS, LS) words
VFT_APP = 1
VOS__WINDOWS32 = 4
STRING_TABLE = "080404B0"
TRANSLATION = "0x0804 0x04b0"  # pefile's rendering of one language/code page pair


class Exe:
    """The parsed file and the resource tree flattened to (type, name, lang) keys."""

    def __init__(self, path, arch):
        try:
            import pefile  # here, so that --list works without it
        except ImportError:
            sys.exit(f"{sys.executable} has no pefile: install Debian's python3-pefile "
                     "and run this with /usr/bin/python3")

        self.pe = pefile.PE(path)
        self.arch = arch
        self.resources = {}
        root = getattr(self.pe, "DIRECTORY_ENTRY_RESOURCE", None)
        for rtype in root.entries if root else []:
            for rname in rtype.directory.entries:
                for rlang in rname.directory.entries:
                    key = (resource_key(rtype), resource_key(rname), rlang.id)
                    self.resources[key] = self.pe.get_data(rlang.data.struct.OffsetToData,
                                                           rlang.data.struct.Size)

    def imports(self):
        """{dll name in lower case: set of imported names (or ordinals)}"""
        found = {}
        for attr in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
            for entry in getattr(self.pe, attr, []):
                names = found.setdefault(entry.dll.decode("ascii", "replace").lower(), set())
                for imp in entry.imports:
                    names.add(imp.name.decode("ascii", "replace") if imp.name
                              else f"#{imp.ordinal}")
        return found

    def resource(self, rtype, name):
        """The data of the one language of (rtype, name), or None."""
        for (t, n, _), data in self.resources.items():
            if (t, n) == (rtype, name):
                return data
        return None


def resource_key(entry):
    return str(entry.name) if entry.name is not None else entry.id


def show(key):
    return "(" + ", ".join(f'"{k}"' if isinstance(k, str) else str(k) for k in key) + ")"


def check_machine(exe):
    machine, magic, _ = ARCHES[exe.arch]
    problems = []
    if exe.pe.FILE_HEADER.Machine != machine:
        problems.append(f"machine 0x{exe.pe.FILE_HEADER.Machine:x}, want 0x{machine:x}")
    if exe.pe.OPTIONAL_HEADER.Magic != magic:
        problems.append(f"optional header magic 0x{exe.pe.OPTIONAL_HEADER.Magic:x}, "
                        f"want 0x{magic:x}")
    return problems


def check_subsystem(exe):
    found = exe.pe.OPTIONAL_HEADER.Subsystem
    return [] if found == SUBSYSTEM_WINDOWS_GUI else [
        f"subsystem {found}, want {SUBSYSTEM_WINDOWS_GUI} (Windows GUI)"]


def check_imports(exe):
    imports = exe.imports()
    problems = []
    runtime = sorted(set(imports) & RUNTIME_DLLS)
    if runtime:
        problems.append("MinGW runtime DLLs imported: " + ", ".join(runtime))
    others = sorted(dll for dll in set(imports) - RUNTIME_DLLS
                    if dll not in ALLOWED_DLLS and not ALLOWED_DLL_PATTERN.fullmatch(dll))
    if others:
        problems.append("DLLs outside the system allow-list: " + ", ".join(others))
    user32 = imports.get("user32.dll", set())
    missing = sorted(REQUIRED_USER32 - user32)
    if missing:
        problems.append("USER32 imports lack " + ", ".join(missing))
    ansi = sorted(ANSI_USER32 & user32)
    if ansi:
        problems.append("ANSI USER32 functions imported: " + ", ".join(ansi))
    return problems


def check_hardening(exe):
    flags = exe.pe.OPTIONAL_HEADER.DllCharacteristics
    wanted = {"DYNAMIC_BASE": DYNAMIC_BASE, "NX_COMPAT": NX_COMPAT}
    wanted.update({"NO_SEH": NO_SEH} if exe.arch == "x86" else {"HIGH_ENTROPY_VA": HIGH_ENTROPY_VA})
    problems = [f"DllCharacteristics 0x{flags:04x} lacks {name}"
                for name, bit in wanted.items() if not flags & bit]
    relocs = exe.pe.OPTIONAL_HEADER.DATA_DIRECTORY[DIRECTORY_BASERELOC]
    if relocs.VirtualAddress == 0 or relocs.Size == 0:
        problems.append("no base relocation directory: the file cannot be moved by ASLR")
    if exe.pe.FILE_HEADER.Characteristics & FILE_RELOCS_STRIPPED:
        problems.append("file header says RELOCS_STRIPPED")
    return problems


def check_stripped(exe):
    problems = []
    header = exe.pe.FILE_HEADER
    if header.PointerToSymbolTable or header.NumberOfSymbols:
        problems.append(f"COFF symbol table at 0x{header.PointerToSymbolTable:x} "
                        f"with {header.NumberOfSymbols} symbols")
    # Long names such as .debug_info are stored as "/N", an offset into the
    # symbol table's strings; a stripped file has neither.
    names = [s.Name.rstrip(b"\0").decode("ascii", "replace") for s in exe.pe.sections]
    debug = [n for n in names if n.startswith(".debug") or n.startswith("/")]
    if debug:
        problems.append("debug sections (a /N name is a long name such as .debug_info): "
                        + ", ".join(debug))
    return problems


def check_resources(exe):
    found = set(exe.resources)
    problems = []
    missing = sorted(EXPECTED_RESOURCES - found, key=show)
    if missing:
        problems.append("missing " + ", ".join(map(show, missing)))
    extra = sorted(found - EXPECTED_RESOURCES, key=show)
    if extra:
        problems.append("unexpected " + ", ".join(map(show, extra)))
    return problems


def check_icon(exe):
    group = exe.resource(RT_GROUP_ICON, ICON_NAME)
    if group is None:
        return [f"no icon group named {ICON_NAME}"]
    if len(group) < 6:
        return [f"icon group is {len(group)} bytes long"]
    reserved, kind, count = struct.unpack_from("<HHH", group)
    if (reserved, kind) != (0, 1) or len(group) != 6 + 14 * count:
        return [f"icon group header {reserved}, {kind}, {count} in {len(group)} bytes"]
    if count != 1:
        return [f"icon group has {count} images, want 1"]
    width, height, _, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
    problems = []
    # A stored 0 means 256.
    shown = [v or 256 for v in (width, height)]
    if (width, height, bits) != (64, 64, 32):
        problems.append(f"group entry says {shown[0]}x{shown[1]} at {bits} bpp, want 64x64 at 32")
    image = exe.resource(RT_ICON, icon_id)
    if image is None:
        return problems + [f"group entry names icon {icon_id}, which is not there"]
    if len(image) != size:
        problems.append(f"icon {icon_id} is {len(image)} bytes, the group entry says {size}")
    if image[:8] == b"\x89PNG\r\n\x1a\n":
        return problems + [f"icon {icon_id} is PNG-compressed, want a bitmap"]
    if len(image) < 40:
        return problems + [f"icon {icon_id} is {len(image)} bytes, too short for a bitmap header"]
    hsize, bw, bh, bplanes, bbits, compression = struct.unpack_from("<IiiHHI", image)
    if (hsize, bw, bh, bplanes, bbits, compression) != (40, 64, 128, 1, 32, 0):
        problems.append(f"icon bitmap header: size {hsize}, {bw}x{bh}, {bplanes} planes, "
                        f"{bbits} bpp, compression {compression}; "
                        "want 40, 64x128, 1 plane, 32 bpp, uncompressed")
    elif len(image) < 40 + 64 * 64 * 4 + 64 * 8:
        problems.append(f"icon bitmap is {len(image)} bytes, too short for its pixels and mask")
    else:
        alpha = set(image[40 + 3:40 + 64 * 64 * 4:4])
        if alpha <= {0} or alpha <= {255}:
            problems.append(f"alpha channel holds only {sorted(alpha)}: the icon has no "
                            "transparency or nothing visible")
    return problems


def attributes_problems(what, element, wanted):
    if element is None:
        return [f"no {what}"]
    return [f"{what} {key}={element.get(key)!r}, want {value!r}"
            for key, value in wanted.items() if element.get(key) != value]


def check_manifest(exe):
    data = exe.resource(RT_MANIFEST, 1)
    if data is None:
        return ["no manifest resource 1"]
    try:
        root = ET.fromstring(data)
    except ET.ParseError as error:
        return [f"manifest is not well-formed XML: {error}"]
    if root.tag != ASM_NS + "assembly":
        return [f"manifest root is {root.tag}, want {ASM_NS}assembly"]
    arch = ARCHES[exe.arch][2]
    problems = attributes_problems("assemblyIdentity", root.find(ASM_NS + "assemblyIdentity"),
                                   {"type": "win32", "processorArchitecture": arch})
    dependencies = root.findall(f"{ASM_NS}dependency/{ASM_NS}dependentAssembly/"
                                f"{ASM_NS}assemblyIdentity")
    controls = [d for d in dependencies if d.get("name") == COMMON_CONTROLS["name"]]
    if len(controls) != 1:
        problems.append(f"{len(controls)} dependencies on {COMMON_CONTROLS['name']}, want 1 "
                        f"(dependencies: {[d.get('name') for d in dependencies]})")
    else:
        problems += attributes_problems(COMMON_CONTROLS["name"], controls[0],
                                        dict(COMMON_CONTROLS, processorArchitecture=arch))
    return problems


def check_version(exe):
    fixed = getattr(exe.pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        return ["no VS_FIXEDFILEINFO"]
    info = fixed[0]
    problems = []
    for what in ("FileVersion", "ProductVersion"):
        words = (getattr(info, what + "MS"), getattr(info, what + "LS"))
        if words != VERSION_1_0_0_0:
            problems.append(f"{what} {words[0] >> 16}.{words[0] & 0xFFFF}."
                            f"{words[1] >> 16}.{words[1] & 0xFFFF}, want 1.0.0.0")
    if info.FileType != VFT_APP:
        problems.append(f"FileType {info.FileType}, want {VFT_APP} (VFT_APP)")
    if info.FileOS != VOS__WINDOWS32:
        problems.append(f"FileOS 0x{info.FileOS:x}, want 0x{VOS__WINDOWS32:x} (VOS__WINDOWS32)")
    if info.FileFlags & info.FileFlagsMask:
        problems.append(f"FileFlags 0x{info.FileFlags:x}: marked debug, pre-release or patched")

    tables, translations = [], []
    for block in (b for blocks in getattr(exe.pe, "FileInfo", []) for b in blocks):
        if block.Key == b"StringFileInfo":
            tables += block.StringTable
        elif block.Key == b"VarFileInfo":
            for var in block.Var:
                # pefile keeps only the last pair; ValueLength tells how many there were.
                translations.append((var.entry, var.ValueLength))
    ids = [t.LangID.decode("ascii", "replace") for t in tables]
    if [i.upper() for i in ids] != [STRING_TABLE]:
        problems.append(f"string tables {ids}, want exactly ['{STRING_TABLE}']")
    else:
        strings = {k.decode(): v.decode() for k, v in tables[0].entries.items()}
        for key in ("FileVersion", "ProductVersion"):
            if strings.get(key) != "1.0.0.0":
                problems.append(f"{key} string {strings.get(key)!r}, want '1.0.0.0' "
                                "like the fixed record")
    if translations != [({b"Translation": TRANSLATION}, 4)]:
        problems.append(f"VarFileInfo {translations}, want one Translation 0x0804, 0x04B0")
    return problems


CHECKS = {
    "machine": check_machine,
    "subsystem": check_subsystem,
    "imports": check_imports,
    "hardening": check_hardening,
    "stripped": check_stripped,
    "resources": check_resources,
    "icon": check_icon,
    "manifest": check_manifest,
    "version": check_version,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe")
    parser.add_argument("--arch", choices=sorted(ARCHES))
    parser.add_argument("--check", choices=list(CHECKS), action="append",
                        help="run only this check (repeatable)")
    parser.add_argument("--list", action="store_true", help="print the check names")
    args = parser.parse_args()
    if args.list:
        print(";".join(CHECKS))
        return 0
    if not args.exe or not args.arch:
        parser.error("--exe and --arch are required")

    exe = Exe(args.exe, args.arch)
    failed = False
    for name in args.check or CHECKS:
        problems = CHECKS[name](exe)
        print(f"PASS {name}" if not problems else f"FAIL {name}: " + "; ".join(problems))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
