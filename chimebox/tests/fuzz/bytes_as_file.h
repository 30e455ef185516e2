#pragma once
// What the fuzz targets share: any bytes served as the one file a load reads, and a check that
// aborts (a finding) when it fails.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "file_system.h"

namespace chimebox::fuzz {

class BytesAsFile final : public FileSystem {
public:
    BytesAsFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    HRESULT readWholeFile(const char16_t*, std::uint32_t minimumSize, FileBytes& buffer,
                          std::uint32_t& bytesRead) override {
        return readSizedFile(size_, minimumSize, buffer, bytesRead,
                             [&](std::uint8_t* into, std::uint32_t wanted,
                                 std::uint32_t& got) -> std::optional<HRESULT> {
                                 std::memcpy(into, data_, wanted);
                                 got = wanted;
                                 return std::nullopt;
                             });
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace chimebox::fuzz
