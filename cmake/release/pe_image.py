"""The layout of a PE32+ image: headers, sections, data directories, the debug directory and the
header checksum. Shared by the build's finishing step, the packager and the binary checks."""

import struct

DEBUG_DIRECTORY = 6
DEBUG_ENTRY_SIZE = 28
CODEVIEW = 2  # IMAGE_DEBUG_TYPE_CODEVIEW


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, self.pe + 4)
        optional = self.pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic != 0x20B:
            raise ValueError(f"not a PE32+ image (magic {magic:#x})")
        self.time_stamp_at = self.pe + 8
        self.checksum_at = optional + 64
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

    def time_stamp(self) -> int:
        return struct.unpack_from("<I", self.data, self.time_stamp_at)[0]

    def debug_entries(self) -> list:
        """File offsets of the debug directory's entries."""
        rva, size = self.directory(DEBUG_DIRECTORY)
        if not size:
            return []
        start = self.offset(rva)
        return [start + DEBUG_ENTRY_SIZE * i for i in range(size // DEBUG_ENTRY_SIZE)]

    def codeview_records(self) -> list:
        """(debug entry, file offset, size) of every CodeView (RSDS) record: GUID, age and the
        PDB's name."""
        found = []
        for entry in self.debug_entries():
            kind, size, _, at = struct.unpack_from("<IIII", self.data, entry + 12)
            if kind == CODEVIEW and self.data[at:at + 4] == b"RSDS":
                found.append((entry, at, size))
        return found

    def checksum(self) -> int:
        """The header checksum as Windows computes it: 16-bit one's complement sum of the file
        with the checksum field taken as 0, plus the file's length."""
        data = bytearray(self.data)
        data[self.checksum_at:self.checksum_at + 4] = bytes(4)
        data += bytes(len(data) % 2)
        total = 0
        for (word,) in struct.iter_unpack("<H", data):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        return ((total & 0xFFFF) + (total >> 16) + len(self.data)) & 0xFFFFFFFF

    def refresh_checksum(self):
        """Computes the checksum again, unless the linker left it 0 (not checked then)."""
        if struct.unpack_from("<I", self.data, self.checksum_at)[0]:
            struct.pack_into("<I", self.data, self.checksum_at, self.checksum())
