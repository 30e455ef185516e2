"""Reads a PDB (an MSF 7.00 file) into its streams and writes it out again with a fresh,
deterministic layout; edits the records of its type streams and keeps their hashes and index
offsets in step."""

import math
import struct
import zlib

MAGIC = b"Microsoft C/C++ MSF 7.00\r\n\x1aDS\0\0\0"
INFO_STREAM, TPI_STREAM, DBI_STREAM, IPI_STREAM = 1, 2, 3, 4
NIL = 0xFFFFFFFF
LF_STRING_ID = 0x1605
# Type records whose hash is not a CRC of their bytes (it is taken from a name or an index).
NAME_HASHED_KINDS = {0x1504, 0x1505, 0x1506, 0x1507, 0x1606, 0x1607}
INDEX_OFFSET_INTERVAL = 8 * 1024  # a (type index, offset) pair each time the records cross 8 KiB
FIRST_TYPE_INDEX = 0x1000


class PdbFile:
    def __init__(self, data: bytes):
        if data[:len(MAGIC)] != MAGIC:
            raise ValueError("not an MSF 7.00 file")
        self.block_size, self.free_map, _, directory_bytes, _, block_map = struct.unpack_from("<6I", data, 32)
        size_of = self.block_size

        def gather(blocks, size):
            return b"".join(data[b * size_of:(b + 1) * size_of] for b in blocks)[:size]

        directory = gather(struct.unpack_from(f"<{self._blocks_for(directory_bytes)}I", data,
                                              block_map * size_of), directory_bytes)
        count = struct.unpack_from("<I", directory)[0]
        at = 4 + 4 * count
        self.streams = []  # bytearray, or None for a nil stream
        for size in struct.unpack_from(f"<{count}I", directory, 4):
            blocks = struct.unpack_from(f"<{self._blocks_for(0 if size == NIL else size)}I", directory, at)
            at += 4 * len(blocks)
            self.streams.append(None if size == NIL else bytearray(gather(blocks, size)))

    def _blocks_for(self, size: int) -> int:
        return math.ceil(size / self.block_size)

    def serialise(self) -> bytes:
        """Superblock, the two free block maps, the block map, every stream in order, then the
        directory. Blocks 1 and 2 of every interval stay reserved for free block maps."""
        size_of = self.block_size
        blocks = {}
        next_block = 3

        def place(content: bytes) -> list:
            nonlocal next_block
            placed = []
            for start in range(0, len(content), size_of):
                while next_block % size_of in (1, 2):
                    next_block += 1
                blocks[next_block] = content[start:start + size_of]
                placed.append(next_block)
                next_block += 1
            return placed

        block_map = place(bytes(4))[0]  # filled in below
        lists = [place(stream or b"") for stream in self.streams]
        directory = struct.pack("<I", len(self.streams))
        directory += b"".join(struct.pack("<I", NIL if s is None else len(s)) for s in self.streams)
        directory += b"".join(struct.pack(f"<{len(b)}I", *b) for b in lists)
        directory_blocks = place(directory)
        blocks[block_map] = struct.pack(f"<{len(directory_blocks)}I", *directory_blocks)
        count = next_block
        if count > size_of * 8:
            raise ValueError("PDB too large for one free block map block")
        used = bytearray(b"\xff" * size_of)
        used[:count // 8] = bytes(count // 8)
        if count % 8:
            used[count // 8] = 0xFF & ~((1 << (count % 8)) - 1)
        blocks[self.free_map] = bytes(used)
        blocks[3 - self.free_map] = b"\xff" * size_of
        blocks[0] = MAGIC + struct.pack("<6I", size_of, self.free_map, count, len(directory), 0, block_map)
        return b"".join(blocks.get(i, b"").ljust(size_of, b"\0") for i in range(count))

    def identity(self):
        """(signature, age, GUID) from the info stream."""
        signature, age = struct.unpack_from("<4xII", self.streams[INFO_STREAM])
        return signature, age, bytes(self.streams[INFO_STREAM][12:28])

    def set_identity(self, signature: int, guid: bytes):
        struct.pack_into("<I", self.streams[INFO_STREAM], 4, signature)
        self.streams[INFO_STREAM][12:28] = guid


def record_hash(record: bytes) -> int:
    """The hash of a type record that has no name to hash: CRC-32 of its bytes, length and kind
    included, with a register starting at 0 and no final inversion."""
    return ~zlib.crc32(record, 0xFFFFFFFF) & 0xFFFFFFFF


def index_offsets(lengths) -> list:
    """The (type index, offset) pairs a reader uses to find records without a full scan."""
    pairs, total = [], 0
    for number, length in enumerate(lengths):
        if number == 0 or (total + length) // INDEX_OFFSET_INTERVAL > total // INDEX_OFFSET_INTERVAL:
            pairs.append((FIRST_TYPE_INDEX + number, total))
        total += length
    return pairs


def string_id(record: bytes, text: bytes) -> bytes:
    """An LF_STRING_ID record like `record` holding `text`, padded to 4 bytes as linkers do."""
    body = record[2:8] + text + b"\0"
    padding = -(len(body) + 2) % 4
    body += bytes(0xF0 + n for n in range(padding, 0, -1))
    return struct.pack("<H", len(body)) + body


class TypeStream:
    """A TPI or IPI stream: its records, and the hash stream that indexes them."""
    HEADER = struct.Struct("<IIIIIHHIIiIiIiI")
    RECORD_BYTES, OFFSETS_LENGTH = 4, 12  # fields of HEADER that a rewrite changes

    def __init__(self, pdb: PdbFile, index: int):
        self.pdb, self.index = pdb, index
        content = pdb.streams[index]
        self.header = list(self.HEADER.unpack_from(content))
        (_, header_size, first, end, _, self.hash_stream, _, key_size, self.buckets, values_at,
         values_length, offsets_at, offsets_length, adjusters_at, adjusters_length) = self.header
        # As LLVM lays it out: hash values, an empty hash adjuster buffer, index offsets.
        if (first != FIRST_TYPE_INDEX or key_size != 4 or values_at != 0 or adjusters_length
                or values_length != 4 * (end - first) or offsets_at != values_length
                or adjusters_at != values_length):
            raise ValueError(f"stream {index}: unexpected header or hash stream layout")
        self.records, at = [], header_size
        for _ in range(end - first):
            length = struct.unpack_from("<H", content, at)[0] + 2
            self.records.append(bytes(content[at:at + length]))
            at += length
        hashes = pdb.streams[self.hash_stream]
        self.values = list(struct.unpack_from(f"<{end - first}I", hashes, values_at))
        stored = list(struct.iter_unpack("<II", hashes[offsets_at:offsets_at + offsets_length]))
        if stored != index_offsets(len(r) for r in self.records):
            raise ValueError(f"stream {index}: index offsets not laid out as this tool lays them out")

    def rewrite_strings(self, change) -> int:
        """Applies `change` (bytes -> bytes) to the text of every LF_STRING_ID record; records that
        change are laid out and hashed again. Returns how many changed. A record whose stored
        hash is not the one computed here is refused rather than guessed."""
        changed = 0
        for number, record in enumerate(self.records):
            kind = struct.unpack_from("<H", record, 2)[0]
            if kind != LF_STRING_ID:
                continue
            text = record[8:record.index(b"\0", 8)]
            edited = change(text)
            if edited == text:
                continue
            if self.values[number] != record_hash(record) % self.buckets:
                raise ValueError(f"stream {self.index}: record {FIRST_TYPE_INDEX + number:#x} "
                                 "has a hash this tool does not compute")
            self.records[number] = string_id(record, edited)
            self.values[number] = record_hash(self.records[number]) % self.buckets
            changed += 1
        self._store()
        return changed

    def _store(self):
        offsets = index_offsets(len(r) for r in self.records)
        hashes = struct.pack(f"<{len(self.values)}I", *self.values)
        hashes += b"".join(struct.pack("<II", *pair) for pair in offsets)
        self.header[self.RECORD_BYTES] = sum(len(r) for r in self.records)
        self.header[self.OFFSETS_LENGTH] = 8 * len(offsets)
        self.pdb.streams[self.hash_stream] = bytearray(hashes)
        head = self.HEADER.pack(*self.header)
        self.pdb.streams[self.index] = bytearray(head + self.pdb.streams[self.index][len(head):self.header[1]]
                                                 + b"".join(self.records))
