#include "capture.h"

#include <cmath>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "pixels.h"

namespace frametake {
namespace {

// Owners of the capture's platform objects; each releases through the platform.
template <void (CapturePlatform::*Release)(void*)>
class PlatformHandle {
public:
    PlatformHandle(CapturePlatform& platform, void* handle)
        : platform_(&platform), handle_(handle) {}
    PlatformHandle(const PlatformHandle&) = delete;
    PlatformHandle& operator=(const PlatformHandle&) = delete;
    ~PlatformHandle() { reset(); }

    void reset() noexcept {
        if (handle_ != nullptr) {
            (platform_->*Release)(std::exchange(handle_, nullptr));
        }
    }
    [[nodiscard]] void* get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    CapturePlatform* platform_;
    void* handle_;
};

using ScreenContext = PlatformHandle<&CapturePlatform::releaseScreenContext>;
using MemoryContext = PlatformHandle<&CapturePlatform::deleteContext>;
using BitmapHandle = PlatformHandle<&CapturePlatform::deleteBitmap>;

// The bitmap's time selected into the memory context; the replaced object goes back at the end.
class Selection {
public:
    Selection(CapturePlatform& platform, void* memory, void* bitmap)
        : platform_(&platform), memory_(memory), kept_(platform.select(memory, bitmap)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { reset(); }

    void reset() noexcept {
        if (memory_ != nullptr) {
            platform_->select(std::exchange(memory_, nullptr), kept_);
        }
    }

private:
    CapturePlatform* platform_;
    void* memory_;
    void* kept_;
};

using Buffer = std::unique_ptr<std::uint8_t[]>;

// x converted to double plus the monitor's edge, truncated toward zero; nothing when the sum
// is not a number or lies outside the 32-bit range.
std::optional<std::int32_t> sourceCoordinate(std::int32_t offset, double edge) {
    const double position = static_cast<double>(offset) + edge;
    if (!(position > -2147483649.0 && position < 2147483648.0)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(position);
}

// The file stage: the PNG encoded in memory, then written into a new file of the capture's own
// in the temporary directory. True with the file's path in `name`; on failure nothing of the
// file is left.
bool writeCaptureFile(CapturePlatform& platform, const std::uint8_t* rgb, std::int32_t width,
                      std::int32_t height, char* name) {
    char directory[kMaxPath] = {};
    const std::uint32_t length = platform.temporaryDirectory(directory, kMaxPath);
    if (length < 1 || length > kMaxPath) {
        return false;
    }
    PngBytes png;
    if (platform.encodePng(rgb, width, height, png) != 0) {
        return false;
    }
    const CapturePlatform::File file = platform.createCaptureFile(directory, kTempFilePrefix, name);
    if (file == nullptr) {
        return false;
    }
    if (!platform.writeAndCloseCaptureFile(file, png.data.get(), png.size)) {
        platform.removeCaptureFile(name);
        return false;
    }
    return true;
}

// Where a capture's pixels come from on the virtual desktop, and the size of its buffers.
struct Source {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::size_t bufferSize = 0;
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
    const std::optional<std::size_t> size = dibSize(width, height);
    if (!sourceX || !sourceY || !size) {
        return std::nullopt;
    }
    return Source{*sourceX, *sourceY, *size};
}

}  // namespace

const char* ScreenCapture::capture(CapturePlatform& platform, const ScreenInfo* screen,
                                   std::int32_t x, std::int32_t y, std::int32_t width,
                                   std::int32_t height) {
    const std::optional<Source> source = sourceOf(screen, x, y, width, height);
    if (!source) {
        return kNoCapture;
    }

    ScreenContext screenContext(platform, platform.screenContext());
    MemoryContext memory(
        platform, screenContext ? platform.createMemoryContext(screenContext.get()) : nullptr);
    if (!screenContext || !memory) {
        return kNoCapture;
    }
    BitmapHandle bitmap(platform, platform.createBitmap(screenContext.get(), width, height));
    if (!bitmap) {
        return kNoCapture;
    }
    Selection selection(platform, memory.get(), bitmap.get());
    if (!platform.copyFromScreen(memory.get(), width, height, screenContext.get(), source->x,
                                 source->y)) {
        return kNoCapture;
    }

    Buffer dib(new (std::nothrow) std::uint8_t[source->bufferSize]);
    if (!dib) {
        return kNoCapture;
    }
    if (platform.readPixels(memory.get(), bitmap.get(), width, height, dib.get()) == 0) {
        return kNoCapture;
    }
    Buffer rgb(new (std::nothrow) std::uint8_t[source->bufferSize]);
    if (!rgb) {
        return kNoCapture;
    }
    convertBgrRowsToRgb(dib.get(), static_cast<std::size_t>(dibStride(width)), rgb.get(), width,
                        height);

    char name[kMaxPath] = {};
    const bool written = writeCaptureFile(platform, rgb.get(), width, height, name);

    rgb.reset();
    dib.reset();
    selection.reset();
    bitmap.reset();
    memory.reset();
    screenContext.reset();

    return storePath(written ? name : nullptr);
}

const char* ScreenCapture::storePath(const char* name) {
    lastCapturePath_.reset();
    if (name == nullptr) {
        return kNoCapture;
    }
    lastCapturePath_.reset(new (std::nothrow) char[kMaxPath]);
    if (!lastCapturePath_) {
        return kNoCapture;
    }
    std::memcpy(lastCapturePath_.get(), name, kMaxPath);
    lastCapturePath_[kMaxPath - 1] = '\0';
    return lastCapturePath_.get();
}

}  // namespace frametake
