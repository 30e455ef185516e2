// A load: the whole file in one read, then the three descriptions of its bytes.

#include <new>

#include "riff_layout.h"
#include "wave_reader.h"

namespace chimebox {

HRESULT loadWaveFile(FileSystem& files, const char16_t* path, FileBytes& buffer,
                     WaveFileData& data) noexcept {
    if (path == nullptr) {
        return kInvalidArg;
    }
    data = WaveFileData{};

    std::uint32_t bytesRead = 0;
    HRESULT read = kFail;
    try {
        read = files.readWholeFile(path, riff::kMinimumFileSize, buffer, bytesRead);
    } catch (const std::bad_alloc&) {
        read = kOutOfMemory;
    }
    if (failed(read)) {
        return read;
    }
    // A failure whose system error code was 0 reads as success and may leave no buffer:
    // kPointer below.
    const std::span<const std::uint8_t> bytes(buffer.get(), buffer ? bytesRead : 0);

    return describeWave(bytes, data);
}

}  // namespace chimebox
