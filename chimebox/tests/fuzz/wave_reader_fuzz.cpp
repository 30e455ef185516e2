// libFuzzer target for the sound file reader: any bytes, loaded through a file system that
// serves them from an exact-size heap block, must give a result code and never a read outside
// the block; a successful load must describe ranges that lie inside it.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bytes_as_file.h"
#include "wave_reader.h"

namespace {

bool inside(const void* begin, std::uint64_t length, const std::uint8_t* block, std::size_t size) {
    const auto* at = static_cast<const std::uint8_t*>(begin);
    return at >= block && static_cast<std::uint64_t>(at - block) + length <= size;
}

// What the three readings made of the bytes one by one, each finding the header again.
chimebox::HRESULT readSeparately(std::span<const std::uint8_t> bytes,
                                 chimebox::WaveFileData& data) {
    chimebox::FormatAndAudio format;
    if (const auto parsed = chimebox::parseFormatAndAudio(bytes, format);
        chimebox::failed(parsed)) {
        return parsed;
    }
    data.waveFormat = format.waveFormat;
    data.audioData = format.audioData;
    data.audioDataBytes = format.audioDataBytes;
    if (const auto loop = chimebox::readLoopRegion(bytes, data.loopStart, data.loopLength);
        chimebox::failed(loop)) {
        return loop;
    }
    if (format.needsWmaTable || format.needsXma2Table) {
        const std::uint32_t fourcc =
            format.needsWmaTable ? chimebox::kFourccDpds : chimebox::kFourccSeek;
        return chimebox::readSeekTable(bytes, fourcc, data.seekTable, data.seekTableEntries);
    }
    return chimebox::kOk;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    chimebox::fuzz::BytesAsFile file(data, size);
    chimebox::FileBytes buffer;
    chimebox::WaveFileData described;
    const chimebox::HRESULT result = chimebox::loadWaveFile(file, u"fuzz.wav", buffer, described);
    if (size >= 34) {
        // The one reading of the header describes the bytes as the three readings do.
        chimebox::WaveFileData separate;
        const auto expected = readSeparately({buffer.get(), size}, separate);
        chimebox::fuzz::require(expected == result && separate.waveFormat == described.waveFormat &&
                                separate.audioData == described.audioData &&
                                separate.audioDataBytes == described.audioDataBytes &&
                                separate.loopStart == described.loopStart &&
                                separate.loopLength == described.loopLength &&
                                separate.seekTable == described.seekTable &&
                                separate.seekTableEntries == described.seekTableEntries);
    }
    if (chimebox::failed(result)) {
        return 0;
    }
    const std::uint8_t* block = buffer.get();
    chimebox::fuzz::require(inside(described.waveFormat, 16, block, size));
    chimebox::fuzz::require(inside(described.audioData, described.audioDataBytes, block, size));
    chimebox::fuzz::require(described.audioDataBytes > 0);
    if (described.seekTable != nullptr) {
        chimebox::fuzz::require(
            inside(described.seekTable, 4ull * described.seekTableEntries, block, size));
    }
    return 0;
}
