#pragma once
// A capture in Windows' terms: the GDI grab (gdi_grab.h), then the file stage over the kernel's
// calls (capture_file_stage.cpp): the temporary directory (1 to MAX_PATH - 14 characters, exact
// in the code page), the PNG encoded in memory, a new "scr<number>.png" made by the numbers
// GetTempFileNameA gives, the bytes written; a file whose write fails is deleted.

#include "../core/capture_platform.h"
#include "capture_file_calls.h"
#include "gdi_grab.h"

namespace frametake {

// The file stage over `calls`.
[[nodiscard]] bool saveCaptureFile(CaptureFileCalls& calls, const std::uint8_t* rgb,
                                   std::int32_t width, std::int32_t height, char* name);

class GdiCapture final : public CapturePlatform {
public:
    GdiCapture(gdi::Gdi& gdi, CaptureFileCalls& files) : gdi_(gdi), files_(files) {}

    std::unique_ptr<Grab> grab(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height) override {
        return gdi::grabWithGdi(gdi_, x, y, width, height);
    }
    bool saveCapture(const std::uint8_t* rgb, std::int32_t width, std::int32_t height,
                     char* path) override {
        return saveCaptureFile(files_, rgb, width, height, path);
    }
    void removeCapture(const char* path) override { files_.deleteFile(path); }

private:
    gdi::Gdi& gdi_;
    CaptureFileCalls& files_;
};

}  // namespace frametake
