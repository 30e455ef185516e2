#!/usr/bin/env python3
"""Makes a Zig-linked Windows image and its PDB the same on every build of the same sources.

Zig's linker writes the link time into the PE header and the debug directory, and Zig compiles
its own runtime (MinGW CRT, libc++, libunwind) through files with random names in its cache
(zig-cache/tmp/<random>-<name>.obj), which then name the cache folders those libraries land in
(zig-cache/o/<hash>/) and are quoted in the PDB's build records; the PDB's GUID is a hash of all
that. This step, run after every link:
  - drops the DWARF sections (only libunwind's assembly carries them; Windows debuggers read the
    PDB), so the image names no file of the build machine;
  - writes zeros over the random names and cache hashes in the PDB (same lengths, so the file's
    layout stays) and computes the type-record hashes of the edited records again;
  - gives the PDB a GUID and signature from a SHA-256 of its normalised content, and the image's
    CodeView record that GUID and the PDB's bare file name;
  - sets every time stamp (PE header, debug directory) to 0, as the MinGW build does.
Usage: finish_zig_image.py --strip LLVM_STRIP IMAGE   (the PDB is IMAGE's name with .pdb; an
image linked without one only loses its DWARF and time stamps)
"""

import argparse
import hashlib
import re
import struct
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from pdb_file import DBI_STREAM, IPI_STREAM, PdbFile, TypeStream  # noqa: E402
from pe_image import PeImage  # noqa: E402

# Zig prints the random part of a temporary name without leading zeros: 1 to 16 digits.
RANDOM_NAMES = re.compile(rb"zig-cache/(?:tmp/[0-9a-f]{1,16}-|o/[0-9a-f]{32}/)")
NORMALISED = {b"tmp": b"zig-cache/tmp/" + b"0" * 16 + b"-", b"o": b"zig-cache/o/" + b"0" * 32 + b"/"}


def normalised(match) -> bytes:
    return NORMALISED[match[0].split(b"/")[1]]


def zero_random_names(text: bytes) -> bytes:
    return RANDOM_NAMES.sub(normalised, text)


def names_random_file(text: bytes) -> bool:
    return any(match[0] != normalised(match) for match in RANDOM_NAMES.finditer(text))


def normalise_pdb(path: Path) -> tuple:
    """Normalises the PDB in place; returns its new (GUID, age)."""
    pdb = PdbFile(path.read_bytes())
    TypeStream(pdb, IPI_STREAM).rewrite_strings(zero_random_names)
    # The module list names each library by its cache folder (a fixed-length hash); nothing
    # hashes or indexes those names.
    modules = zero_random_names(bytes(pdb.streams[DBI_STREAM]))
    if len(modules) != len(pdb.streams[DBI_STREAM]):
        raise ValueError(f"{path}: a module name would change its length")
    pdb.streams[DBI_STREAM] = bytearray(modules)
    for index, stream in enumerate(pdb.streams):
        if stream and names_random_file(stream):
            raise ValueError(f"{path}: stream {index} names a random file; not normalised")
    _, age, _ = pdb.identity()
    pdb.set_identity(0, bytes(16))
    guid = hashlib.sha256(pdb.serialise()).digest()[:16]
    pdb.set_identity(struct.unpack_from("<I", guid)[0], guid)
    path.write_bytes(pdb.serialise())
    return guid, age


def finish_image(path: Path, guid: bytes, age: int):
    image = PeImage(bytearray(path.read_bytes()))
    struct.pack_into("<I", image.data, image.time_stamp_at, 0)
    for entry in image.debug_entries():
        struct.pack_into("<I", image.data, entry + 4, 0)
    for entry, record, size in image.codeview_records() if guid else []:
        name = path.with_suffix(".pdb").name.encode() + b"\0"
        if 24 + len(name) > size:
            raise ValueError(f"{path}: no room for the PDB's name in the CodeView record")
        image.data[record + 4:record + size] = struct.pack("<16sI", guid, age) + name.ljust(size - 24, b"\0")
        struct.pack_into("<I", image.data, entry + 16, 24 + len(name))
    image.refresh_checksum()
    path.write_bytes(image.data)


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--strip", required=True, help="llvm-strip")
    parser.add_argument("image", type=Path)
    args = parser.parse_args()
    subprocess.run([args.strip, "--strip-debug", str(args.image)], check=True)
    pdb = args.image.with_suffix(".pdb")
    guid, age = normalise_pdb(pdb) if pdb.exists() else (None, None)
    finish_image(args.image, guid, age)
    return 0


if __name__ == "__main__":
    sys.exit(main())
