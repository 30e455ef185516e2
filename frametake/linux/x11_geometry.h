#pragma once
// The arithmetic of the X11 adapters, apart from any X connection: monitors from root-window
// coordinates into virtual-desktop coordinates and 96-DPI units, the X server's Xft.dpi
// resource, the part of a capture rectangle that lies on the root window, and the pixels of a
// Z-format image turned into the encoder's RGB rows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "../core/screen_platform.h"

namespace frametake::x11 {

inline constexpr double kLogicalDpi = 96.0;

// A RandR monitor as the server reports it, in root-window coordinates.
struct RootMonitor {
    std::uint32_t name = 0;  // the monitor's name atom: stable while the server runs
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool primary = false;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The root-window position of the virtual desktop's origin: the top-left corner of the primary
// monitor, else of the first one; (0, 0) when there is none.
[[nodiscard]] Point desktopOrigin(const std::vector<RootMonitor>& monitors);

// The monitor's rectangle relative to `origin`. In the unaware mode each edge is scaled by
// 96 / dpi and rounded to the nearest unit, so monitors that touch keep touching.
[[nodiscard]] MonitorArea desktopArea(const RootMonitor& monitor, Point origin, DpiMode mode,
                                      double dpi);

// The value of "Xft.dpi" in the RESOURCE_MANAGER text (lines "name:\tvalue"), when it is a
// number of at least 1; else 96.
[[nodiscard]] double xftDpi(std::string_view resources);

// The part [first, first + count) of [start, start + length) that lies in [0, limit).
struct Span {
    std::int64_t first = 0;
    std::int64_t count = 0;
};
[[nodiscard]] Span clip(std::int64_t start, std::int64_t length, std::int64_t limit);

// How a Z-format image stores its pixels.
struct PixelLayout {
    std::uint32_t bitsPerPixel = 32;  // 8, 16, 24 or 32
    bool mostSignificantFirst = false;
    std::uint32_t redMask = 0xFF0000;
    std::uint32_t greenMask = 0x00FF00;
    std::uint32_t blueMask = 0x0000FF;
};

// Whether convertPixels can read images of this layout.
[[nodiscard]] bool supported(const PixelLayout& layout);

// Writes `count` pixels of `source` (in `layout`) to `rgb` as red, green, blue bytes, each
// channel scaled to 8 bits.
void convertPixels(const PixelLayout& layout, const std::uint8_t* source, std::size_t count,
                   std::uint8_t* rgb);

}  // namespace frametake::x11
