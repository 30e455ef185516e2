#pragma once
// A tiny RIFF writer for tests: little-endian fields, chunks with true or forged sizes, and the
// format blocks of the common wave formats.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace hostkit::riff {

using Bytes = std::vector<std::uint8_t>;

inline Bytes le16(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline Bytes le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline Bytes fourcc(std::string_view code) {
    return Bytes(code.begin(), code.begin() + 4);
}

inline Bytes zeros(std::size_t count) {
    return Bytes(count, 0);
}

// A chunk whose size field says `size`, whatever the body really holds.
inline Bytes chunkWithSize(std::string_view code, std::uint32_t size, const Bytes& body) {
    return cat({fourcc(code), le32(size), body});
}

inline Bytes chunk(std::string_view code, const Bytes& body) {
    return chunkWithSize(code, static_cast<std::uint32_t>(body.size()), body);
}

// "RIFF", its size (form type plus sub-chunks), the form type, the sub-chunks.
inline Bytes riff(std::string_view form, const Bytes& subChunks) {
    return chunk("RIFF", cat({fourcc(form), subChunks}));
}

// The 16 bytes every format block starts with.
inline Bytes formatBase(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                        std::uint16_t bits, std::uint16_t blockAlign = 0) {
    const std::uint16_t align =
        blockAlign != 0 ? blockAlign : static_cast<std::uint16_t>(channels * bits / 8);
    return cat(
        {le16(tag), le16(channels), le32(rate), le32(rate * align), le16(align), le16(bits)});
}

// A format block with cbSize and its extension bytes.
inline Bytes formatEx(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                      std::uint16_t bits, const Bytes& extension, std::uint16_t blockAlign = 0) {
    return cat({formatBase(tag, channels, rate, bits, blockAlign),
                le16(static_cast<std::uint32_t>(extension.size())), extension});
}

// The 22 extension bytes of WAVE_FORMAT_EXTENSIBLE with a base-form sub-format GUID.
inline Bytes extensibleTail(std::uint16_t validBits, std::uint32_t channelMask,
                            std::uint32_t subFormat) {
    return cat({le16(validBits), le32(channelMask), le32(subFormat),
                Bytes{0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}});
}

// A "smpl" chunk body with the given (type, first, last) loop records.
struct SamplerLoop {
    std::uint32_t type;
    std::uint32_t first;
    std::uint32_t last;
};
inline Bytes smplBody(std::initializer_list<SamplerLoop> loops) {
    Bytes body = cat({zeros(28), le32(static_cast<std::uint32_t>(loops.size())), le32(0)});
    for (const SamplerLoop& loop : loops) {
        body = cat(
            {body, le32(0), le32(loop.type), le32(loop.first), le32(loop.last), le32(0), le32(0)});
    }
    return body;
}

// A "wsmp" chunk body (20-byte header) with the given (type, start, length) loop records.
struct SampleLoop {
    std::uint32_t type;
    std::uint32_t start;
    std::uint32_t length;
};
inline Bytes wsmpBody(std::initializer_list<SampleLoop> loops) {
    Bytes body = cat({le32(20), zeros(12), le32(static_cast<std::uint32_t>(loops.size()))});
    for (const SampleLoop& loop : loops) {
        body = cat({body, le32(16), le32(loop.type), le32(loop.start), le32(loop.length)});
    }
    return body;
}

}  // namespace hostkit::riff
