#pragma once
// What a capture needs from the platform, in its own words: a rectangle of the desktop as RGB
// pixels; then the temporary directory, a new file of the capture's own in it, and that file
// written. How a platform grabs the pixels is its own business (GDI on Windows, GetImage on
// X11); whatever it holds for them is released when the grab goes.

#include <ownkit/owned.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace frametake {

inline constexpr std::uint32_t kMaxPath = 260;

// A PNG file's bytes in a block of the encoder's (malloc'd).
struct PngBytes {
    ownkit::Owned<std::uint8_t*, &ownkit::freeBlock> data;
    std::size_t size = 0;
};

// The PNG encoder every platform uses: LodePNG's with its default settings, encoding `rgb`
// (width x height, 3 bytes a pixel, top row first) in memory; 0 on success, else the encoder's
// error code.
[[nodiscard]] unsigned encodePngBytes(const std::uint8_t* rgb, std::int32_t width,
                                      std::int32_t height, PngBytes& png);

// A grabbed rectangle: width x height pixels, 3 bytes each (red, green, blue), top row first,
// rows packed. The platform's objects behind it live as long as the grab.
class Grab {
public:
    virtual ~Grab() = default;
    [[nodiscard]] virtual const std::uint8_t* rgb() const = 0;
};

class CapturePlatform {
public:
    using File = ownkit::OpaqueHandle<struct CaptureFileTag>;

    virtual ~CapturePlatform() = default;

    // width x height pixels (both at least 1, the picture checked to fit the encoder's limits)
    // of the desktop from the virtual-desktop position (x, y), in the unit of the monitor
    // records; parts outside every monitor are black. Null on failure, with nothing left
    // behind.
    [[nodiscard]] virtual std::unique_ptr<Grab> grab(std::int32_t x, std::int32_t y,
                                                     std::int32_t width, std::int32_t height) = 0;

    // The temporary directory (ANSI, ending in a separator) into `buffer` of `size` bytes: its
    // length, or 0 on failure, or the size needed when the buffer is too small.
    [[nodiscard]] virtual std::uint32_t temporaryDirectory(char* buffer, std::uint32_t size) = 0;
    // Creates the capture's file in `directory`, for writing: a path (into `name`, kMaxPath
    // bytes) whose file name starts with the first three characters of `prefix`, goes on with a
    // part unique in that directory and ends in ".png". The file is new: an existing file is
    // never opened. Null on failure, with nothing left behind.
    [[nodiscard]] virtual File createCaptureFile(const char* directory, const char* prefix,
                                                 char* name) = 0;
    // Writes all `size` bytes to `file` and closes it (in either case); true only when every
    // write and the close succeeded.
    [[nodiscard]] virtual bool writeAndCloseCaptureFile(File file, const std::uint8_t* bytes,
                                                        std::size_t size) = 0;
    // Removes the file that createCaptureFile made at `name`, after its writing failed.
    virtual void removeCaptureFile(const char* name) = 0;
    // encodePngBytes, unless a test or benchmark looks on.
    [[nodiscard]] virtual unsigned encodePng(const std::uint8_t* rgb, std::int32_t width,
                                             std::int32_t height, PngBytes& png) {
        return encodePngBytes(rgb, width, height, png);
    }
};

}  // namespace frametake
