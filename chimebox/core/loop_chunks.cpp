// The loop region of a WAVE file: from a "wsmp" chunk, else from a "smpl" chunk.

#include "little_endian.h"
#include "riff_chunks.h"

namespace chimebox::riff {
namespace {

struct Loop {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
};

// "wsmp": loop types 0 and 1 are loops. The first loop into `loop`, if there is one.
HRESULT wsmpLoop(Bytes bytes, const Chunk& wsmp, std::optional<Loop>& loop) {
    if (!wsmp.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (wsmp.size < kWsmpMinimumSize) {
        return kOk;
    }
    const std::uint8_t* body = wsmp.body();
    const std::uint32_t headerSize = read32(body);
    const std::uint32_t count = read32(body + kWsmpLoopCountAt);
    if (count == 0 ||
        std::uint64_t{headerSize} + std::uint64_t{kWsmpLoopSize} * count > wsmp.size) {
        return kOk;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* record = body + headerSize + std::uint64_t{kWsmpLoopSize} * i;
        if (read32(record + kLoopTypeAt) < 2) {
            loop = Loop{read32(record + kLoopStartAt), read32(record + kWsmpLoopLengthAt)};
            return kOk;
        }
    }
    return kOk;
}

// "smpl": loop type 0 is a forward loop.
HRESULT smplLoop(Bytes bytes, const Chunk& smpl, std::optional<Loop>& loop) {
    if (!smpl.bodyInside(bytes)) {
        return kHandleEof;
    }
    if (smpl.size < kSmplHeaderSize) {
        return kOk;
    }
    const std::uint8_t* body = smpl.body();
    const std::uint32_t count = read32(body + kSmplLoopCountAt);
    if (count == 0 || std::uint64_t{kSmplLoopSize} * count + kSmplHeaderSize > smpl.size) {
        return kOk;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* record = body + kSmplHeaderSize + std::uint64_t{kSmplLoopSize} * i;
        if (read32(record + kLoopTypeAt) == 0) {
            const std::uint32_t first = read32(record + kLoopStartAt);
            const std::uint32_t last = read32(record + kSmplLoopLastAt);
            loop = Loop{first, last - first + 1};  // wraps, as 32-bit sample counts do
            return kOk;
        }
    }
    return kOk;
}

}  // namespace

HRESULT loopIn(Bytes bytes, const Riff& riff, std::uint32_t& loopStart, std::uint32_t& loopLength) {
    std::optional<Loop> loop;
    if (const Chunk wsmp = findSubChunk(bytes, riff, kFourccWsmp)) {
        if (const HRESULT read = wsmpLoop(bytes, wsmp, loop); failed(read)) {
            return read;
        }
    }
    if (!loop) {
        if (const Chunk smpl = findSubChunk(bytes, riff, kFourccSmpl)) {
            if (const HRESULT read = smplLoop(bytes, smpl, loop); failed(read)) {
                return read;
            }
        }
    }
    if (loop) {
        loopStart = loop->start;
        loopLength = loop->length;
    }
    return kOk;
}

}  // namespace chimebox::riff
