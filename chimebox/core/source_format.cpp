// The documented source-voice format rules (see source_format.h).

#include "source_format.h"

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

bool validAdpcm(const Fields& f, const std::uint8_t* format) {
    const std::uint32_t samplesPerBlock = read16(format + 18);
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
    const std::uint32_t subFormat = read32(format + 24);
    if (validBits > f.bits) {
        return false;
    }
    if (subFormat == tags::kPcm) {
        return validPcm(f);
    }
    if (subFormat == tags::kIeeeFloat) {
        return validFloat(f);
    }
    return true;  // xWMA sub-formats: their rules are the decoder's
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
        default:
            break;  // xWMA and XMA2: their rules are the decoder's
    }
    return valid ? kOk : kInvalidCall;
}

}  // namespace chimebox
