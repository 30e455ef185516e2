// The documented source-voice format and buffer rules (see source_format.h).

#include "source_format.h"

#include <cstddef>
#include <cstdint>

#include "format_tags.h"
#include "little_endian.h"

namespace chimebox {
namespace {

constexpr std::uint32_t kMaxChannels = 64;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 200000;
constexpr std::uint32_t kMinAdpcmSamplesPerBlock = 32;
constexpr std::uint32_t kMaxAdpcmSamplesPerBlock = 512;
constexpr std::uint32_t kMaxAdpcmChannels = 2;
constexpr std::uint32_t kMaxPlainWmaChannels = 2;
constexpr std::uint32_t kWmaBits = 16;
constexpr std::size_t kSamplesPerBlockOffset = 18;
constexpr std::size_t kSubFormatOffset = 24;

// The fields of a WAVEFORMATEX, and of the extensions a check reads.
struct Fields {
    std::uint16_t tag = 0;
    std::uint32_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    std::uint32_t bits = 0;
};

Fields fieldsOf(const std::uint8_t* format) {
    return {read16(format), read16(format + 2), read32(format + 4), read16(format + 12),
            read16(format + 14)};
}

bool oneFramePerBlock(const Fields& f) {
    return f.blockAlign == f.channels * (f.bits / 8);
}

bool validPcm(const Fields& f) {
    const bool container = f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
    return container && oneFramePerBlock(f);
}

bool validFloat(const Fields& f) {
    return f.bits == 32 && oneFramePerBlock(f);
}

bool isWma(std::uint16_t tag) {
    return tag == tags::kWmaudio2 || tag == tags::kWmaudio3;
}

bool validAdpcm(const Fields& f, const std::uint8_t* format) {
    if (f.channels > kMaxAdpcmChannels) {
        return false;
    }
    const std::uint32_t samplesPerBlock = read16(format + kSamplesPerBlockOffset);
    if (samplesPerBlock < kMinAdpcmSamplesPerBlock || samplesPerBlock > kMaxAdpcmSamplesPerBlock) {
        return false;
    }
    // blockAlign * 2 / channels - 12, taken as a signed value: a block too small for its
    // headers gives a negative count, never a huge one.
    const auto expected = static_cast<std::int64_t>(f.blockAlign * 2 / f.channels) - 12;
    return expected == samplesPerBlock;
}

bool validExtensible(const Fields& f, const std::uint8_t* format) {
    const std::uint32_t validBits = read16(format + 18);
    const std::uint32_t subFormat = read32(format + kSubFormatOffset);
    if (validBits > f.bits) {
        return false;
    }
    if (subFormat == tags::kPcm) {
        return validPcm(f);
    }
    if (subFormat == tags::kIeeeFloat) {
        return validFloat(f);
    }
    return f.bits == kWmaBits;  // the reader lets only the xWMA sub-formats through
}

// Cumulative decoded bytes per packet, one entry a packet of equal size: at least one entry,
// a count that divides the audio bytes, sizes that never fall and end above 0.
bool validPacketTable(const WaveFileData& data) {
    const std::uint32_t entries = data.seekTableEntries;
    if (data.seekTable == nullptr || entries == 0 || data.audioDataBytes % entries != 0) {
        return false;
    }
    const auto* table = static_cast<const std::uint8_t*>(data.seekTable);
    std::uint32_t previous = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint32_t cumulative = read32(table + std::size_t{i} * 4);
        if (cumulative < previous) {
            return false;
        }
        previous = cumulative;
    }
    return previous > 0;
}

}  // namespace

HRESULT checkSourceFormat(const void* waveFormat) noexcept {
    if (waveFormat == nullptr) {
        return kInvalidCall;
    }
    const auto* format = static_cast<const std::uint8_t*>(waveFormat);
    const Fields f = fieldsOf(format);
    if (f.channels == 0 || f.channels > kMaxChannels || f.rate < kMinRate || f.rate > kMaxRate) {
        return kInvalidCall;
    }
    bool valid = true;
    switch (f.tag) {
        case tags::kPcm:
            valid = validPcm(f);
            break;
        case tags::kIeeeFloat:
            valid = validFloat(f);
            break;
        case tags::kAdpcm:
            valid = validAdpcm(f, format);
            break;
        case tags::kExtensible:
            valid = validExtensible(f, format);
            break;
        case tags::kWmaudio2:
        case tags::kWmaudio3:
            valid = f.bits == kWmaBits && f.channels <= kMaxPlainWmaChannels;
            break;
        default:
            valid = false;  // XMA2, the one other tag the reader accepts
            break;
    }
    return valid ? kOk : kInvalidCall;
}

std::uint16_t encodingTagOf(const void* waveFormat) noexcept {
    const auto* format = static_cast<const std::uint8_t*>(waveFormat);
    const std::uint16_t tag = read16(format);
    return tag == tags::kExtensible ? read16(format + kSubFormatOffset) : tag;
}

HRESULT checkSourceBuffer(const WaveFileData& data) noexcept {
    const auto* format = static_cast<const std::uint8_t*>(data.waveFormat);
    const std::uint16_t tag = encodingTagOf(format);
    if (isWma(tag)) {
        return validPacketTable(data) && data.loopLength == 0 ? kOk : kInvalidCall;
    }
    if (data.loopLength == 0) {
        return kOk;
    }
    const Fields f = fieldsOf(format);
    const std::uint64_t blocks = data.audioDataBytes / f.blockAlign;
    const std::uint32_t framesPerBlock =
        tag == tags::kAdpcm ? read16(format + kSamplesPerBlockOffset) : 1;
    const std::uint64_t frames = blocks * framesPerBlock;
    const std::uint64_t loopEnd = std::uint64_t{data.loopStart} + data.loopLength;
    const bool wholeBlocks =
        data.loopStart % framesPerBlock == 0 && data.loopLength % framesPerBlock == 0;
    return data.loopStart < frames && loopEnd <= frames && wholeBlocks ? kOk : kInvalidCall;
}

}  // namespace chimebox
