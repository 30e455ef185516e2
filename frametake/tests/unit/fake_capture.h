#pragma once
// Scripted GDI and temporary-file calls under the Windows capture, as the core sees it: a
// screen of generated pixels, failures at any step, a log of the calls, and checks that every
// object it gave out is released exactly once.

#include <gtest/gtest.h>
#include <testkit/failing_allocations.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "../../win32/gdi_capture.h"
#include "temp_files_like_windows.h"

namespace frametake::testing {

class FakeCapturePlatform final : public CaptureFileCalls, public gdi::Gdi {
public:
    operator CapturePlatform&() { return capture_; }

    // The script: which step fails.
    bool screenFails = false;
    bool memoryFails = false;
    bool bitmapFails = false;
    bool copyFails = false;
    bool readFails = false;
    std::optional<std::uint32_t> directoryLength;  // instead of the real length
    bool uniqueFileFails = false;
    unsigned pngResult = 0;
    bool writeFails = false;
    // From the file's write on, nothrow allocations fail (the path's copy among them).
    bool memoryRunsOutAfterWrite = false;
    std::optional<testkit::FailingAllocations> outOfMemory;
    TempFilesLikeWindows files;
    // The screen's pixel at (x, y) as red, green, blue.
    std::function<std::uint32_t(std::int32_t, std::int32_t)> pixel = [](std::int32_t x,
                                                                        std::int32_t y) {
        return static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFFFFFF);
    };

    // What was seen.
    std::vector<std::string> calls;
    std::int32_t sourceX = 0;
    std::int32_t sourceY = 0;
    std::vector<std::uint8_t> pngPixels;  // what reached the PNG encoder
    std::vector<std::uint8_t> written;    // what was written to the capture's file

    ~FakeCapturePlatform() override {
        EXPECT_TRUE(live_.empty()) << "a GDI object or a file was not released";
    }

    gdi::Dc getScreenDc() override { return give<gdi::Dc>("GetDC", screenFails); }
    void releaseScreenDc(gdi::Dc screen) override { take("ReleaseDC", screen); }
    gdi::Dc createCompatibleDc(gdi::Dc screen) override {
        expectLive(screen);
        return give<gdi::Dc>("CreateCompatibleDC", memoryFails);
    }
    void deleteDc(gdi::Dc memory) override { take("DeleteDC", memory); }
    gdi::Bitmap createCompatibleBitmap(gdi::Dc screen, std::int32_t width,
                                       std::int32_t height) override {
        expectLive(screen);
        width_ = width;
        height_ = height;
        return give<gdi::Bitmap>("CreateCompatibleBitmap", bitmapFails);
    }
    void deleteBitmap(gdi::Bitmap bitmap) override { take("DeleteObject", bitmap); }
    gdi::Object selectObject(gdi::Dc memory, gdi::Object object) override {
        expectLive(memory);
        const bool original = reinterpret_cast<const void*>(object) == &original_;
        calls.push_back(original ? "SelectObject(original)" : "SelectObject(bitmap)");
        return reinterpret_cast<gdi::Object>(&original_);
    }
    gdi::Object asObject(gdi::Bitmap bitmap) override {
        return reinterpret_cast<gdi::Object>(bitmap);
    }
    bool bitBlt(gdi::Dc memory, std::int32_t, std::int32_t, gdi::Dc screen, std::int32_t x,
                std::int32_t y) override {
        expectLive(memory);
        expectLive(screen);
        calls.push_back("BitBlt");
        sourceX = x;
        sourceY = y;
        return !copyFails;
    }
    std::int32_t getDiBits(gdi::Dc memory, gdi::Bitmap bitmap, std::int32_t width,
                           std::int32_t height, std::uint8_t* dib) override {
        expectLive(memory);
        expectLive(bitmap);
        calls.push_back("GetDIBits");
        if (readFails) {
            return 0;
        }
        const std::size_t stride = static_cast<std::size_t>(4 * ((24 * width + 31) / 32));
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = dib + stride * static_cast<std::size_t>(y);
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint32_t rgb = pixel(sourceX + x, sourceY + y);
                row[3 * x + 0] = static_cast<std::uint8_t>(rgb);        // blue
                row[3 * x + 1] = static_cast<std::uint8_t>(rgb >> 8);   // green
                row[3 * x + 2] = static_cast<std::uint8_t>(rgb >> 16);  // red
            }
            std::memset(row + 3 * width, 0xEE, stride - 3 * static_cast<std::size_t>(width));
        }
        return height;
    }

    // The kernel's calls go to files that behave as Windows' do; the steps are logged.
    std::uint32_t temporaryPath(char* buffer, std::uint32_t size) override {
        calls.push_back("GetTempPath");
        const std::uint32_t length = files.temporaryPath(buffer, size);
        return directoryLength.value_or(length);
    }
    bool exactInCodePage(const char* path) override { return files.exactInCodePage(path); }
    std::uint32_t tempFileName(const char* directory, const char* prefix, std::uint32_t unique,
                               char* name) override {
        return files.tempFileName(directory, prefix, unique, name);
    }
    File createNew(const char* name) override {
        calls.push_back(std::string("CreateFile ") + name);
        if (uniqueFileFails) {
            return nullptr;  // with lastError() 3, the path not found
        }
        return files.createNew(name);
    }
    std::uint32_t lastError() override { return uniqueFileFails ? 3 : files.lastError(); }
    bool exists(const char* name) override { return files.exists(name); }
    std::uint64_t now() override { return files.now(); }
    bool emptyFileCreatedSince(const char* name, std::uint64_t since) override {
        return files.emptyFileCreatedSince(name, since);
    }
    bool write(File file, const std::uint8_t* bytes, std::uint32_t size,
               std::uint32_t& done) override {
        written.assign(bytes, bytes + size);
        return files.write(file, bytes, size, done) && !writeFails;
    }
    bool close(File file) override {
        calls.push_back("CloseHandle");
        if (memoryRunsOutAfterWrite) {
            outOfMemory.emplace(testkit::FailingAllocations::Forms::nothrowOnly);
        }
        return files.close(file);
    }
    void deleteFile(const char* name) override {
        calls.push_back(std::string("RemoveFile ") + name);
        files.deleteFile(name);
    }
    unsigned encodePng(const std::uint8_t* rgb, std::int32_t width, std::int32_t height,
                       PngBytes& png) override {
        calls.push_back("EncodePng");
        pngPixels.assign(
            rgb, rgb + 3 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        if (pngResult == 0) {
            png.data.reset(static_cast<std::uint8_t*>(std::malloc(kEncoded.size())));
            std::memcpy(png.data.get(), kEncoded.data(), kEncoded.size());
            png.size = kEncoded.size();
        }
        return pngResult;
    }

    // What the fake encoder answers with.
    static constexpr std::string_view kEncoded = "\x89PNG-fake";

private:
    template <typename Handle>
    Handle give(const char* call, bool fails) {
        calls.emplace_back(call);
        if (fails) {
            return nullptr;
        }
        void* handle = &handles_.emplace_back(0);
        live_.insert(handle);
        return reinterpret_cast<Handle>(handle);
    }
    void take(const char* call, const void* handle) {
        calls.emplace_back(call);
        EXPECT_EQ(live_.erase(handle), 1u) << call << " of an object that is not alive";
    }
    void expectLive(const void* handle) const { EXPECT_EQ(live_.count(handle), 1u); }

    std::deque<int> handles_;
    std::set<const void*> live_;
    int original_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    GdiCapture capture_{*this, *this};
};

}  // namespace frametake::testing
