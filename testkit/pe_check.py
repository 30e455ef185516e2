#!/usr/bin/env python3
"""Checks a Windows PE image: its machine type, its exact export names, its exact set of
imported DLLs (ordinary and delay-loaded) and, when asked, its version resource, that it holds no
time stamp and no build path, and that it names its PDB as the PDB knows itself. Prints what it
found; exits 1 on any mismatch."""

import argparse
import re
import struct
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "cmake" / "release"))
from pe_image import PeImage  # noqa: E402

MACHINES = {"x64": 0x8664, "arm64": 0xAA64}
EXPORT_DIRECTORY, IMPORT_DIRECTORY, RESOURCE_DIRECTORY, DELAY_IMPORT_DIRECTORY = 0, 1, 2, 13
VERSION_STRINGS = ("FileVersion", "ProductVersion", "FileDescription", "OriginalFilename", "ProductName")


class Image(PeImage):
    def exports(self) -> list:
        rva, size = self.directory(EXPORT_DIRECTORY)
        if not size:
            return []
        directory = self.offset(rva)
        names = struct.unpack_from("<I", self.data, directory + 24)[0]
        name_table = struct.unpack_from("<I", self.data, directory + 32)[0]
        return [self.string(struct.unpack_from("<I", self.data, self.offset(name_table) + 4 * i)[0])
                for i in range(names)]

    def imports(self) -> list:
        found = []
        for index, entry_size, name_field in ((IMPORT_DIRECTORY, 20, 12), (DELAY_IMPORT_DIRECTORY, 32, 4)):
            rva, size = self.directory(index)
            if not size:
                continue
            at = self.offset(rva)
            while True:
                entry = self.data[at:at + entry_size]
                if entry == b"\0" * entry_size:
                    break
                found.append(self.string(struct.unpack_from("<I", entry, name_field)[0]))
                at += entry_size
        return found

    def version(self):
        """The fixed file version (four numbers) and the version strings, or None."""
        rva, size = self.directory(RESOURCE_DIRECTORY)
        if not size:
            return None
        start = self.offset(rva)
        blob = self.data[start:start + size]
        fixed = blob.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
        if fixed < 0:
            return None
        high, low = struct.unpack_from("<II", blob, fixed + 8)
        strings = {}
        for key in VERSION_STRINGS:
            name = (key + "\0").encode("utf-16-le")
            at = blob.find(name)
            if at < 0:
                continue
            at += len(name)
            while blob[at:at + 2] == b"\0\0":  # padding to the value's 32-bit boundary
                at += 2
            end = at
            while blob[end:end + 2] != b"\0\0":
                end += 2
            strings[key] = blob[at:end].decode("utf-16-le")
        return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF), strings


def check_version(image: Image, version: str, file_name: str) -> list:
    found = image.version()
    if found is None:
        return ["no version resource"]
    fixed, strings = found
    problems = []
    expected = tuple(int(part) for part in version.split(".")) + (0,)
    if fixed != expected:
        problems.append(f"file version {fixed}, expected {expected}")
    for key in ("FileVersion", "ProductVersion"):
        if strings.get(key) != version:
            problems.append(f"{key} {strings.get(key)!r}, expected {version!r}")
    if strings.get("OriginalFilename") != file_name:
        problems.append(f"OriginalFilename {strings.get('OriginalFilename')!r}, expected {file_name!r}")
    for key in ("FileDescription", "ProductName"):
        if not strings.get(key):
            problems.append(f"no {key}")
    print(f"version {fixed}, {strings}")
    return problems


def check_reproducible(image: Image, root: str) -> list:
    problems = []
    stamps = [image.time_stamp()] + [struct.unpack_from("<I", image.data, e + 4)[0] for e in image.debug_entries()]
    if any(stamps):
        problems.append(f"time stamps {[hex(s) for s in stamps]} (PE header, debug directory), expected 0")
    if root.encode() in image.data:
        problems.append(f"the build's root {root} is written in the image")
    return problems


def check_pdb(image: Image, pdb: Path, pdbutil: str) -> list:
    """The image's CodeView record names the PDB by its bare name, with the PDB's own GUID and
    age as LLVM's PDB reader sees them."""
    records = []
    for _, at, size in image.codeview_records():
        guid, age = struct.unpack_from("<16sI", image.data, at + 4)
        records.append((guid, age, image.data[at + 24:at + size].split(b"\0")[0].decode()))
    if len(records) != 1:
        return [f"{len(records)} CodeView records, expected 1"]
    guid, age, name = records[0]
    # Reading the module list and every id record also proves the PDB's layout sound.
    summary = subprocess.run([pdbutil, "dump", "-summary", "-modules", "-ids", str(pdb)],
                             capture_output=True, text=True, check=True).stdout
    pdb_guid = re.search(r"GUID: \{([0-9A-F-]+)\}", summary)[1]
    pdb_age = int(re.search(r"Age: (\d+)", summary)[1])
    image_guid = "{:08X}-{:04X}-{:04X}-{}-{}".format(*struct.unpack_from("<IHH", guid), guid[8:10].hex().upper(),
                                                    guid[10:].hex().upper())
    print(f"CodeView record: {name}, GUID {image_guid}, age {age}; PDB: GUID {pdb_guid}, age {pdb_age}")
    problems = []
    if name != pdb.name:
        problems.append(f"the image names its PDB {name!r}, expected {pdb.name!r}")
    if (image_guid, age) != (pdb_guid, pdb_age):
        problems.append(f"the image expects PDB {image_guid} age {age}, the PDB is {pdb_guid} age {pdb_age}")
    return problems


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("image")
    parser.add_argument("--machine", choices=MACHINES, required=True)
    parser.add_argument("--exports", nargs="*", default=[])
    parser.add_argument("--imports", nargs="*", default=[])
    parser.add_argument("--version", help="the expected version resource (x.y.z)")
    parser.add_argument("--file-name", help="the expected OriginalFilename")
    parser.add_argument("--reproducible", metavar="ROOT",
                        help="every time stamp is 0 and no byte spells the build's root")
    parser.add_argument("--pdb", type=Path, help="the image's PDB, checked with --pdbutil")
    parser.add_argument("--pdbutil", default="llvm-pdbutil")
    args = parser.parse_args()

    with open(args.image, "rb") as f:
        image = Image(bytearray(f.read()))
    problems = []
    if image.machine != MACHINES[args.machine]:
        problems.append(f"machine {image.machine:#06x}, expected {MACHINES[args.machine]:#06x} ({args.machine})")
    exports = image.exports()
    if sorted(exports) != sorted(args.exports):
        problems.append(f"exports {sorted(exports)}, expected {sorted(args.exports)}")
    imports = sorted(name.lower() for name in image.imports())
    if imports != sorted(name.lower() for name in args.imports):
        problems.append(f"imports {imports}, expected {sorted(n.lower() for n in args.imports)}")

    if args.version:
        problems += check_version(image, args.version, args.file_name)
    if args.reproducible:
        problems += check_reproducible(image, args.reproducible)
    if args.pdb:
        problems += check_pdb(image, args.pdb, args.pdbutil)

    print(f"{args.image}: machine {image.machine:#06x}, exports {exports}, imports {imports}")
    for problem in problems:
        print("MISMATCH:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
