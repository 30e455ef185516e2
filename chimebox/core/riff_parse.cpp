// Chunk walking and the three descriptions a load makes of a RIFF file's bytes. Every offset is
// computed in 64 bits and checked against the end of the bytes before anything is read there.

#include <cstring>
#include <optional>

#include "format_tags.h"
#include "little_endian.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t kHeaderSize = 8;

// A located chunk: where its header is and what its size field says.
struct Chunk {
    const std::uint8_t* header = nullptr;
    std::uint32_t size = 0;

    explicit operator bool() const { return header != nullptr; }
    [[nodiscard]] const std::uint8_t* body() const { return header + kHeaderSize; }
    // Whether the body, as long as the size field says, lies inside `bytes`.
    [[nodiscard]] bool bodyInside(Bytes bytes) const {
        const auto offset = static_cast<std::uint64_t>(header - bytes.data());
        return offset + kHeaderSize + size <= bytes.size();
    }
};

Chunk findChunk(Bytes bytes, std::size_t start, std::uint32_t rangeSize, std::uint32_t fourcc) {
    const std::uint8_t* header = locateChunk(bytes, start, rangeSize, fourcc);
    return header != nullptr ? Chunk{header, read32(header + 4)} : Chunk{};
}

struct Riff {
    std::size_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t formType = 0;
};

// The "RIFF" chunk, searched from the first byte. A header too close to the end to hold its
// form type fails like a header without room for a sub-chunk.
HRESULT findRiff(Bytes bytes, Riff& riff) {
    const Chunk chunk = findChunk(bytes, 0, static_cast<std::uint32_t>(bytes.size()), kFourccRiff);
    if (!chunk || chunk.size < 4) {
        return kFail;
    }
    riff.offset = static_cast<std::size_t>(chunk.header - bytes.data());
    riff.size = chunk.size;
    if (riff.offset + 12 > bytes.size()) {
        return kHandleEof;
    }
    riff.formType = read32(chunk.header + 8);
    return kOk;
}

bool roomForSubChunk(Bytes bytes, const Riff& riff) {
    return riff.offset + 20 <= bytes.size();
}

Chunk findSubChunk(Bytes bytes, const Riff& riff, std::uint32_t fourcc) {
    return findChunk(bytes, riff.offset + 12, riff.size, fourcc);
}

// The RIFF header as the format and packet-table steps read it.
HRESULT readWaveOrXwmaHeader(Bytes bytes, Riff& riff) {
    if (const HRESULT found = findRiff(bytes, riff); failed(found)) {
        return found;
    }
    if (riff.formType != kFourccWave && riff.formType != kFourccXwma) {
        return kFail;
    }
    return roomForSubChunk(bytes, riff) ? kOk : kHandleEof;
}

// The header of bytes that should hold a whole sound file (34 bytes at least).
HRESULT wholeFileHeader(Bytes bytes, Riff& riff) {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < 34) {
        return kFail;
    }
    return readWaveOrXwmaHeader(bytes, riff);
}

// The tail every base-form sub-format GUID shares: {xxxxxxxx-0000-0010-8000-00AA00389B71}.
constexpr std::uint8_t kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                             0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The tag tests of a format block whose body (`size` bytes) lies inside the buffer.
HRESULT checkFormat(const std::uint8_t* format, std::uint32_t size, FormatAndAudio& out) {
    const std::uint16_t tag = read16(format);
    if (tag == tags::kPcm || tag == tags::kIeeeFloat) {
        return kOk;
    }
    if (size < 18) {
        return kFail;
    }
    const std::uint16_t extension = read16(format + 16);
    if (size < std::uint32_t{extension} + 18) {
        return kFail;
    }
    switch (tag) {
        case tags::kAdpcm:
            return size >= 50 && extension >= 32 ? kOk : kFail;
        case tags::kWmaudio2:
        case tags::kWmaudio3:
            out.needsWmaTable = true;
            return kOk;
        case tags::kXma2:
            if (size < 52 || extension < 34) {
                return kFail;
            }
            out.needsXma2Table = true;
            return kOk;
        case tags::kExtensible: {
            if (size < 40 || extension < 22) {
                return kFail;
            }
            if (std::memcmp(format + 28, kSubFormatTail, sizeof(kSubFormatTail)) != 0) {
                return kNotSupported;
            }
            const std::uint32_t subFormat = read32(format + 24);
            if (subFormat == tags::kPcm || subFormat == tags::kIeeeFloat) {
                return kOk;
            }
            if (subFormat == tags::kWmaudio2 || subFormat == tags::kWmaudio3) {
                out.needsWmaTable = true;
                return kOk;
            }
            return kNotSupported;
        }
        default:
            return kNotSupported;
    }
}

}  // namespace

const std::uint8_t* locateChunk(Bytes bytes, std::size_t start, std::uint32_t rangeSize,
                                std::uint32_t fourcc) noexcept {
    if (bytes.data() == nullptr || rangeSize <= kHeaderSize) {
        return nullptr;
    }
    const std::uint64_t rangeEnd = std::uint64_t{start} + rangeSize;
    std::uint64_t at = start;
    // A header whose 8 bytes end exactly at the range end is not examined.
    while (at + kHeaderSize < rangeEnd && at + kHeaderSize <= bytes.size()) {
        const std::uint8_t* header = bytes.data() + at;
        if (read32(header) == fourcc) {
            return header;
        }
        const std::uint32_t size = read32(header + 4);
        if (size >= 0xFFFFFFF7u) {
            return nullptr;
        }
        at += kHeaderSize + size;
        if (at > bytes.size()) {
            return nullptr;
        }
    }
    return nullptr;
}

namespace {

// The format and audio chunks of a file whose header has been read.
HRESULT formatAndAudioIn(Bytes bytes, const Riff& riff, FormatAndAudio& out) {
    const Chunk format = findSubChunk(bytes, riff, kFourccFmt);
    if (!format || format.size < 16) {
        return kFail;
    }
    if (!format.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (const HRESULT checked = checkFormat(format.body(), format.size, out); failed(checked)) {
        return checked;
    }

    const Chunk audio = findSubChunk(bytes, riff, kFourccData);
    if (!audio || audio.size == 0) {
        return kInvalidData;
    }
    if (!audio.bodyInside(bytes)) {
        return kHandleEof;
    }
    out.waveFormat = format.body();
    out.audioData = audio.body();
    out.audioDataBytes = audio.size;
    return kOk;
}

}  // namespace

HRESULT parseFormatAndAudio(Bytes bytes, FormatAndAudio& out) noexcept {
    out.needsWmaTable = false;
    out.needsXma2Table = false;
    Riff riff;
    if (const HRESULT header = wholeFileHeader(bytes, riff); failed(header)) {
        return header;
    }
    return formatAndAudioIn(bytes, riff, out);
}

namespace {

struct Loop {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
};

// "wsmp": a header of its own size, then 16-byte records; types 0 and 1 are loops. The first
// loop into `loop`, if there is one.
HRESULT wsmpLoop(Bytes bytes, const Chunk& wsmp, std::optional<Loop>& loop) {
    if (!wsmp.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (wsmp.size < 20) {
        return kOk;
    }
    const std::uint8_t* body = wsmp.body();
    const std::uint32_t headerSize = read32(body);
    const std::uint32_t count = read32(body + 16);
    if (count == 0 || std::uint64_t{headerSize} + 16ull * count > wsmp.size) {
        return kOk;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* record = body + headerSize + 16ull * i;
        if (read32(record + 4) < 2) {
            loop = Loop{read32(record + 8), read32(record + 12)};
            return kOk;
        }
    }
    return kOk;
}

// "smpl": 36 bytes of header, then 24-byte records; type 0 is a forward loop.
HRESULT smplLoop(Bytes bytes, const Chunk& smpl, std::optional<Loop>& loop) {
    if (!smpl.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (smpl.size < 36) {
        return kOk;
    }
    const std::uint8_t* body = smpl.body();
    const std::uint32_t count = read32(body + 28);
    if (count == 0 || 24ull * count + 36 > smpl.size) {
        return kOk;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* record = body + 36 + 24ull * i;
        if (read32(record + 4) == 0) {
            const std::uint32_t first = read32(record + 8);
            const std::uint32_t last = read32(record + 12);
            loop = Loop{first, last - first + 1};  // wraps, as 32-bit sample counts do
            return kOk;
        }
    }
    return kOk;
}

// The loop of a WAVE file whose header has been read: the first loop of "wsmp", else of
// "smpl"; none leaves the two values alone.
HRESULT loopIn(Bytes bytes, const Riff& riff, std::uint32_t& loopStart, std::uint32_t& loopLength) {
    std::optional<Loop> loop;
    if (const Chunk wsmp = findSubChunk(bytes, riff, kFourccWsmp)) {
        if (const HRESULT read = wsmpLoop(bytes, wsmp, loop); failed(read)) {
            return read;
        }
    }
    if (!loop) {
        if (const Chunk smpl = findSubChunk(bytes, riff, kFourccSmpl)) {
            if (const HRESULT read = smplLoop(bytes, smpl, loop); failed(read)) {
                return read;
            }
        }
    }
    if (loop) {
        loopStart = loop->start;
        loopLength = loop->length;
    }
    return kOk;
}

// The table of 32-bit entries in chunk `fourcc` of a file whose header has been read; none is
// no table.
HRESULT seekTableIn(Bytes bytes, const Riff& riff, std::uint32_t fourcc, const void*& table,
                    std::uint32_t& entries) {
    const Chunk chunk = findSubChunk(bytes, riff, fourcc);
    if (!chunk) {
        return kOk;
    }
    if (!chunk.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (chunk.size % 4 != 0) {
        return kFail;
    }
    table = chunk.body();
    entries = chunk.size / 4;
    return kOk;
}

}  // namespace

HRESULT readLoopRegion(Bytes bytes, std::uint32_t& loopStart, std::uint32_t& loopLength) noexcept {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < 12) {
        return kFail;
    }
    loopStart = 0;
    loopLength = 0;
    Riff riff;
    if (const HRESULT found = findRiff(bytes, riff); failed(found)) {
        return found;
    }
    if (riff.formType == kFourccXwma) {
        return kOk;  // xWMA files never loop
    }
    if (riff.formType != kFourccWave) {
        return kFail;
    }
    if (!roomForSubChunk(bytes, riff)) {
        return kHandleEof;
    }
    return loopIn(bytes, riff, loopStart, loopLength);
}

HRESULT readSeekTable(Bytes bytes, std::uint32_t fourcc, const void*& table,
                      std::uint32_t& entries) noexcept {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < 12) {
        return kFail;
    }
    table = nullptr;
    entries = 0;
    Riff riff;
    if (const HRESULT header = readWaveOrXwmaHeader(bytes, riff); failed(header)) {
        return header;
    }
    return seekTableIn(bytes, riff, fourcc, table, entries);
}

HRESULT describeWave(Bytes bytes, WaveFileData& data) noexcept {
    Riff riff;
    if (const HRESULT header = wholeFileHeader(bytes, riff); failed(header)) {
        return header;
    }
    FormatAndAudio format;
    if (const HRESULT parsed = formatAndAudioIn(bytes, riff, format); failed(parsed)) {
        return parsed;
    }
    data.waveFormat = format.waveFormat;
    data.audioData = format.audioData;
    data.audioDataBytes = format.audioDataBytes;
    if (riff.formType == kFourccWave) {  // xWMA files never loop
        if (const HRESULT loop = loopIn(bytes, riff, data.loopStart, data.loopLength);
            failed(loop)) {
            return loop;
        }
    }
    if (format.needsWmaTable || format.needsXma2Table) {
        const std::uint32_t fourcc = format.needsWmaTable ? kFourccDpds : kFourccSeek;
        return seekTableIn(bytes, riff, fourcc, data.seekTable, data.seekTableEntries);
    }
    return kOk;
}

}  // namespace chimebox
