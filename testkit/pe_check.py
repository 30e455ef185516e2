#!/usr/bin/env python3
"""Checks a Windows PE image: its machine type, its exact export names, its exact set of
imported DLLs (ordinary and delay-loaded) and, when asked, its version resource. Prints what it
found; exits 1 on any mismatch."""

import argparse
import struct
import sys

MACHINES = {"x64": 0x8664, "arm64": 0xAA64}
EXPORT_DIRECTORY, IMPORT_DIRECTORY, RESOURCE_DIRECTORY, DELAY_IMPORT_DIRECTORY = 0, 1, 2, 13
VERSION_STRINGS = ("FileVersion", "ProductVersion", "FileDescription", "OriginalFilename", "ProductName")


class Image:
    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic != 0x20B:
            raise ValueError(f"not a PE32+ image (magic {magic:#x})")
        count = struct.unpack_from("<I", data, optional + 108)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 112 + 8 * i) for i in range(count)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            virtual_size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def offset(self, rva: int) -> int:
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def string(self, rva: int) -> str:
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index: int):
        return self.directories[index] if index < len(self.directories) else (0, 0)

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


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("image")
    parser.add_argument("--machine", choices=MACHINES, required=True)
    parser.add_argument("--exports", nargs="*", default=[])
    parser.add_argument("--imports", nargs="*", default=[])
    parser.add_argument("--version", help="the expected version resource (x.y.z)")
    parser.add_argument("--file-name", help="the expected OriginalFilename")
    parser.add_argument("--reproducible", metavar="ROOT",
                        help="the header's time stamp is 0 and no byte spells the build's root")
    args = parser.parse_args()

    with open(args.image, "rb") as f:
        image = Image(f.read())
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
        pe = struct.unpack_from("<I", image.data, 0x3C)[0]
        stamp = struct.unpack_from("<I", image.data, pe + 8)[0]
        if stamp != 0:
            problems.append(f"time stamp {stamp:#x} in the PE header, expected 0")
        if args.reproducible.encode() in image.data:
            problems.append(f"the build's root {args.reproducible} is written in the image")

    print(f"{args.image}: machine {image.machine:#06x}, exports {exports}, imports {imports}")
    for problem in problems:
        print("MISMATCH:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
