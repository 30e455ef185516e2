#include "row_filters.h"

#include <array>
#include <cstdlib>
#include <thread>

namespace frametake {
namespace {

constexpr std::size_t kPixelBytes = 3;

// The distance of a filtered byte from 0, as the choice weighs it.
inline std::size_t weight(std::uint8_t filtered) {
    return filtered < 128 ? filtered : 255u - filtered;
}

inline std::uint8_t paeth(int left, int up, int upLeft) {
    const int toLeft = std::abs(up - upLeft);
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<std::uint8_t>(left);
    }
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// The five sums of one row; `up` is the row above, null for the first row (as if all 0).
std::array<std::size_t, 5> sumsOf(const std::uint8_t* row, const std::uint8_t* up,
                                  std::size_t length) {
    std::array<std::size_t, 5> sums{};
    for (std::size_t i = 0; i < length; ++i) {
        const int x = row[i];
        const int a = i >= kPixelBytes ? row[i - kPixelBytes] : 0;
        const int b = up != nullptr ? up[i] : 0;
        const int c = up != nullptr && i >= kPixelBytes ? up[i - kPixelBytes] : 0;
        sums[0] += static_cast<std::size_t>(x);
        sums[1] += weight(static_cast<std::uint8_t>(x - a));
        sums[2] += weight(static_cast<std::uint8_t>(x - b));
        sums[3] += weight(static_cast<std::uint8_t>(x - ((a + b) >> 1)));
        sums[4] += weight(static_cast<std::uint8_t>(x - paeth(a, b, c)));
    }
    return sums;
}

void chooseRows(const std::uint8_t* rgb, std::size_t rowBytes, std::size_t first, std::size_t end,
                std::uint8_t* types) {
    for (std::size_t y = first; y < end; ++y) {
        const std::uint8_t* row = rgb + y * rowBytes;
        const std::array<std::size_t, 5> sums =
            sumsOf(row, y == 0 ? nullptr : row - rowBytes, rowBytes);
        std::uint8_t best = 0;
        for (std::uint8_t type = 1; type < 5; ++type) {
            if (sums[type] < sums[best]) {
                best = type;
            }
        }
        types[y] = best;
    }
}

}  // namespace

void chooseRowFilters(const std::uint8_t* rgb, std::size_t width, std::size_t height,
                      std::uint8_t* types) {
    const std::size_t rowBytes = width * kPixelBytes;
    const std::size_t half = height / 2;
    std::thread second;
    try {
        second = std::thread(chooseRows, rgb, rowBytes, half, height, types);
    } catch (...) {
        chooseRows(rgb, rowBytes, half, height, types);  // no thread: this one does it all
    }
    chooseRows(rgb, rowBytes, 0, half, types);
    if (second.joinable()) {
        second.join();
    }
}

}  // namespace frametake
