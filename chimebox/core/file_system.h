#pragma once
// What a load asks of the platform: one sound file read whole into memory, with the code that
// says why when it cannot be (Windows HRESULTs on every platform, so that messages read the
// same everywhere).

#include <cstdint>
#include <memory>

#include "hresult.h"

namespace chimebox {

using FileBytes = std::unique_ptr<std::uint8_t[]>;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The existing file at `path` (NUL-terminated UTF-16, as Java holds it), opened for reading
    // while others may only read it, read whole into a new array that takes `buffer`'s place
    // (a previous array is released after); its length in `bytesRead`. kOk, or why not: the
    // system's error, kFail for a file shorter than `minimumSize` or of 4 GiB or more (nothing
    // read) or one that ended early, kOutOfMemory when no array could hold it.
    [[nodiscard]] virtual HRESULT readWholeFile(const char16_t* path, std::uint32_t minimumSize,
                                                FileBytes& buffer, std::uint32_t& bytesRead) = 0;
};

}  // namespace chimebox
