#pragma once
// The sound file reader: one RIFF "WAVE" or "XWMA" file read whole into memory and described in
// place for the audio engine.
//
// Ownership: the bytes live in the caller's FileBytes holder; every pointer in WaveFileData
// points into them and is valid exactly as long as the caller keeps that holder. Pointers may
// be unaligned (chunks start at any byte); read through them with memcpy or hand them on.
// Threads: no shared state; loads may run on several threads at once.
// Failures are HRESULTs; nothing throws.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "file_system.h"
#include "hresult.h"

namespace chimebox {

struct WaveFileData {
    const void* waveFormat = nullptr;         // body of the first "fmt " chunk (a WAVEFORMATEX)
    const std::uint8_t* audioData = nullptr;  // body of the first "data" chunk
    std::uint32_t audioDataBytes = 0;
    std::uint32_t loopStart = 0;      // samples
    std::uint32_t loopLength = 0;     // samples; 0 means no loop
    const void* seekTable = nullptr;  // 32-bit cumulative decoded bytes per packet, or null
    std::uint32_t seekTableEntries = 0;
};

// FourCCs as little-endian 32-bit values.
inline constexpr std::uint32_t kFourccRiff = 0x46464952;
inline constexpr std::uint32_t kFourccWave = 0x45564157;
inline constexpr std::uint32_t kFourccXwma = 0x414D5758;
inline constexpr std::uint32_t kFourccFmt = 0x20746D66;
inline constexpr std::uint32_t kFourccData = 0x61746164;
inline constexpr std::uint32_t kFourccWsmp = 0x706D7377;
inline constexpr std::uint32_t kFourccSmpl = 0x6C706D73;
inline constexpr std::uint32_t kFourccDpds = 0x73647064;
inline constexpr std::uint32_t kFourccSeek = 0x6B656573;

// Loads `path` (NUL-terminated UTF-16; null gives kInvalidArg with `data` untouched) into
// `buffer` and describes it in `data`. On failure the caller uses nothing of `data` and simply
// drops `buffer`, which may already hold the file's bytes.
[[nodiscard]] HRESULT loadWaveFile(FileSystem& files, const char16_t* path, FileBytes& buffer,
                                   WaveFileData& data) noexcept;

// The steps of a load, each over the bytes of a whole file. Exposed for tests and fuzzing.
// The header of the first chunk with `fourcc`, searching from `start` over `rangeSize` bytes,
// chunk by chunk (8-byte header, body, no pad byte), never past the end of `bytes`.
[[nodiscard]] const std::uint8_t* locateChunk(std::span<const std::uint8_t> bytes,
                                              std::size_t start, std::uint32_t rangeSize,
                                              std::uint32_t fourcc) noexcept;

struct FormatAndAudio {
    const void* waveFormat = nullptr;
    const std::uint8_t* audioData = nullptr;
    std::uint32_t audioDataBytes = 0;
    bool needsWmaTable = false;   // "dpds"
    bool needsXma2Table = false;  // "seek"
};

// A null `bytes.data()` gives kPointer in each of these.
[[nodiscard]] HRESULT parseFormatAndAudio(std::span<const std::uint8_t> bytes,
                                          FormatAndAudio& out) noexcept;
[[nodiscard]] HRESULT readLoopRegion(std::span<const std::uint8_t> bytes, std::uint32_t& loopStart,
                                     std::uint32_t& loopLength) noexcept;
[[nodiscard]] HRESULT readSeekTable(std::span<const std::uint8_t> bytes, std::uint32_t fourcc,
                                    const void*& table, std::uint32_t& entries) noexcept;

// The three descriptions at once, from one reading of the RIFF header, into `data` (in its start
// state): what a load makes of the file's bytes.
[[nodiscard]] HRESULT describeWave(std::span<const std::uint8_t> bytes,
                                   WaveFileData& data) noexcept;

}  // namespace chimebox
