// libFuzzer target for the sound file reader: any bytes, loaded through a file system that
// serves them from an exact-size heap block, must give a result code and never a read outside
// the block; a successful load must describe ranges that lie inside it.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "wave_reader.h"

namespace {

class BytesAsFile final : public chimebox::FileSystem {
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
    chimebox::Win32Error lastError() override { return chimebox::Win32Error{}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool inside(const void* begin, std::uint64_t length, const std::uint8_t* block, std::size_t size) {
    const auto* at = static_cast<const std::uint8_t*>(begin);
    return at >= block && static_cast<std::uint64_t>(at - block) + length <= size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BytesAsFile file(data, size);
    chimebox::FileBytes buffer;
    chimebox::WaveFileData described;
    const chimebox::HRESULT result = chimebox::loadWaveFile(file, u"fuzz.wav", buffer, described);
    if (chimebox::failed(result)) {
        return 0;
    }
    const std::uint8_t* block = buffer.get();
    require(inside(described.waveFormat, 16, block, size));
    require(inside(described.audioData, described.audioDataBytes, block, size));
    require(described.audioDataBytes > 0);
    if (described.seekTable != nullptr) {
        require(inside(described.seekTable, 4ull * described.seekTableEntries, block, size));
    }
    return 0;
}
