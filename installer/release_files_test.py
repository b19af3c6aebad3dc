#!/usr/bin/env python3
"""The release as files, before anything is installed: what each archive
holds, the programs' versions and icons, stripped programs whose debug files
resolve a crash address, the user documents, and an MSI built from the same
files with the same Start-menu entries as the setup.

Usage: release_files_test.py RELEASE_FOLDER RELEASE_INPUTS SOURCE_DIR
(RELEASE_INPUTS is make-release's release-inputs.sh, for the names and the
version; SOURCE_DIR the repository, for scripts/crash-address)
"""
import hashlib
import os
import re
import shlex
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

TOOLS = "x86_64-w64-mingw32-"
PROGRAMS = ["kavix.exe", "kavix-cli.exe", "kavix-unitsim.exe"]
DOCUMENTS = ["user-guide.html", "README.txt", "NOTICE.txt", "THIRD-PARTY-NOTICES.txt"]
# A function of our own in each program, for the crash-address check.
ENTRY_POINTS = {"kavix.exe": "WinMain", "kavix-cli.exe": "main", "kavix-unitsim.exe": "main"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, errors="replace", **options).stdout


def output_of(*command):
    """What a command printed; nothing when it failed (a file without resources, a missing section)."""
    done = subprocess.run(command, capture_output=True, text=True, errors="replace")
    return done.stdout if done.returncode == 0 else ""


def release_inputs(path):
    values = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            match = re.match(r"(\w+)=(.*)$", line.strip())
            if match:
                values[match.group(1)] = shlex.split(match.group(2))[0] if match.group(2) else ""
    return values


def resources(path):
    """[(type, name, data)] from a PE file, through windres' .res output."""
    with tempfile.TemporaryDirectory() as work:
        res = os.path.join(work, "out.res")
        output_of(TOOLS + "windres", "-i", path, "-O", "res", "-o", res)
        data = open(res, "rb").read() if os.path.exists(res) else b""
    entries = []
    at = 0

    def ident(at):
        if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        return data[at:end].decode("utf-16-le"), end + 2

    while at + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, at)
        kind, after = ident(at + 8)
        name, after = ident(after)
        entries.append((kind, name, data[at + header:at + header + size]))
        at += header + size
        at += -at % 4
    return entries


def version_strings(path):
    """The StringFileInfo values and the fixed file version of a PE file."""
    text = output_of(TOOLS + "windres", "-i", path, "-O", "rc")
    values = {}
    for key, value in re.findall(r'VALUE "(\w+)", L?"((?:[^"\\]|\\.)*)"', text):
        values[key] = value.replace("\\251", "\u00a9")
    fixed = re.search(r"FILEVERSION (\d+), (\d+), (\d+), (\d+)", text)
    return values, fixed.groups() if fixed else None


def icon_images(path):
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    images = set()
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.add(data[offset:offset + size])
    return images


def check_version_and_icon(path, name, inputs, icon):
    values, fixed = version_strings(path)
    version = inputs["version"]
    major, minor = version.split(".")
    check(fixed == (major, minor, "0", "0"), f"{name}: FILEVERSION {fixed}, not {version}")
    expected = {"FileVersion": version, "ProductVersion": version, "CompanyName": inputs["company"],
                "ProductName": inputs["product"], "OriginalFilename": name}
    for key, value in expected.items():
        check(values.get(key) == value, f"{name}: {key} is {values.get(key)!r}, not {value!r}")
    check(values.get("FileDescription"), f"{name}: no FileDescription")
    copyright = f"Copyright \u00a9 {inputs['copyright_year']} {inputs['company']}"
    check(values.get("LegalCopyright") == copyright, f"{name}: LegalCopyright {values.get('LegalCopyright')!r}")
    found = resources(path)
    shown = {data for kind, _, data in found if kind == 3}   # RT_ICON
    check(any(kind == 14 for kind, _, _ in found), f"{name}: no icon group")
    check(shown == icon, f"{name}: its icon is not the program's icon")


def symbol_address(debug_file, symbol):
    for line in run(TOOLS + "nm", debug_file).splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] == "T" and fields[2] == symbol:
            return int(fields[0], 16)
    return None


def check_stripped(path, name, debug_file, debug_zip, source):
    check(".debug_" not in run(TOOLS + "objdump", "-h", path), f"{name}: debug sections left in the program")
    symbols = subprocess.run([TOOLS + "nm", path], capture_output=True, text=True)
    check("no symbols" in symbols.stderr, f"{name}: symbol table left in the program")
    dump = output_of(TOOLS + "objdump", "-s", "-j", ".gnu_debuglink", path)
    # Lines of "address  hex words  text"; the hex words end at two spaces.
    link = bytes.fromhex("".join("".join(line.strip().split("  ")[0].split()[1:]) for line in dump.splitlines()
                                 if re.match(r"\s+[0-9a-f]+ [0-9a-f]", line)))
    linked_name = link.split(b"\0", 1)[0].decode()
    crc = struct.unpack_from("<I", link, len(link) - 4)[0] if len(link) >= 4 else None
    check(linked_name == name + ".debug", f"{name}: links {linked_name!r} as its debug file")
    check(crc == zlib.crc32(open(debug_file, "rb").read()), f"{name}: the debug file's CRC is not the one linked")
    # The README's way from a crash offset to a source line, with the archive.
    symbol = ENTRY_POINTS[name]
    address = symbol_address(debug_file, symbol)
    base = int(re.search(r"ImageBase\s+([0-9a-fA-F]+)", run(TOOLS + "objdump", "-p", path)).group(1), 16)
    if check(address is not None, f"{name}.debug: no symbol {symbol}"):
        resolved = run(os.path.join(source, "scripts", "crash-address"), debug_zip, name, hex(address - base + 4))
        check(re.search(rf"\b{symbol}\b.* at .+\.cpp:\d+", resolved), f"{name}: crash offset resolves to {resolved!r}")


def main():
    release, inputs_path, source = sys.argv[1:4]
    inputs = release_inputs(inputs_path)
    version = inputs["version"]
    prefix = os.path.join(release, f"kavix-{version}")
    setup, msi = prefix + "-setup.exe", prefix + ".msi"
    portable, debug_zip, sums = prefix + "-portable.zip", prefix + "-debug.zip", prefix + "-SHA256SUMS.txt"
    icon = icon_images(inputs["icon"])

    for line in open(sums, encoding="ascii"):
        digest, file = line.split()
        check(hashlib.sha256(open(os.path.join(release, file), "rb").read()).hexdigest() == digest,
              f"{file}: checksum differs from {os.path.basename(sums)}")
    check(len(open(sums).readlines()) == 4, "the checksums do not cover the four release files")

    with tempfile.TemporaryDirectory() as work:
        files, debug, from_msi = (os.path.join(work, d) for d in ("portable", "debug", "msi"))
        with zipfile.ZipFile(portable) as archive:
            check(sorted(archive.namelist()) == sorted(PROGRAMS + DOCUMENTS), f"portable ZIP: {archive.namelist()}")
            archive.extractall(files)
        with zipfile.ZipFile(debug_zip) as archive:
            expected = sorted([p + ".debug" for p in PROGRAMS] + ["README.txt"])
            check(sorted(archive.namelist()) == expected, f"debug archive: {archive.namelist()}")
            archive.extractall(debug)

        for name in PROGRAMS:
            path = os.path.join(files, name)
            check_version_and_icon(path, name, inputs, icon)
            check_stripped(path, name, os.path.join(debug, name + ".debug"), debug_zip, source)
        check_version_and_icon(setup, os.path.basename(setup), inputs, icon)

        for name in ["README.txt", "NOTICE.txt", "THIRD-PARTY-NOTICES.txt"]:
            text = open(os.path.join(files, name), "rb").read()
            check(b"\n" not in text.replace(b"\r\n", b""), f"{name}: not every line ends with CR LF")
        readme = open(os.path.join(files, "README.txt"), encoding="utf-8-sig").read()
        for part in [f"{inputs['product']} {version}", "user-guide.html", "training (K-Series)",
                     "training (M-Series)", "--run kavix.exe", "Settings > Apps"]:
            check(part in readme, f"README.txt does not mention {part!r}")
        check("apt-get" not in readme and "scripts/" not in readme, "README.txt is the developers' README")
        guide = open(os.path.join(files, "user-guide.html"), encoding="utf-8").read()
        check(f"<title>{inputs['product']} {version}" in guide, "user-guide.html: no title with the version")
        check(guide.count('src="data:image/png;base64,') >= 8 and 'src="screenshots/' not in guide,
              "user-guide.html: screenshots are not inside the page")
        check('id="training-without-a-unit"' in guide, "user-guide.html: no section on training without a unit")

        # The MSI: the same files, its entries as the setup's.
        run("msiextract", "-C", from_msi, msi)
        extracted = {}
        for folder, _, names in os.walk(from_msi):
            for name in names:
                extracted[name] = open(os.path.join(folder, name), "rb").read()
        check(sorted(extracted) == sorted(PROGRAMS + DOCUMENTS), f"MSI files: {sorted(extracted)}")
        for name, data in extracted.items():
            check(data == open(os.path.join(files, name), "rb").read(), f"MSI: {name} differs from the ZIP's")
    properties = dict(line.split("\t", 1) for line in run("msiinfo", "export", msi, "Property").splitlines()[3:])
    for key, value in {"ProductName": inputs["product"], "ProductVersion": version + ".0", "ALLUSERS": "1",
                       "Manufacturer": inputs["company"], "ARPPRODUCTICON": "kavix.ico",
                       "ProductCode": "{" + inputs["msi_product_code"] + "}"}.items():
        check(properties.get(key) == value, f"MSI property {key} is {properties.get(key)!r}, not {value!r}")
    shortcuts = [line.split("\t") for line in run("msiinfo", "export", msi, "Shortcut").splitlines()[3:]]
    names = {row[2]: row[5] for row in shortcuts}
    product = inputs["product"]
    check(set(names) == {product, f"{product} \u2014 training (K-Series)", f"{product} \u2014 training (M-Series)",
                         f"{product} \u2014 user guide"}, f"MSI Start-menu entries: {sorted(names)}")
    for family in "KM":
        arguments = names.get(f"{product} \u2014 training ({family}-Series)", "")
        training = inputs[f"training_product_{family.lower()}"]
        check(shlex.split(arguments) == ["--family", family, "--product", training, "--switched-off", "--port", "0",
                                         "--run", "kavix.exe"], f"MSI training ({family}): {arguments!r}")
        check("imulated" in training, f"training product {training!r} does not say it is simulated")

    for failure in failures:
        print("release files test: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
