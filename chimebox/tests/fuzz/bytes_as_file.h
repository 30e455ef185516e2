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
    File openForReading(const char16_t*) override { return reinterpret_cast<File>(this); }
    bool fileSize(File, std::uint64_t& size) override {
        size = size_;
        return true;
    }
    bool read(File, std::uint8_t* into, std::uint32_t size, std::uint32_t& got) override {
        got = static_cast<std::uint32_t>(std::min<std::size_t>(size, size_));
        std::memcpy(into, data_, got);
        return true;
    }
    void close(File) override {}
    Win32Error lastError() override { return Win32Error{}; }

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
