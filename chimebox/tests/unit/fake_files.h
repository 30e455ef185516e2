#pragma once
// Scripted file calls under the Windows file read, as the core sees it: files from memory, with
// scripted failures, that checks every opened file is closed exactly once.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../../win32/file_read.h"

namespace chimebox::testing {

class FakeFileSystem final : public FileCalls {
public:
    operator FileSystem&() { return reader_; }

    std::map<std::u16string, std::vector<std::uint8_t>> files;

    // Scripted failures (Win32 error codes; 0 means "fails without a code").
    std::optional<std::uint32_t> openError;
    std::optional<std::uint32_t> sizeError;
    std::optional<std::uint32_t> readError;
    std::optional<std::uint64_t> reportedSize;  // a size other than the file's
    std::optional<std::uint32_t> shortRead;     // deliver only this many bytes

    std::atomic<int> opened = 0;  // plays on several threads count here at once
    std::atomic<int> closed = 0;

    ~FakeFileSystem() override {
        EXPECT_EQ(opened.load(), closed.load()) << "a file was left open";
    }

    File openForReading(const char16_t* path) override {
        const auto found = files.find(path);
        if (openError || found == files.end()) {
            error_ = openError.value_or(2);  // ERROR_FILE_NOT_FOUND
            return nullptr;
        }
        ++opened;
        return reinterpret_cast<File>(&found->second);
    }
    bool fileSize(File file, std::uint64_t& size) override {
        if (sizeError) {
            error_ = *sizeError;
            return false;
        }
        size = reportedSize.value_or(bytesOf(file).size());
        return true;
    }
    bool read(File file, std::uint8_t* into, std::uint32_t size, std::uint32_t& got) override {
        if (readError) {
            error_ = *readError;
            return false;
        }
        const auto& bytes = bytesOf(file);
        got = std::min<std::uint32_t>(
            {size, static_cast<std::uint32_t>(bytes.size()), shortRead.value_or(size)});
        std::copy_n(bytes.begin(), got, into);
        return true;
    }
    void close(File) override { ++closed; }
    Win32Error lastError() override { return Win32Error{error_}; }

private:
    static const std::vector<std::uint8_t>& bytesOf(File file) {
        return *reinterpret_cast<const std::vector<std::uint8_t>*>(file);
    }
    static thread_local std::uint32_t error_;  // per thread, as the system's last error is
    Win32FileSystem reader_{*this};
};

inline thread_local std::uint32_t FakeFileSystem::error_ = 0;

}  // namespace chimebox::testing
