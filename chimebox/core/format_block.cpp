// The reader's tests of a "fmt " block: which tags it accepts, with which sizes, and which
// packet table each needs.

#include <cstring>

#include "format_tags.h"
#include "little_endian.h"
#include "riff_chunks.h"

namespace chimebox::riff {
namespace {

// The tail every base-form sub-format GUID shares: {xxxxxxxx-0000-0010-8000-00AA00389B71}.
constexpr std::uint8_t kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                             0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Whether the block holds the extended format with at least `extension` bytes of extension.
bool holds(std::uint32_t size, std::uint16_t declared, std::uint32_t extension) {
    return size >= kWaveFormatExSize + extension && declared >= extension;
}

HRESULT checkExtensible(const std::uint8_t* format, std::uint32_t size, std::uint16_t declared,
                        FormatAndAudio& out) {
    if (!holds(size, declared, kExtensibleExtensionSize)) {
        return kFail;
    }
    if (std::memcmp(format + kSubFormatTailAt, kSubFormatTail, sizeof(kSubFormatTail)) != 0) {
        return kNotSupported;
    }
    const std::uint32_t subFormat = read32(format + kSubFormatAt);
    if (subFormat == tags::kPcm || subFormat == tags::kIeeeFloat) {
        return kOk;
    }
    if (subFormat == tags::kWmaudio2 || subFormat == tags::kWmaudio3) {
        out.needsWmaTable = true;
        return kOk;
    }
    return kNotSupported;
}

}  // namespace

HRESULT checkFormat(const std::uint8_t* format, std::uint32_t size, FormatAndAudio& out) {
    const std::uint16_t tag = read16(format);
    if (tag == tags::kPcm || tag == tags::kIeeeFloat) {
        return kOk;
    }
    if (size < kWaveFormatExSize) {
        return kFail;
    }
    const std::uint16_t extension = read16(format + kExtensionSizeAt);
    if (size < std::uint32_t{extension} + kWaveFormatExSize) {
        return kFail;
    }
    switch (tag) {
        case tags::kAdpcm:
            return holds(size, extension, kAdpcmExtensionSize) ? kOk : kFail;
        case tags::kWmaudio2:
        case tags::kWmaudio3:
            out.needsWmaTable = true;
            return kOk;
        case tags::kXma2:
            if (!holds(size, extension, kXma2ExtensionSize)) {
                return kFail;
            }
            out.needsXma2Table = true;
            return kOk;
        case tags::kExtensible:
            return checkExtensible(format, size, extension, out);
        default:
            return kNotSupported;
    }
}

}  // namespace chimebox::riff
