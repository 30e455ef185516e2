// The three descriptions a load makes of a RIFF file's bytes: the format and audio, the loop
// region and the packet table, each alone (for tests and fuzzing) and all three at once.

#include "riff_chunks.h"

namespace chimebox {
namespace {

using riff::Bytes;
using riff::Chunk;
using riff::Riff;

// The format and audio chunks of a file whose header has been read.
HRESULT formatAndAudioIn(Bytes bytes, const Riff& riff, FormatAndAudio& out) {
    const Chunk format = findSubChunk(bytes, riff, kFourccFmt);
    if (!format || format.size < riff::kWaveFormatSize) {
        return kFail;
    }
    if (!format.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (const HRESULT checked = riff::checkFormat(format.body(), format.size, out);
        failed(checked)) {
        return checked;
    }

    const Chunk audio = findSubChunk(bytes, riff, kFourccData);
    if (!audio || audio.size == 0) {
        return kInvalidData;
    }
    if (!audio.bodyInside(bytes)) {
        return kHandleEof;
    }
    out.waveFormat = format.body();
    out.audioData = audio.body();
    out.audioDataBytes = audio.size;
    return kOk;
}

// The table of 32-bit entries in chunk `fourcc` of a file whose header has been read; none is
// no table.
HRESULT seekTableIn(Bytes bytes, const Riff& riff, std::uint32_t fourcc, const void*& table,
                    std::uint32_t& entries) {
    const Chunk chunk = findSubChunk(bytes, riff, fourcc);
    if (!chunk) {
        return kOk;
    }
    if (!chunk.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (chunk.size % 4 != 0) {
        return kFail;
    }
    table = chunk.body();
    entries = chunk.size / 4;
    return kOk;
}

}  // namespace

HRESULT parseFormatAndAudio(Bytes bytes, FormatAndAudio& out) noexcept {
    out.needsWmaTable = false;
    out.needsXma2Table = false;
    Riff riff;
    if (const HRESULT header = wholeFileHeader(bytes, riff); failed(header)) {
        return header;
    }
    return formatAndAudioIn(bytes, riff, out);
}

HRESULT readLoopRegion(Bytes bytes, std::uint32_t& loopStart, std::uint32_t& loopLength) noexcept {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < riff::kRiffHeaderSize) {
        return kFail;
    }
    loopStart = 0;
    loopLength = 0;
    Riff riff;
    if (const HRESULT found = findRiff(bytes, riff); failed(found)) {
        return found;
    }
    if (riff.formType == kFourccXwma) {
        return kOk;  // xWMA files never loop
    }
    if (riff.formType != kFourccWave) {
        return kFail;
    }
    if (!roomForSubChunk(bytes, riff)) {
        return kHandleEof;
    }
    return loopIn(bytes, riff, loopStart, loopLength);
}

HRESULT readSeekTable(Bytes bytes, std::uint32_t fourcc, const void*& table,
                      std::uint32_t& entries) noexcept {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < riff::kRiffHeaderSize) {
        return kFail;
    }
    table = nullptr;
    entries = 0;
    Riff riff;
    if (const HRESULT header = readWaveOrXwmaHeader(bytes, riff); failed(header)) {
        return header;
    }
    return seekTableIn(bytes, riff, fourcc, table, entries);
}

HRESULT describeWave(Bytes bytes, WaveFileData& data) noexcept {
    Riff riff;
    if (const HRESULT header = wholeFileHeader(bytes, riff); failed(header)) {
        return header;
    }
    FormatAndAudio format;
    if (const HRESULT parsed = formatAndAudioIn(bytes, riff, format); failed(parsed)) {
        return parsed;
    }
    data.waveFormat = format.waveFormat;
    data.audioData = format.audioData;
    data.audioDataBytes = format.audioDataBytes;
    if (riff.formType == kFourccWave) {  // xWMA files never loop
        if (const HRESULT loop = loopIn(bytes, riff, data.loopStart, data.loopLength);
            failed(loop)) {
            return loop;
        }
    }
    if (format.needsWmaTable || format.needsXma2Table) {
        const std::uint32_t fourcc = format.needsWmaTable ? kFourccDpds : kFourccSeek;
        return seekTableIn(bytes, riff, fourcc, data.seekTable, data.seekTableEntries);
    }
    return kOk;
}

}  // namespace chimebox
