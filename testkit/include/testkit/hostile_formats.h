#pragma once
// Sound files whose format block or buffer an engine must never be handed: each is refused
// before a source voice is made, with XAudio2's invalid-call code and the message of the step
// at which XAudio2 refuses it. Every field but the crafted one is as a well-formed file has it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostkit/riff_writer.h"
#include "hostkit/wave_files.h"

namespace testkit::wave {

namespace riff = hostkit::riff;
using namespace hostkit::wave;

// Constants, not strings built at start-up: the test tables that use them are built then too.
inline constexpr char kRefusedVoice[] = "Error -0X7769FFFF creating source voice";
inline constexpr char kRefusedBuffer[] = "Error -0X7769FFFF submitting source buffer";
inline constexpr char kRefusedWmaBuffer[] = "Error -0X7769FFFF submitting source buffer (xWMA)";

struct HostileFormat {
    std::string name;
    riff::Bytes file;
    std::string refusal = kRefusedVoice;  // the play's message
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

// A mono MS-ADPCM sound of 8 blocks of 500 frames with the given loop chunk ("smpl", "wsmp").
inline riff::Bytes adpcmLooped(std::string_view loopChunk, const riff::Bytes& loopBody) {
    return riff::riff("WAVE", riff::cat({riff::chunk("fmt ", adpcmFormat(1, 256, 500)),
                                         riff::chunk("data", riff::Bytes(8 * 256, 0x40)),
                                         riff::chunk(loopChunk, loopBody)}));
}

// A 16-bit mono PCM sound of 1,024 frames with a "smpl" loop from `first` to `last`.
inline riff::Bytes pcmLooped(std::uint32_t first, std::uint32_t last) {
    return riff::riff("WAVE", riff::cat({riff::chunk("fmt ", pcmFormat(1, 22050, 2, 16)),
                                         riff::chunk("data", riff::Bytes(2048, 0x40)),
                                         riff::chunk("smpl", riff::smplBody({{0, first, last}}))}));
}

// An xWMA file of 4 packets of 64 bytes, `tail` holding its packet table chunk (or none).
inline riff::Bytes xwma(const riff::Bytes& format, const riff::Bytes& tail) {
    return riff::riff("XWMA", riff::cat({riff::chunk("fmt ", format),
                                         riff::chunk("data", riff::Bytes(256, 0x40)), tail}));
}
inline riff::Bytes wmaFormat(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits) {
    return riff::formatEx(tag, channels, 44100, bits, {}, 64);
}
inline riff::Bytes packetTable(std::initializer_list<std::uint32_t> cumulative) {
    riff::Bytes body;
    for (const std::uint32_t bytes : cumulative) {
        body = riff::cat({body, riff::le32(bytes)});
    }
    return riff::chunk("dpds", body);
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
        {"adpcm-3-channels", withFormat(adpcmFormat(3, 768, 500), 1536)},
        {"adpcm-8-channels", withFormat(adpcmFormat(8, 2048, 500), 4096)},
        {"xma2", withFormat(riff::formatEx(0x0166, 2, 44100, 16, riff::zeros(34), 2048))},
        {"wma-bits-0", xwma(wmaFormat(0x0161, 2, 0), packetTable({4096, 8192, 12288, 16384}))},
        {"wma3-plain-6-channels",
         xwma(wmaFormat(0x0162, 6, 16), packetTable({4096, 8192, 12288, 16384}))},
        {"wma-extensible-bits-0",
         xwma(riff::formatEx(0xFFFE, 2, 44100, 0, riff::extensibleTail(0, 0x3, 0x0161), 64),
              packetTable({4096, 8192, 12288, 16384}))},
        {"wma-without-packet-table", xwma(wmaFormat(0x0161, 2, 16), {}), kRefusedBuffer},
        {"wma-empty-packet-table", xwma(wmaFormat(0x0161, 2, 16), riff::chunk("dpds", {})),
         kRefusedWmaBuffer},
        {"wma-packets-not-dividing",
         xwma(wmaFormat(0x0161, 2, 16), packetTable({4096, 8192, 12288})), kRefusedWmaBuffer},
        {"wma-packet-table-falling",
         xwma(wmaFormat(0x0161, 2, 16), packetTable({4096, 8192, 4096, 16384})), kRefusedWmaBuffer},
        {"wma-packet-table-all-0", xwma(wmaFormat(0x0162, 1, 16), packetTable({0, 0, 0, 0})),
         kRefusedWmaBuffer},
        {"wma-looped",
         riff::riff("WAVE", riff::cat({riff::chunk("fmt ", wmaFormat(0x0161, 2, 16)),
                                       riff::chunk("data", riff::Bytes(256, 0x40)),
                                       packetTable({4096, 8192, 12288, 16384}),
                                       riff::chunk("smpl", riff::smplBody({{0, 0, 99}}))})),
         kRefusedWmaBuffer},
        // A "smpl" loop whose first sample lies past its last: the length wraps.
        {"adpcm-loop-wraps", adpcmLooped("smpl", riff::smplBody({{0, 1000, 499}})), kRefusedBuffer},
        {"adpcm-loop-wsmp-overflows", adpcmLooped("wsmp", riff::wsmpBody({{0, 0xFFFFFE0C, 1000}})),
         kRefusedBuffer},
        {"adpcm-loop-past-end", adpcmLooped("smpl", riff::smplBody({{0, 3500, 4499}})),
         kRefusedBuffer},
        {"adpcm-loop-not-whole-blocks", adpcmLooped("smpl", riff::smplBody({{0, 250, 749}})),
         kRefusedBuffer},
        {"pcm-loop-wraps", pcmLooped(1000, 10), kRefusedBuffer},
        {"pcm-loop-past-end", pcmLooped(0, 1024), kRefusedBuffer},
        {"pcm-loop-starts-past-end", pcmLooped(4000, 4001), kRefusedBuffer},
        // Consistent by the documented rules; FAudio mixes at most 8 channels a voice.
        {"pcm-9-channels", withFormat(pcmFormat(9, 22050, 18, 16), 1800), kRefusedVoice, false},
    };
}

}  // namespace testkit::wave
