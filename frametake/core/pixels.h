#pragma once
// Pixel layouts of a capture.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace frametake {

// Bytes in one row of a 24-bit DIB: 3 bytes a pixel, padded to a multiple of 4.
[[nodiscard]] constexpr std::int64_t dibStride(std::int32_t width) {
    return 4 * ((24 * std::int64_t{width} + 31) / 32);
}

// stride x height when it is positive and fits a signed 32-bit integer, else nothing.
[[nodiscard]] std::optional<std::size_t> dibSize(std::int32_t width, std::int32_t height);

// Rewrites `height` rows of a top-down BGR DIB (rows `stride` bytes apart) as packed RGB rows of
// 3 x width bytes.
void convertBgrRowsToRgb(const std::uint8_t* dib, std::size_t stride, std::uint8_t* rgb,
                         std::int32_t width, std::int32_t height);

}  // namespace frametake
