// Chunks found in place, and the "RIFF" header every description starts from.

#include "riff_chunks.h"

#include "little_endian.h"

namespace chimebox {

const std::uint8_t* locateChunk(riff::Bytes bytes, std::size_t start, std::uint32_t rangeSize,
                                std::uint32_t fourcc) noexcept {
    using riff::kChunkHeaderSize;
    if (bytes.data() == nullptr || rangeSize <= kChunkHeaderSize) {
        return nullptr;
    }
    const std::uint64_t rangeEnd = std::uint64_t{start} + rangeSize;
    std::uint64_t at = start;
    // A header whose 8 bytes end exactly at the range end is not examined.
    while (at + kChunkHeaderSize < rangeEnd && at + kChunkHeaderSize <= bytes.size()) {
        const std::uint8_t* header = bytes.data() + at;
        if (read32(header) == fourcc) {
            return header;
        }
        const std::uint32_t size = read32(header + riff::kChunkSizeAt);
        if (size >= 0xFFFFFFFFu - kChunkHeaderSize) {
            return nullptr;
        }
        at += kChunkHeaderSize + size;
        if (at > bytes.size()) {
            return nullptr;
        }
    }
    return nullptr;
}

namespace riff {
namespace {

Chunk findChunk(Bytes bytes, std::size_t start, std::uint32_t rangeSize, std::uint32_t fourcc) {
    const std::uint8_t* header = locateChunk(bytes, start, rangeSize, fourcc);
    return header != nullptr ? Chunk{header, read32(header + kChunkSizeAt)} : Chunk{};
}

}  // namespace

HRESULT findRiff(Bytes bytes, Riff& riff) {
    const Chunk chunk = findChunk(bytes, 0, static_cast<std::uint32_t>(bytes.size()), kFourccRiff);
    if (!chunk || chunk.size < kRiffHeaderSize - kChunkHeaderSize) {
        return kFail;
    }
    riff.offset = static_cast<std::size_t>(chunk.header - bytes.data());
    riff.size = chunk.size;
    if (riff.offset + kRiffHeaderSize > bytes.size()) {
        return kHandleEof;
    }
    riff.formType = read32(chunk.header + kFormTypeAt);
    return kOk;
}

bool roomForSubChunk(Bytes bytes, const Riff& riff) {
    return riff.offset + kRiffWithOneChunkHeader <= bytes.size();
}

Chunk findSubChunk(Bytes bytes, const Riff& riff, std::uint32_t fourcc) {
    return findChunk(bytes, riff.offset + kRiffHeaderSize, riff.size, fourcc);
}

HRESULT readWaveOrXwmaHeader(Bytes bytes, Riff& riff) {
    if (const HRESULT found = findRiff(bytes, riff); failed(found)) {
        return found;
    }
    if (riff.formType != kFourccWave && riff.formType != kFourccXwma) {
        return kFail;
    }
    return roomForSubChunk(bytes, riff) ? kOk : kHandleEof;
}

HRESULT wholeFileHeader(Bytes bytes, Riff& riff) {
    if (bytes.data() == nullptr) {
        return kPointer;
    }
    if (bytes.size() < kMinimumFileSize) {
        return kFail;
    }
    return readWaveOrXwmaHeader(bytes, riff);
}

}  // namespace riff
}  // namespace chimebox
