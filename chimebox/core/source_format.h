#pragma once
// The check a format block passes before a source voice is made of it. The engine is handed the
// format as the file states it, and an engine need not check it: FAudio (and Wine's XAudio2,
// built on it) divides by a block alignment of 0, indexes by a channel count of 0 and plays a
// rate of 0 Hz forever. So a play refuses, with the code XAudio2 gives an invalid call, every
// format that XAudio2 2.9 documents as invalid for a source voice:
//   - every format: 1 to 64 channels (XAUDIO2_MAX_AUDIO_CHANNELS), 1,000 to 200,000 frames
//     per second (XAUDIO2_MIN_SAMPLE_RATE, XAUDIO2_MAX_SAMPLE_RATE);
//   - integer PCM: 8, 16, 24 or 32-bit containers; float: 32 bits; for both, a block alignment
//     of exactly one frame (channels times container bytes);
//   - MS-ADPCM: 32 to 512 samples per block, and samples per block equal to
//     blockAlign * 2 / channels - 12;
//   - extensible (PCM or float sub-format): the valid bits within the container, and the
//     container's own PCM or float rule.
// What the documentation leaves open (ADPCM's channel limit, xWMA's block alignment) passes;
// an adapter whose engine cannot take such a format refuses it itself.

#include "hresult.h"

namespace chimebox {

inline constexpr HRESULT kInvalidCall =
    static_cast<HRESULT>(0x88960001u);  // XAUDIO2_E_INVALID_CALL

// `waveFormat` is a format block that the reader accepted (parseFormatAndAudio), so every field
// this reads lies inside it. kOk, or kInvalidCall.
[[nodiscard]] HRESULT checkSourceFormat(const void* waveFormat) noexcept;

}  // namespace chimebox
