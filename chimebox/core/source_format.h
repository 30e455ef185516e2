#pragma once
// The checks a sound passes before an engine sees it. The engine is handed the format and the
// buffer as the file states them, and an engine need not check them: FAudio (and Wine's
// XAudio2, built on it) divides by a block alignment of 0, indexes by a channel count of 0,
// plays a rate of 0 Hz forever, decodes ADPCM loops past the end of the buffer and reads a
// missing packet table. So a play refuses, with the code XAudio2 gives an invalid call, every
// format and buffer that XAudio2 2.9 documents as invalid for a source voice on the desktop:
//   - every format: 1 to 64 channels (XAUDIO2_MAX_AUDIO_CHANNELS), 1,000 to 200,000 frames
//     per second (XAUDIO2_MIN_SAMPLE_RATE, XAUDIO2_MAX_SAMPLE_RATE);
//   - integer PCM: 8, 16, 24 or 32-bit containers; float: 32 bits; for both, a block alignment
//     of exactly one frame (channels times container bytes);
//   - MS-ADPCM: mono or stereo, 32 to 512 samples per block, and samples per block equal to
//     blockAlign * 2 / channels - 12;
//   - extensible (PCM or float sub-format): the valid bits within the container, and the
//     container's own PCM or float rule;
//   - xWMA (WMA v2 and WMA Pro tags, plain or as an extensible sub-format): 16-bit samples, the
//     decoder's output that the packet table counts; a plain format block for one or two
//     channels only (more channels take the extensible form);
//   - XMA2: not decoded by XAudio2 on the desktop.
// The buffer (checkSourceBuffer):
//   - xWMA: a packet table of at least one entry whose count divides the audio bytes evenly,
//     with cumulative sizes that never fall and end above 0;
//   - a loop region: its first sample inside the sound, its end (first + length, without
//     32-bit wrap) at most the sound's length; for MS-ADPCM both first sample and length
//     whole blocks; none for xWMA, which loops only as a whole file.
// What the documentation leaves open (xWMA's block alignment) passes; an adapter whose engine
// cannot take such a format refuses it itself.

#include "hresult.h"
#include "wave_reader.h"

namespace chimebox {

inline constexpr HRESULT kInvalidCall =
    static_cast<HRESULT>(0x88960001u);  // XAUDIO2_E_INVALID_CALL

// `waveFormat` is a format block that the reader accepted (parseFormatAndAudio), so every field
// this reads lies inside it. kOk, or kInvalidCall.
[[nodiscard]] HRESULT checkSourceFormat(const void* waveFormat) noexcept;

// `data` is a load whose format passed checkSourceFormat. kOk, or kInvalidCall.
[[nodiscard]] HRESULT checkSourceBuffer(const WaveFileData& data) noexcept;

// The tag that names the voice's encoding: the sub-format's for an extensible format.
[[nodiscard]] std::uint16_t encodingTagOf(const void* waveFormat) noexcept;

}  // namespace chimebox
