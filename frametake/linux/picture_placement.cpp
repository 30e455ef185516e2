#include "picture_placement.h"

#include <algorithm>

namespace frametake::wayland {

bool meets(const MonitorArea& area, const Rectangle& wanted) {
    return area.right > wanted.left && area.left < wanted.right && area.bottom > wanted.top &&
           area.top < wanted.bottom;
}

void placeInto(const PictureView& picture, const MonitorArea& area, const Rectangle& wanted,
               std::uint8_t* rgb) {
    const PixelOrder order = picture.order;
    const std::int64_t left = std::max<std::int64_t>(wanted.left, area.left);
    const std::int64_t right = std::min<std::int64_t>(wanted.right, area.right);
    const std::int64_t top = std::max<std::int64_t>(wanted.top, area.top);
    const std::int64_t bottom = std::min<std::int64_t>(wanted.bottom, area.bottom);
    const auto width = static_cast<std::size_t>(wanted.right - wanted.left);
    for (std::int64_t y = top; y < bottom; ++y) {
        auto row = static_cast<std::size_t>(y - area.top);
        row = picture.bottomUp ? picture.height - 1 - row : row;
        const std::uint8_t* source = picture.pixels + row * picture.stride;
        std::uint8_t* target = rgb + static_cast<std::size_t>(y - wanted.top) * width * 3;
        for (std::int64_t x = left; x < right; ++x) {
            const std::uint8_t* pixel =
                source + static_cast<std::size_t>(x - area.left) * order.bytesPerPixel;
            std::uint8_t* out = target + static_cast<std::size_t>(x - wanted.left) * 3;
            out[0] = pixel[order.red];
            out[1] = pixel[order.green];
            out[2] = pixel[order.blue];
        }
    }
}

}  // namespace frametake::wayland
