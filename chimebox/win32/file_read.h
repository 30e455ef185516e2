#pragma once
// A sound file read whole in Windows' terms: CreateFile2 for reading (others may read too), the
// size from GetFileInformationByHandleEx, one ReadFile of all of it, CloseHandle; each failure
// is GetLastError's code as an HRESULT. The calls come through a table (FileCalls), so the
// sequence is unit-tested without Windows; file_system_win32.cpp fills it with the system.

#include <ownkit/owned.h>

#include <cstdint>

#include "../core/file_system.h"

namespace chimebox {

class FileCalls {
public:
    using File = ownkit::OpaqueHandle<struct FileTag>;

    virtual ~FileCalls() = default;

    // The file at `path` (NUL-terminated UTF-16), or null; lastError() tells why.
    [[nodiscard]] virtual File openForReading(const char16_t* path) = 0;
    [[nodiscard]] virtual bool fileSize(File file, std::uint64_t& size) = 0;
    // Reads up to `size` bytes into `into`; `got` tells how many arrived.
    [[nodiscard]] virtual bool read(File file, std::uint8_t* into, std::uint32_t size,
                                    std::uint32_t& got) = 0;
    virtual void close(File file) = 0;
    // GetLastError, on the calling thread, right after the call that failed.
    [[nodiscard]] virtual Win32Error lastError() = 0;
};

class Win32FileSystem final : public FileSystem {
public:
    explicit Win32FileSystem(FileCalls& calls) : calls_(calls) {}
    HRESULT readWholeFile(const char16_t* path, std::uint32_t minimumSize, FileBytes& buffer,
                          std::uint32_t& bytesRead) override;

private:
    FileCalls& calls_;
};

}  // namespace chimebox
