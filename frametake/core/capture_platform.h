#pragma once
// What a capture asks of the platform, in its own words: a rectangle of the desktop as RGB
// pixels, then those pixels saved as a new PNG file in the temporary directory. How a platform
// grabs the pixels (GDI on Windows, GetImage on X11) and makes the file is its own business;
// whatever it holds for the pixels is released when the grab goes.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace frametake {

// The room a capture's path may take, terminator included: the header promises callers that
// every path fits 260 bytes, so a file stage whose path would not fit fails.
inline constexpr std::size_t kCapturePathRoom = 260;

// A grabbed rectangle: width x height pixels, 3 bytes each (red, green, blue), top row first,
// rows packed. The platform's objects behind it live as long as the grab.
class Grab {
public:
    virtual ~Grab() = default;
    [[nodiscard]] virtual const std::uint8_t* rgb() const = 0;
};

class CapturePlatform {
public:
    virtual ~CapturePlatform() = default;

    // width x height pixels (both at least 1, the picture checked to fit the encoder's limits)
    // of the desktop from the virtual-desktop position (x, y), in the unit of the monitor
    // records; parts outside every monitor are black. Null on failure, with nothing left
    // behind.
    [[nodiscard]] virtual std::unique_ptr<Grab> grab(std::int32_t x, std::int32_t y,
                                                     std::int32_t width, std::int32_t height) = 0;

    // Encodes `rgb` (as a grab holds it) as a PNG, LodePNG's default settings, into a new file of
    // the capture's own in the temporary directory, named "scr", a part unique in that directory,
    // ".png"; an existing file is never opened. True with the file's full path in `path`
    // (kCapturePathRoom bytes); on failure nothing of the file is left.
    [[nodiscard]] virtual bool saveCapture(const std::uint8_t* rgb, std::int32_t width,
                                           std::int32_t height, char* path) = 0;
    // Removes a file that saveCapture made, when its path cannot be handed to the caller.
    virtual void removeCapture(const char* path) = 0;
};

}  // namespace frametake
