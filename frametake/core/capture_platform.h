#pragma once
// What a capture needs from the platform, in the shape of the Windows GDI sequence: the screen's
// drawing context, an off-screen context with a bitmap selected into it, a copy of a screen
// rectangle into that bitmap, and its pixels read out as a 24-bit top-down DIB (blue, green,
// red; rows padded to 4 bytes). Then the temporary directory, a new file of the capture's own
// in it, and that file written. A platform without GDI maps these onto its own capture.
//
// Handles are opaque; null means failure. Every handle given out is released by the core
// through the matching call, in reverse order of creation.

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

class CapturePlatform {
public:
    using Context = void*;
    using Bitmap = void*;
    using Object = void*;
    using File = void*;

    virtual ~CapturePlatform() = default;

    [[nodiscard]] virtual Context screenContext() = 0;
    virtual void releaseScreenContext(Context screen) = 0;
    [[nodiscard]] virtual Context createMemoryContext(Context screen) = 0;
    virtual void deleteContext(Context memory) = 0;
    [[nodiscard]] virtual Bitmap createBitmap(Context screen, std::int32_t width,
                                              std::int32_t height) = 0;
    virtual void deleteBitmap(Bitmap bitmap) = 0;
    // Selects `object` into `memory` and returns the object it replaced.
    virtual Object select(Context memory, Object object) = 0;
    // Copies the screen rectangle at (sourceX, sourceY) into the memory context's bitmap.
    [[nodiscard]] virtual bool copyFromScreen(Context memory, std::int32_t width,
                                              std::int32_t height, Context screen,
                                              std::int32_t sourceX, std::int32_t sourceY) = 0;
    // Reads `height` rows of `bitmap` into `dib` as a top-down 24-bit DIB of `width` pixels;
    // the number of rows read, 0 on failure.
    [[nodiscard]] virtual std::int32_t readPixels(Context memory, Bitmap bitmap, std::int32_t width,
                                                  std::int32_t height, std::uint8_t* dib) = 0;

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
