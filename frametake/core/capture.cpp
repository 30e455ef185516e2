#include "capture.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "pixels.h"

namespace frametake {
namespace {

// x converted to double plus the monitor's edge, truncated toward zero; nothing when the sum
// is not a number or lies outside the 32-bit range.
std::optional<std::int32_t> sourceCoordinate(std::int32_t offset, double edge) {
    const double position = static_cast<double>(offset) + edge;
    if (!(position > -2147483649.0 && position < 2147483648.0)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(position);
}

// Where a capture's pixels come from on the virtual desktop.
struct Source {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The request checked before anything is asked of the system: a screen, a source position
// inside the 32-bit range, buffers whose size fits.
std::optional<Source> sourceOf(const ScreenInfo* screen, std::int32_t x, std::int32_t y,
                               std::int32_t width, std::int32_t height) {
    if (screen == nullptr) {
        return std::nullopt;
    }
    double boundsX = 0;
    double boundsY = 0;
    std::memcpy(&boundsX,
                reinterpret_cast<const unsigned char*>(screen) + offsetof(ScreenInfo, boundsX), 8);
    std::memcpy(&boundsY,
                reinterpret_cast<const unsigned char*>(screen) + offsetof(ScreenInfo, boundsY), 8);
    const std::optional<std::int32_t> sourceX = sourceCoordinate(x, boundsX);
    const std::optional<std::int32_t> sourceY = sourceCoordinate(y, boundsY);
    if (!sourceX || !sourceY || !dibSize(width, height)) {
        return std::nullopt;
    }
    return Source{*sourceX, *sourceY};
}

}  // namespace

const char* ScreenCapture::capture(CapturePlatform& platform, const ScreenInfo* screen,
                                   std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height) {
    const std::optional<Source> source = sourceOf(screen, x, y, width, height);
    if (!source) {
        return kNoCapture;
    }

    std::unique_ptr<Grab> grab = platform.grab(source->x, source->y, width, height);
    if (!grab) {
        return kNoCapture;
    }
    char name[kCapturePathRoom] = {};
    const bool written = platform.saveCapture(grab->rgb(), width, height, name);
    grab.reset();
    lastCapturePath_.clear();
    if (!written) {
        return kNoCapture;
    }
    const char* path = storePath(name);
    if (path == nullptr) {
        // A file whose path cannot be returned is a file nobody would delete.
        platform.removeCapture(name);
        return kNoCapture;
    }
    return path;
}

const char* ScreenCapture::storePath(const char* name) {
    std::unique_ptr<char[]> copy(new (std::nothrow) char[kCapturePathRoom]);
    if (!copy) {
        return nullptr;
    }
    std::memcpy(copy.get(), name, kCapturePathRoom);
    copy[kCapturePathRoom - 1] = '\0';
    return lastCapturePath_.replace(std::move(copy));
}

}  // namespace frametake
