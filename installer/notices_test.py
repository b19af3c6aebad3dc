#!/usr/bin/env python3
"""Fails when a shipped file contains third-party code that the notices do
not list for it (or the notices list a component that is not in it).

What went into a program is read from the program itself, not from a list
kept by hand: the archives and start-up objects its link map shows the
linker took, and the header folders that the line tables of its own
compilation units name (header-only libraries leave no archive behind).
Each of those is mapped to a component by the table below; anything the
table does not know fails the test, so a new library cannot slip in.

Usage: notices_test.py NOTICES SOURCE_DIR BUILD_DIR OBJDUMP SETUP PROGRAM.exe...
(each PROGRAM.exe with its link map PROGRAM.exe.map beside it)
"""
import os
import re
import subprocess
import sys

CLI11 = "CLI11"
JSON = "JSON for Modern C++"
MINGW = "MinGW-w64 runtime"
PTHREADS = "winpthreads"
GCC = "GCC runtime libraries"
NSIS = "NSIS"
UNKNOWN = "?"

GCC_LIB = r"/usr/lib/gcc/x86_64-w64-mingw32/[^/]+"
MINGW_LIB = r"/usr/x86_64-w64-mingw32/lib"

# (pattern on the normalised path, component); None is our own code. The
# first match counts. {source} and {build} are the repository and the tree.
ORIGINS = [
    (r"{build}/generated/host-headers/CLI(/|$)", CLI11),
    (r"{build}/generated/host-headers/nlohmann(/|$)", JSON),
    # Any other library taken from the host's headers is not ours either.
    (r"{build}/generated/host-headers(/|$)", UNKNOWN),
    (r"{build}(/|$)", None),
    (r"{source}/(src|sim|resources|tests)(/|$)", None),
    (r"/usr/include/CLI(/|$)", CLI11),
    (r"/usr/include/nlohmann(/|$)", JSON),
    (GCC_LIB + r"/(libstdc\+\+|libsupc\+\+|libgcc|libgcc_eh)\.a$", GCC),
    (GCC_LIB + r"/crt(begin|end|fastmath)\.o$", GCC),
    (GCC_LIB + r"/include(/|$)", GCC),
    (MINGW_LIB + r"/lib(win)?pthread\.a$", PTHREADS),
    (MINGW_LIB + r"/((dll)?crt2\.o|lib(mingw32|mingwex|moldname|msvcrt|ucrt\w*)\.a)$", MINGW),
    (r"/usr/share/mingw-w64/include(/|$)", MINGW),
    (r"/usr/x86_64-w64-mingw32/include(/|$)", MINGW),
]


def import_library(path, members):
    """An import library of a Windows DLL from MinGW-w64: nothing but the
    stubs dlltool makes (libNAMEh.o, libNAMEt.o, libNAMEs00042.o)."""
    stem = re.escape(os.path.basename(path)[:-2])
    return bool(members) and all(re.fullmatch(stem + r"[ht]\.o|" + stem + r"s\d+\.o", m) for m in members)


def origin(path, source, build, members=()):
    """The component a path belongs to; None for our own; raises when unknown."""
    if path.startswith(MINGW_LIB + "/") and path.endswith(".a") and import_library(path, members):
        return MINGW
    for pattern, component in ORIGINS:
        expanded = pattern.replace("{source}", re.escape(source)).replace("{build}", re.escape(build))
        if re.match(expanded, path):
            if component == UNKNOWN:
                break
            return component
    raise LookupError(path)


def linked_inputs(map_path):
    """{archive or object: the archive members the linker took} from a link map."""
    base = os.path.dirname(os.path.abspath(map_path))
    inputs = {}
    in_members = False
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            if line.startswith("Archive member included"):
                in_members = True
                continue
            if in_members and re.match(r"(Discarded input sections|Memory Configuration|Allocating common)", line):
                in_members = False
            # "archive(member)" opens the line; the reason follows on it or the next.
            member = re.match(r"([^\s()]+)\(([^\s()]+)\)", line) if in_members else None
            if member:
                path = os.path.normpath(os.path.join(base, member.group(1)))
                inputs.setdefault(path, set()).add(member.group(2))
            loaded = re.match(r"LOAD (\S+\.o)$", line.strip())
            if loaded:
                inputs.setdefault(os.path.normpath(os.path.join(base, loaded.group(1))), set())
    return inputs


def header_folders(objdump, program, build):
    """Folders of the files that our own compilation units describe."""
    dump = subprocess.run([objdump, "--dwarf=rawline", program], check=True, capture_output=True,
                          text=True, errors="replace").stdout
    folders = set()
    units = 0
    for table in dump.split("The Directory Table")[1:]:
        table = table.split("The File Name Table", 1)[0]
        entries = re.findall(r"^\s+\d+\s+(?:\([^)]*\): )?(\S.*)$", table, re.M)
        if not entries or not os.path.normpath(entries[0]).startswith(build):
            continue   # a unit of a prebuilt library; its archive speaks for it
        units += 1
        folders.update(os.path.normpath(e) for e in entries[1:] if e.startswith("/"))
    return units, folders


def notices_entries(path):
    """{component name: set of files} as the notices list them."""
    with open(path, encoding="ascii") as notices:
        text = notices.read()
    entries = {}
    for name, files in re.findall(r"^\d+\. Component: (.+)\n\s+Contained in: (.+)$", text, re.M):
        entries[name] = {f.strip() for f in files.split(",")}
    return text, entries


def listed_files(entries, component):
    names = [n for n in entries if n.startswith(component)]
    return set().union(*(entries[n] for n in names)) if names else set()


def main():
    notices, source, build, objdump, setup = sys.argv[1:6]
    programs = sys.argv[6:]
    source, build = os.path.realpath(source), os.path.realpath(build)
    failures = []
    found = {}   # component -> files that contain it

    for program in programs:
        name = os.path.basename(program)
        units, folders = header_folders(objdump, program, build)
        if units == 0:
            failures.append(f"{name}: no line tables of our own code (built without -g?)")
        inputs = linked_inputs(program + ".map")
        for path in sorted(set(inputs) | folders):
            try:
                component = origin(path, source, build, inputs.get(path, ()))
            except LookupError:
                failures.append(f"{name}: {path} is third-party code of no known component; "
                                "add it to the notices and to this test's table")
                continue
            if component:
                found.setdefault(component, set()).add(name)

    with open(setup, "rb") as installer:
        if b"Nullsoft" in installer.read():
            found.setdefault(NSIS, set()).add(os.path.basename(setup))

    text, entries = notices_entries(notices)
    placeholder = re.search(r"@[A-Z0-9_]+@", text)
    if placeholder:
        failures.append("the notices keep the placeholder " + placeholder.group(0))
    shipped = {os.path.basename(p) for p in programs} | {os.path.basename(setup)}
    for component in (CLI11, JSON, MINGW, PTHREADS, GCC, NSIS):
        contained = found.get(component, set())
        listed = listed_files(entries, component) & shipped
        for file in sorted(contained - listed):
            failures.append(f"{file} contains {component}, which the notices do not list for it")
        for file in sorted(listed - contained):
            failures.append(f"the notices list {component} in {file}, which does not contain it")

    for failure in failures:
        print("notices test: " + failure, file=sys.stderr)
    if not failures:
        print("notices test: " + "; ".join(f"{c} in {', '.join(sorted(f))}" for c, f in sorted(found.items())))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
