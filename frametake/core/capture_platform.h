#pragma once
// What a capture needs from the platform, in the shape of the Windows GDI sequence: the screen's
// drawing context, an off-screen context with a bitmap selected into it, a copy of a screen
// rectangle into that bitmap, and its pixels read out as a 24-bit top-down DIB (blue, green,
// red; rows padded to 4 bytes). Then the temporary directory, the reservation of a unique file
// name in it, and the PNG writer. A platform without GDI maps these onto its own capture.
//
// Handles are opaque; null means failure. Every handle given out is released by the core
// through the matching call, in reverse order of creation.

#include <cstdint>

namespace frametake {

inline constexpr std::uint32_t kMaxPath = 260;

// The PNG writer every platform uses: LodePNG's encoder with its default settings, writing
// `rgb` (width x height, 3 bytes a pixel, top row first) to `name`; 0 on success, else the
// encoder's error code.
[[nodiscard]] unsigned writePngFile(const char* name, const std::uint8_t* rgb, std::int32_t width,
                                    std::int32_t height);

class CapturePlatform {
public:
    using Context = void*;
    using Bitmap = void*;
    using Object = void*;

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
    // Picks the capture's file in `directory`: a path (into `name`, kMaxPath bytes) whose file
    // name starts with the first three characters of `prefix`, goes on with a part unique in
    // that directory and ends in ".png". True on success.
    [[nodiscard]] virtual bool reserveCaptureFile(const char* directory, const char* prefix,
                                                  char* name) = 0;
    // After the PNG writer failed at `name`: removes what the reservation left there, on a
    // platform whose reservation holds the name with a file of its own.
    virtual void discardCaptureFile(const char* name) = 0;
    // Encodes `rgb` as a PNG at `name`: writePngFile, unless a test or benchmark looks on.
    [[nodiscard]] virtual unsigned writePng(const char* name, const std::uint8_t* rgb,
                                            std::int32_t width, std::int32_t height) {
        return writePngFile(name, rgb, width, height);
    }
};

}  // namespace frametake
