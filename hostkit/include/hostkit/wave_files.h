#pragma once
// Sound files for tests and demos, generated in memory: tones in the common PCM and float
// formats, MS-ADPCM noise, and a looped tone.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "hostkit/riff_writer.h"

namespace hostkit::wave {

using riff::Bytes;

struct Tone {
    std::uint32_t rate = 22050;
    std::uint16_t channels = 1;
    double seconds = 0.5;
    double frequency = 440.0;
};

inline double sampleAt(const Tone& tone, std::uint32_t frame) {
    constexpr double kTwoPi = 6.283185307179586;
    return 0.5 * std::sin(kTwoPi * tone.frequency * frame / tone.rate);
}

inline std::uint32_t frames(const Tone& tone) {
    return static_cast<std::uint32_t>(tone.seconds * tone.rate);
}

inline Bytes samples(const Tone& tone, int bits, bool floating) {
    Bytes out;
    for (std::uint32_t frame = 0; frame < frames(tone); ++frame) {
        const double value = sampleAt(tone, frame);
        for (std::uint16_t channel = 0; channel < tone.channels; ++channel) {
            Bytes encoded;
            if (floating) {
                const float f = static_cast<float>(value);
                std::uint32_t raw = 0;
                std::memcpy(&raw, &f, 4);
                encoded = riff::le32(raw);
            } else if (bits == 8) {
                encoded = {static_cast<std::uint8_t>(128 + std::lround(value * 127))};
            } else {
                encoded = riff::le16(static_cast<std::uint16_t>(
                    static_cast<std::int16_t>(std::lround(value * 32767))));
            }
            out.insert(out.end(), encoded.begin(), encoded.end());
        }
    }
    return out;
}

inline Bytes pcm(const Tone& tone, std::uint16_t bits) {
    return riff::riff(
        "WAVE", riff::cat({riff::chunk("fmt ", riff::formatBase(1, tone.channels, tone.rate, bits)),
                           riff::chunk("data", samples(tone, bits, false))}));
}

inline Bytes ieeeFloat(const Tone& tone) {
    return riff::riff(
        "WAVE", riff::cat({riff::chunk("fmt ", riff::formatEx(3, tone.channels, tone.rate, 32, {})),
                           riff::chunk("data", samples(tone, 32, true))}));
}

inline Bytes extensiblePcm16(const Tone& tone) {
    const std::uint32_t mask = tone.channels == 1 ? 0x4 : 0x3;
    return riff::riff(
        "WAVE", riff::cat({riff::chunk("fmt ", riff::formatEx(0xFFFE, tone.channels, tone.rate, 16,
                                                              riff::extensibleTail(16, mask, 1))),
                           riff::chunk("data", samples(tone, 16, false))}));
}

// A 16-bit tone whose frames [loopStart, loopEnd] form a forward loop ("smpl"), so it sounds
// for seconds + (loopEnd - loopStart + 1) / rate.
inline Bytes loopedPcm16(const Tone& tone, std::uint32_t loopStart, std::uint32_t loopEnd) {
    Bytes smpl =
        riff::cat({riff::zeros(28), riff::le32(1), riff::le32(0), riff::le32(0), riff::le32(0),
                   riff::le32(loopStart), riff::le32(loopEnd), riff::le32(0), riff::le32(0)});
    return riff::riff(
        "WAVE",
        riff::cat({riff::chunk("fmt ", riff::formatBase(1, tone.channels, tone.rate, 16)),
                   riff::chunk("data", samples(tone, 16, false)), riff::chunk("smpl", smpl)}));
}

// Mono MS-ADPCM: blocks of 256 bytes (500 frames) whose nibbles are pseudo-random, so the
// decoded sound is loud noise from start to end.
inline Bytes adpcmNoise(std::uint32_t rate, double seconds) {
    constexpr std::uint16_t kBlockAlign = 256;
    constexpr std::uint16_t kFramesPerBlock = (kBlockAlign - 7) * 2 + 2;
    const Bytes coefficients = riff::cat(
        {riff::le16(256), riff::le16(0), riff::le16(512), riff::le16(0xFF00), riff::le16(0),
         riff::le16(0), riff::le16(192), riff::le16(64), riff::le16(240), riff::le16(0),
         riff::le16(460), riff::le16(0xFF30), riff::le16(392), riff::le16(0xFF18)});
    const Bytes extension = riff::cat({riff::le16(kFramesPerBlock), riff::le16(7), coefficients});
    Bytes format = riff::formatEx(2, 1, rate, 4, extension, kBlockAlign);
    // nAvgBytesPerSec of ADPCM: bytes per block times blocks per second.
    const Bytes average = riff::le32(rate * kBlockAlign / kFramesPerBlock);
    std::copy(average.begin(), average.end(), format.begin() + 8);

    const auto blocks = static_cast<std::uint32_t>(seconds * rate / kFramesPerBlock);
    Bytes data;
    std::uint32_t state = 12345;
    for (std::uint32_t block = 0; block < blocks; ++block) {
        const Bytes header =
            riff::cat({Bytes{0}, riff::le16(256), riff::le16(0x1000), riff::le16(0xF000)});
        data.insert(data.end(), header.begin(), header.end());
        for (int i = 7; i < kBlockAlign; ++i) {
            state = state * 1103515245u + 12345u;
            data.push_back(static_cast<std::uint8_t>(state >> 16));
        }
    }
    return riff::riff("WAVE", riff::cat({riff::chunk("fmt ", format), riff::chunk("data", data)}));
}

}  // namespace hostkit::wave
