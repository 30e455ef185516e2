#pragma once
// The pieces of the reader's walk over a RIFF file, shared by its descriptions: chunks found in
// place, the "RIFF" header, the format block's tests and the loop chunks. Every offset is
// computed in 64 bits and checked against the end of the bytes before anything is read there.

#include <cstdint>
#include <optional>
#include <span>

#include "hresult.h"
#include "riff_layout.h"
#include "wave_reader.h"

namespace chimebox::riff {

using Bytes = std::span<const std::uint8_t>;

// A located chunk: where its header is and what its size field says.
struct Chunk {
    const std::uint8_t* header = nullptr;
    std::uint32_t size = 0;

    explicit operator bool() const { return header != nullptr; }
    [[nodiscard]] const std::uint8_t* body() const { return header + kChunkHeaderSize; }
    // Whether the body, as long as the size field says, lies inside `bytes`.
    [[nodiscard]] bool bodyInside(Bytes bytes) const {
        const auto offset = static_cast<std::uint64_t>(header - bytes.data());
        return offset + kChunkHeaderSize + size <= bytes.size();
    }
};

struct Riff {
    std::size_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t formType = 0;
};

// The "RIFF" chunk, searched from the first byte. A header too close to the end to hold its
// form type fails like a header without room for a sub-chunk.
[[nodiscard]] HRESULT findRiff(Bytes bytes, Riff& riff);
[[nodiscard]] bool roomForSubChunk(Bytes bytes, const Riff& riff);
[[nodiscard]] Chunk findSubChunk(Bytes bytes, const Riff& riff, std::uint32_t fourcc);

// The RIFF header as the format and packet-table steps read it.
[[nodiscard]] HRESULT readWaveOrXwmaHeader(Bytes bytes, Riff& riff);
// The header of bytes that should hold a whole sound file.
[[nodiscard]] HRESULT wholeFileHeader(Bytes bytes, Riff& riff);

// The tag tests of a format block whose body (`size` bytes) lies inside the buffer; which
// packet table the format needs goes into `out`.
[[nodiscard]] HRESULT checkFormat(const std::uint8_t* format, std::uint32_t size,
                                  FormatAndAudio& out);

// The loop of a WAVE file whose header has been read: the first loop of "wsmp", else of
// "smpl"; none leaves the two values alone.
[[nodiscard]] HRESULT loopIn(Bytes bytes, const Riff& riff, std::uint32_t& loopStart,
                             std::uint32_t& loopLength);

}  // namespace chimebox::riff
