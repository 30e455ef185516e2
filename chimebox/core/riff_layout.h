#pragma once
// The sizes and offsets of the RIFF structures the reader walks, named once. All sizes are in
// bytes; offsets are from the start of a chunk's body unless said otherwise.

#include <cstdint>

namespace chimebox::riff {

// A chunk: a four-character code and a 32-bit size, then the body (no pad byte is assumed).
inline constexpr std::uint32_t kChunkHeaderSize = 8;
inline constexpr std::uint32_t kChunkSizeAt = 4;  // from the chunk's header
// "RIFF" chunk header and form type ("WAVE", "XWMA").
inline constexpr std::uint32_t kRiffHeaderSize = kChunkHeaderSize + 4;
inline constexpr std::uint32_t kFormTypeAt = kChunkHeaderSize;  // from the RIFF header
// The RIFF header and the header of one chunk inside it.
inline constexpr std::uint32_t kRiffWithOneChunkHeader = kRiffHeaderSize + kChunkHeaderSize;
// The smallest file the reader looks into.
inline constexpr std::uint32_t kMinimumFileSize = 34;

// "fmt " bodies: the plain wave format, then the extended one with its extension size.
inline constexpr std::uint32_t kWaveFormatSize = 16;
inline constexpr std::uint32_t kWaveFormatExSize = 18;
inline constexpr std::uint32_t kExtensionSizeAt = 16;
// The extended formats with a fixed extension: MS-ADPCM with its seven coefficient pairs,
// XMA2, and the extensible format (valid bits, channel mask, sub-format GUID).
inline constexpr std::uint32_t kAdpcmExtensionSize = 32;
inline constexpr std::uint32_t kXma2ExtensionSize = 34;
inline constexpr std::uint32_t kExtensibleExtensionSize = 22;
inline constexpr std::uint32_t kSubFormatAt = 24;      // the GUID's first 32 bits: the tag
inline constexpr std::uint32_t kSubFormatTailAt = 28;  // the 12 bytes every tag's GUID shares

// "wsmp": a header whose first field is its own size and whose fifth is the loop count, then
// 16-byte loop records (size, type, start, length).
inline constexpr std::uint32_t kWsmpMinimumSize = 20;
inline constexpr std::uint32_t kWsmpLoopCountAt = 16;
inline constexpr std::uint32_t kWsmpLoopSize = 16;
// "smpl": a 36-byte header whose eighth field is the loop count, then 24-byte loop records
// (identifier, type, first sample, last sample, fraction, play count).
inline constexpr std::uint32_t kSmplHeaderSize = 36;
inline constexpr std::uint32_t kSmplLoopCountAt = 28;
inline constexpr std::uint32_t kSmplLoopSize = 24;
// In a record of either: the loop's type, its first sample, then ("wsmp") its length or
// ("smpl") its last sample.
inline constexpr std::uint32_t kLoopTypeAt = 4;
inline constexpr std::uint32_t kLoopStartAt = 8;
inline constexpr std::uint32_t kWsmpLoopLengthAt = 12;
inline constexpr std::uint32_t kSmplLoopLastAt = 12;

}  // namespace chimebox::riff
