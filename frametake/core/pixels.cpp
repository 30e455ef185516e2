#include "pixels.h"

#include <limits>

namespace frametake {

std::optional<std::size_t> dibSize(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const std::int64_t size = dibStride(width) * height;
    if (size > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(size);
}

void convertBgrRowsToRgb(const std::uint8_t* dib, std::size_t stride, std::uint8_t* rgb,
                         std::int32_t width, std::int32_t height) {
    const auto rowPixels = static_cast<std::size_t>(width);
    for (std::int32_t row = 0; row < height; ++row) {
        const std::uint8_t* in = dib;
        for (std::size_t pixel = 0; pixel < rowPixels; ++pixel, in += 3, rgb += 3) {
            rgb[0] = in[2];
            rgb[1] = in[1];
            rgb[2] = in[0];
        }
        dib += stride;
    }
}

}  // namespace frametake
