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
        if (size_ > 0xFFFFFFFFu || size_ < minimumSize) {
            return kFail;
        }
        buffer.reset(new std::uint8_t[size_]);
        std::memcpy(buffer.get(), data_, size_);
        bytesRead = static_cast<std::uint32_t>(size_);
        return kOk;
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
