#include "gdi_capture.h"

namespace frametake {

bool saveCaptureFile(CaptureFileCalls& calls, const std::uint8_t* rgb, std::int32_t width,
                     std::int32_t height, char* name) {
    char directory[kMaxPath] = {};
    const std::uint32_t length = calls.temporaryDirectory(directory, kMaxPath);
    if (length < 1 || length > kMaxTempFileDirectory) {
        return false;
    }
    PngBytes png;
    if (calls.encodePng(rgb, width, height, png) != 0) {
        return false;
    }
    const CaptureFileCalls::File file = calls.createCaptureFile(directory, kTempFilePrefix, name);
    if (file == nullptr) {
        return false;
    }
    if (!calls.writeAndCloseCaptureFile(file, png.data.get(), png.size)) {
        calls.removeCaptureFile(name);
        return false;
    }
    return true;
}

}  // namespace frametake
