#pragma once
// What reading a sound file needs from the platform: open an existing file for reading (others
// may only read it meanwhile), its size, one synchronous read, close, and the error code of the
// call that just failed (Win32 codes; other platforms map onto them).

#include <ownkit/owned.h>

#include <cstdint>

#include "hresult.h"

namespace chimebox {

class FileSystem {
public:
    using File = ownkit::OpaqueHandle<struct FileTag>;

    virtual ~FileSystem() = default;

    // The file at `path` (NUL-terminated UTF-16), or null; lastError() tells why.
    [[nodiscard]] virtual File openForReading(const char16_t* path) = 0;
    [[nodiscard]] virtual bool fileSize(File file, std::uint64_t& size) = 0;
    // Reads up to `size` bytes into `into`; `got` tells how many arrived.
    [[nodiscard]] virtual bool read(File file, std::uint8_t* into, std::uint32_t size,
                                    std::uint32_t& got) = 0;
    virtual void close(File file) = 0;
    [[nodiscard]] virtual Win32Error lastError() = 0;
};

}  // namespace chimebox
