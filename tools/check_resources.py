#!/usr/bin/python3
"""Checks a built belltide.exe: manifest, version, icons, ASLR and DEP.

Prints one line per problem and fails if there is any.

Usage: /usr/bin/python3 tools/check_resources.py belltide.exe
(Debian's python3-pefile installs for /usr/bin/python3 only.)
"""
import struct
import sys
import xml.etree.ElementTree as ET

try:
    import pefile
except ImportError:
    sys.exit("check_resources: no pefile module: apt-get install python3-pefile")

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
ICONS = {128: "application", 133: "sounding", 135: "silent"}
ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
PNG_SIZES = {256}
VERSION = (1, 0, 4, 0)
STRINGS = {
    "FileVersion": "1.0.4.0",
    "ProductVersion": "1.04",
    "ProductName": "Belltide",
    "FileDescription": "Belltide",
    "OriginalFilename": "belltide.exe",
    "InternalName": "belltide",
}
PNG_MAGIC = b"\x89PNG\r\n\x1a\n"

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"


def text(value):
    if isinstance(value, bytes):
        value = value.decode("utf-8", "replace")
    return value.rstrip("\0")


def resources(pe, kind):
    """{id: data} of one resource type, first language of each."""
    found = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for type_entry in root.entries if root else []:
        if type_entry.id != kind:
            continue
        for name_entry in type_entry.directory.entries:
            for lang_entry in name_entry.directory.entries[:1]:
                rva, size = lang_entry.data.struct.OffsetToData, lang_entry.data.struct.Size
                found[name_entry.id] = pe.get_data(rva, size)
    return found


def check_manifest(pe, problems):
    manifests = resources(pe, RT_MANIFEST)
    if 1 not in manifests:
        problems.append("no application manifest (RT_MANIFEST 1)")
        return
    try:
        root = ET.fromstring(manifests[1])
    except ET.ParseError as e:
        problems.append(f"manifest is not well-formed XML: {e}")
        return
    controls = [a for a in root.iter(ASM_V1 + "assemblyIdentity")
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls:
        problems.append("manifest has no Common Controls dependency")
    for a in controls:
        got = (a.get("type"), a.get("version"), a.get("processorArchitecture"),
               (a.get("publicKeyToken") or "").lower())
        if got != ("win32", "6.0.0.0", "*", "6595b64144ccf1df"):
            problems.append(f"manifest Common Controls dependency is {got}, not version 6")
    aware = [e.text.strip() for e in root.iter(SETTINGS_2005 + "dpiAware") if e.text]
    if aware != ["true/pm"]:
        problems.append(f"manifest dpiAware (2005 namespace) is {aware}, not ['true/pm']")
    awareness = [e.text for e in root.iter(SETTINGS_2016 + "dpiAwareness") if e.text]
    modes = [m.strip() for m in awareness[0].split(",")] if awareness else []
    if modes[:1] != ["PerMonitorV2"]:
        problems.append(f"manifest dpiAwareness (2016 namespace) is {awareness}, not PerMonitorV2 first")
    levels = [e.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        problems.append(f"manifest execution level is {levels}, not ['asInvoker']")


def check_version(pe, problems):
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        problems.append("no VERSIONINFO resource")
        return
    f = fixed[0]
    for what, ms, ls in (("FILEVERSION", f.FileVersionMS, f.FileVersionLS),
                         ("PRODUCTVERSION", f.ProductVersionMS, f.ProductVersionLS)):
        got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if got != VERSION:
            problems.append(f"VERSIONINFO {what} is {got}, not {VERSION}")
    tables, translations = [], []
    for block in getattr(pe, "FileInfo", None) or []:
        for info in block if isinstance(block, list) else [block]:
            for table in getattr(info, "StringTable", []):
                tables.append(table)
            for var in getattr(info, "Var", []):
                translations += [text(v) for v in var.entry.values()]
    if len(tables) != 1 or text(tables[0].LangID).upper() != "040904B0":
        problems.append("VERSIONINFO string tables are "
                        f"{[text(t.LangID) for t in tables]}, not one block 040904B0")
    strings = {text(k): text(v) for t in tables[:1] for k, v in t.entries.items()}
    for key, want in STRINGS.items():
        if strings.get(key) != want:
            problems.append(f"VERSIONINFO {key} is {strings.get(key)!r}, not {want!r}")
    if "Belltide" not in strings.get("LegalCopyright", ""):
        problems.append(f"VERSIONINFO LegalCopyright {strings.get('LegalCopyright')!r} "
                        "does not name the Belltide project")
    words = [w.lower() for t in translations for w in t.split()]
    if [int(w, 16) for w in words] != [0x409, 1200]:
        problems.append(f"VERSIONINFO Translation is {translations}, not 0x409, 1200")


def check_icon_image(name, size, data, problems):
    where = f"icon {name} {size} px"
    if data[:8] == PNG_MAGIC:
        if size not in PNG_SIZES:
            problems.append(f"{where} is a PNG, not a DIB with an AND mask")
            return
        w, h, depth, colour = struct.unpack_from(">IIBB", data, 16)
        if (w, h, depth, colour) != (size, size, 8, 6):
            problems.append(f"{where}: PNG is {w}x{h}, depth {depth}, colour type {colour}, "
                            "not 8-bit RGBA of its size")
        return
    if size in PNG_SIZES:
        problems.append(f"{where} is not PNG-compressed")
    if len(data) < 40:
        problems.append(f"{where}: truncated image")
        return
    _, w, h, _, bpp, compression = struct.unpack_from("<IiiHHI", data, 0)
    if (w, h, bpp, compression) != (size, 2 * size, 32, 0):
        problems.append(f"{where}: DIB is {w}x{h} at {bpp} bpp (compression {compression}), "
                        f"not {size}x{2 * size} at 32 bpp")
        return
    and_stride = (size + 31) // 32 * 4
    if len(data) != 40 + size * size * 4 + size * and_stride:
        problems.append(f"{where}: {len(data)} bytes, not a 32-bit bitmap with a full AND mask")
        return
    # Mask and alpha must agree, or a mask-only draw shows blocks at the edge.
    wrong = 0
    for y in range(size):
        colour = 40 + y * size * 4
        mask = 40 + size * size * 4 + y * and_stride
        for x in range(size):
            clear = bool(data[mask + x // 8] & (0x80 >> (x % 8)))
            wrong += clear != (data[colour + 4 * x + 3] == 0)
    if wrong:
        problems.append(f"{where}: AND mask disagrees with alpha at {wrong} pixels")


def check_icons(pe, problems):
    groups, images = resources(pe, RT_GROUP_ICON), resources(pe, RT_ICON)
    for ident, name in ICONS.items():
        name = f"{ident} ({name})"
        if ident not in groups:
            problems.append(f"no icon group {name}")
            continue
        data = groups[ident]
        _, _, count = struct.unpack_from("<HHH", data, 0)
        sizes = []
        for i in range(count):
            w, h, _, _, _, bpp, _, image_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
            size = w or 256
            sizes.append(size)
            if (h or 256) != size:
                problems.append(f"icon {name}: image {size}x{h or 256} is not square")
            if bpp != 32:
                problems.append(f"icon {name} {size} px has {bpp} bits per pixel, not 32")
            if image_id not in images:
                problems.append(f"icon {name} {size} px: image {image_id} missing")
                continue
            check_icon_image(name, size, images[image_id], problems)
        if sorted(sizes) != ICON_SIZES or len(set(sizes)) != len(sizes):
            problems.append(f"icon {name} holds sizes {sorted(sizes)}, not {ICON_SIZES}")


def check_hardening(pe, problems):
    """ASLR with the relocations it needs, DEP, and for 64 bits the whole address space."""
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    wanted = {"DYNAMIC_BASE (ASLR)": 0x0040, "NX_COMPAT (DEP)": 0x0100}
    if pe.OPTIONAL_HEADER.Magic == 0x20B:
        wanted["HIGH_ENTROPY_VA"] = 0x0020
    for name, bit in wanted.items():
        if not flags & bit:
            problems.append(f"not marked {name}")
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    if pe.FILE_HEADER.Characteristics & 0x0001 or relocations.Size == 0:
        problems.append("no relocations: Windows cannot move it, whatever DYNAMIC_BASE says")


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: check_resources.py EXE")
    try:
        pe = pefile.PE(argv[1])
    except (OSError, pefile.PEFormatError) as e:
        sys.exit(f"check_resources: cannot read {argv[1]}: {e}")
    problems = []
    check_manifest(pe, problems)
    check_version(pe, problems)
    check_icons(pe, problems)
    check_hardening(pe, problems)
    for p in problems:
        print(f"check_resources: {p}")
    if not problems:
        print(f"check_resources: {argv[1]}: manifest, VERSIONINFO, icons "
              f"{', '.join(map(str, ICONS))}, ASLR and DEP as expected")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
