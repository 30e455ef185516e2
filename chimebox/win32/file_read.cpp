#include "file_read.h"

#include <optional>

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
    return readSizedFile(size, minimumSize, buffer, bytesRead,
                         [&](std::uint8_t* into, std::uint32_t wanted,
                             std::uint32_t& got) -> std::optional<HRESULT> {
                             if (!calls_.read(file.get(), into, wanted, got)) {
                                 return hresultFromWin32(calls_.lastError());
                             }
                             return std::nullopt;
                         });
}

}  // namespace chimebox
