#pragma once
// What the Linux capture benchmarks share: the 1920 x 1080 desktop-like picture they show (flat
// areas, lines of text-like marks, a photo-like region), a file's bytes and a median.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace frametake::bench {

inline constexpr int kWidth = 1920;
inline constexpr int kHeight = 1080;
inline constexpr int kRounds = 11;

using Clock = std::chrono::steady_clock;
inline double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The picture as RGB rows.
inline std::vector<std::uint8_t> desktopPicture() {
    std::vector<std::uint8_t> rgb(3u * kWidth * kHeight);
    std::uint32_t seed = 7;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &rgb[static_cast<std::size_t>(3 * (y * kWidth + x))];
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 28) - 8;
            int r = 0;
            int g = 90;
            int b = 140;  // the desktop's background
            if (x >= 60 && x < 1000 && y >= 60 && y < 1000) {
                r = g = b = 255;  // an editor: dark marks in lines, as text makes them
                const bool mark = (y - 70) % 16 < 11 && (x * 7 + y / 16 * 13) % 11 < 6 &&
                                  x < 300 + (y * 37) % 640;
                if (mark) {
                    r = g = b = 30;
                }
            } else if (x >= 1060 && x < 1860 && y >= 200 && y < 800) {
                r = std::clamp(static_cast<int>(128 + 100 * std::sin(x / 90.0)) + noise, 0, 255);
                g = std::clamp(static_cast<int>(128 + 100 * std::cos(y / 70.0)) + noise, 0, 255);
                b = std::clamp((x + y) / 6 + noise, 0, 255);
            }
            p[0] = static_cast<std::uint8_t>(r);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(b);
        }
    }
    return rgb;
}

inline std::vector<char> bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace frametake::bench
