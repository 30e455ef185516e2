#include "file_read.h"

#include <new>

namespace chimebox {

HRESULT Win32FileSystem::readWholeFile(const char16_t* path, std::uint32_t minimumSize,
                                       FileBytes& buffer, std::uint32_t& bytesRead) {
    using OpenFile = ownkit::Owned<FileCalls::File, &FileCalls::close>;
    FileCalls::File opened = calls_.openForReading(path);
    if (opened == nullptr) {
        return hresultFromWin32(calls_.lastError());
    }
    const OpenFile file(&calls_, opened);

    std::uint64_t size = 0;
    if (!calls_.fileSize(file.get(), size)) {
        return hresultFromWin32(calls_.lastError());
    }
    if ((size >> 32) > 0 || static_cast<std::uint32_t>(size) < minimumSize) {
        return kFail;
    }
    const auto wanted = static_cast<std::uint32_t>(size);
    // The new array takes the holder's place first; a previous one is released after.
    buffer.reset(new (std::nothrow) std::uint8_t[wanted]);
    if (!buffer) {
        return kOutOfMemory;
    }
    std::uint32_t got = 0;
    if (!calls_.read(file.get(), buffer.get(), wanted, got)) {
        return hresultFromWin32(calls_.lastError());
    }
    if (got < wanted) {
        return kFail;
    }
    bytesRead = got;
    return kOk;
}

}  // namespace chimebox
