#pragma once
// What a load asks of the platform: one sound file read whole into memory, with the code that
// says why when it cannot be (Windows HRESULTs on every platform, so that messages read the
// same everywhere).

#include <cstdint>
#include <memory>
#include <new>
#include <optional>

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

// What every platform's whole-file read shares once the file is open and its `size` known: the
// size rule, the new array in `buffer`'s place (a previous one released after), one read of all
// of it. `read(into, size, got)` reads up to `size` bytes, `got` telling how many arrived, and
// answers nothing on success, else the code to give back as it stands.
template <typename Read>
[[nodiscard]] HRESULT readSizedFile(std::uint64_t size, std::uint32_t minimumSize,
                                    FileBytes& buffer, std::uint32_t& bytesRead, Read read) {
    if ((size >> 32) > 0 || static_cast<std::uint32_t>(size) < minimumSize) {
        return kFail;
    }
    const auto wanted = static_cast<std::uint32_t>(size);
    buffer.reset(new (std::nothrow) std::uint8_t[wanted]);
    if (!buffer) {
        return kOutOfMemory;
    }
    std::uint32_t got = 0;
    if (const std::optional<HRESULT> failure = read(buffer.get(), wanted, got)) {
        return *failure;
    }
    if (got < wanted) {
        return kFail;
    }
    bytesRead = got;
    return kOk;
}

}  // namespace chimebox
