#pragma once
// A picture of part of a Wayland desktop (one output, or the whole desktop) copied into a
// capture's RGB rows: the arithmetic every capture path shares, apart from where the picture
// came from.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "../core/screen_platform.h"

namespace frametake::wayland {

// Where red, green and blue lie in each pixel of `bytesPerPixel` bytes.
struct PixelOrder {
    std::size_t bytesPerPixel, red, green, blue;
};
inline constexpr PixelOrder kRgb{3, 0, 1, 2};
inline constexpr PixelOrder kRgbx{4, 0, 1, 2};  // 32-bit XBGR/ABGR, little-endian
inline constexpr PixelOrder kBgrx{4, 2, 1, 0};  // 32-bit XRGB/ARGB, little-endian

struct PictureView {
    const std::uint8_t* pixels = nullptr;
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t stride = 0;  // bytes from one row to the next
    PixelOrder order = kRgb;
    bool bottomUp = false;  // rows stored last first
};

// A rectangle in desktop device pixels, right and bottom exclusive.
struct Rectangle {
    std::int64_t left, top, right, bottom;
};

[[nodiscard]] bool meets(const MonitorArea& area, const Rectangle& wanted);

// Copies the part of `wanted` that `picture` shows into `rgb` (wanted's width a row, 3 bytes a
// pixel); the picture shows the desktop's `area`, whose size it must have.
void placeInto(const PictureView& picture, const MonitorArea& area, const Rectangle& wanted,
               std::uint8_t* rgb);

}  // namespace frametake::wayland
