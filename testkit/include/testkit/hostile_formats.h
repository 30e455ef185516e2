#pragma once
// Sound files whose format block an engine must never be handed: each is refused before a
// source voice is made, with XAudio2's invalid-call code. Tones of 0.05 s at the stated rate,
// with every field but the crafted one as a well-formed file has it.

#include <cstdint>
#include <string>
#include <vector>

#include "hostkit/riff_writer.h"
#include "hostkit/wave_files.h"

namespace testkit::wave {

namespace riff = hostkit::riff;
using namespace hostkit::wave;

struct HostileFormat {
    std::string name;
    riff::Bytes file;
    // Invalid by XAudio2's documented rules (refused on every platform), or only beyond what
    // FAudio decodes (refused by the FAudio adapter; passed on to XAudio2 on Windows).
    bool documented = true;
};

namespace hostile {

inline riff::Bytes withFormat(const riff::Bytes& format, std::size_t audioBytes = 2048) {
    return riff::riff("WAVE", riff::cat({riff::chunk("fmt ", format),
                                         riff::chunk("data", riff::Bytes(audioBytes, 0x40))}));
}

// An integer PCM block: channels, rate, block alignment, bits as given.
inline riff::Bytes pcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t align,
                             std::uint16_t bits) {
    return riff::cat({riff::le16(1), riff::le16(channels), riff::le32(rate),
                      riff::le32(rate * align), riff::le16(align), riff::le16(bits)});
}

inline riff::Bytes extensibleFormat(std::uint16_t channels, std::uint16_t align, std::uint16_t bits,
                                    std::uint16_t validBits, std::uint32_t subFormat) {
    return riff::formatEx(0xFFFE, channels, 22050, bits,
                          riff::extensibleTail(validBits, 0x4, subFormat), align);
}

// An MS-ADPCM block with its 7 coefficients.
inline riff::Bytes adpcmFormat(std::uint16_t channels, std::uint16_t align,
                               std::uint16_t samplesPerBlock) {
    riff::Bytes extension = riff::cat({riff::le16(samplesPerBlock), riff::le16(7)});
    const std::uint16_t coefficients[14] = {256, 0,   512, 0xFF00, 0,      0,   192,
                                            64,  240, 0,   460,    0xFF30, 392, 0xFF18};
    for (const std::uint16_t value : coefficients) {
        extension = riff::cat({extension, riff::le16(value)});
    }
    return riff::formatEx(2, channels, 22050, 4, extension, align);
}

}  // namespace hostile

inline std::vector<HostileFormat> hostileFormats() {
    using namespace hostile;
    return {
        {"block-align-0", withFormat(pcmFormat(1, 22050, 0, 16))},
        {"channels-0", withFormat(pcmFormat(0, 22050, 2, 16))},
        {"channels-0-extensible", withFormat(extensibleFormat(0, 2, 16, 16, 1))},
        {"channels-65535", withFormat(pcmFormat(65535, 22050, 2, 16))},
        {"bits-0", withFormat(pcmFormat(1, 22050, 2, 0))},
        {"bits-7", withFormat(pcmFormat(1, 22050, 1, 7))},
        {"bits-64", withFormat(pcmFormat(1, 22050, 8, 64))},
        {"rate-0", withFormat(pcmFormat(1, 0, 2, 16))},
        {"rate-999", withFormat(pcmFormat(1, 999, 2, 16))},
        {"rate-200001", withFormat(pcmFormat(1, 200001, 2, 16))},
        {"float-64-bits", withFormat(riff::formatEx(3, 1, 22050, 64, {}))},
        {"extensible-valid-bits-above-container", withFormat(extensibleFormat(1, 2, 16, 24, 1))},
        {"adpcm-block-align-0", withFormat(adpcmFormat(1, 0, 500))},
        {"adpcm-channels-0", withFormat(adpcmFormat(0, 256, 500))},
        {"adpcm-channels-8", withFormat(adpcmFormat(8, 256, 500))},
        {"adpcm-samples-per-block-513", withFormat(adpcmFormat(1, 262, 512 + 1))},
        // Consistent by the documented rules; FAudio decodes mono and stereo only.
        {"adpcm-8-channels-consistent", withFormat(adpcmFormat(8, 2048, 500), 4096), false},
        // Consistent by the documented rules; FAudio mixes at most 8 channels a voice.
        {"pcm-9-channels", withFormat(pcmFormat(9, 22050, 18, 16), 1800), false},
    };
}

}  // namespace testkit::wave
