// A load: the whole file in one read, then the three descriptions of its bytes.

#include <new>

#include "riff_layout.h"
#include "wave_reader.h"

namespace chimebox {
namespace {

using OpenFile = ownkit::Owned<FileSystem::File, &FileSystem::close>;

}  // namespace

HRESULT readWholeFile(FileSystem& files, const char16_t* path, FileBytes& buffer,
                      std::uint32_t& bytesRead) noexcept {
    if (path == nullptr) {
        return kInvalidArg;
    }
    FileSystem::File opened = files.openForReading(path);
    if (opened == nullptr) {
        return hresultFromWin32(files.lastError());
    }
    const OpenFile file(&files, opened);

    std::uint64_t size = 0;
    if (!files.fileSize(file.get(), size)) {
        return hresultFromWin32(files.lastError());
    }
    if ((size >> 32) > 0 || static_cast<std::uint32_t>(size) < riff::kMinimumFileSize) {
        return kFail;
    }
    const auto wanted = static_cast<std::uint32_t>(size);
    // The new array takes the holder's place first; a previous one is released after.
    buffer.reset(new (std::nothrow) std::uint8_t[wanted]);
    if (!buffer) {
        return kOutOfMemory;
    }
    std::uint32_t got = 0;
    if (!files.read(file.get(), buffer.get(), wanted, got)) {
        return hresultFromWin32(files.lastError());
    }
    if (got < wanted) {
        return kFail;
    }
    bytesRead = got;
    return kOk;
}

HRESULT loadWaveFile(FileSystem& files, const char16_t* path, FileBytes& buffer,
                     WaveFileData& data) noexcept {
    if (path == nullptr) {
        return kInvalidArg;
    }
    data = WaveFileData{};

    std::uint32_t bytesRead = 0;
    if (const HRESULT read = readWholeFile(files, path, buffer, bytesRead); failed(read)) {
        return read;
    }
    // A platform that reported failure with error code 0 leaves no buffer: kPointer below.
    const std::span<const std::uint8_t> bytes(buffer.get(), buffer ? bytesRead : 0);

    return describeWave(bytes, data);
}

}  // namespace chimebox
