#pragma once
// What the Linux capture benchmarks share: the 1920 x 1080 desktop-like picture they show (flat
// areas, lines of text-like marks, a photo-like region), and the race of a whole capture of it
// through libframetake.so against the encode-and-write of the same pixels with the capture's own
// encoder (LodePNG with libdeflate's compression), and LodePNG's own encoding for comparison.

#include <frametake.h>
#include <lodepng.h>

#include "png_bytes.h"
#include "png_libdeflate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

// Encodes `picture` as a capture does and writes it to `file`; LodePNG's error code, or 79 (its
// "failed to open file for writing").
inline unsigned encodeAsCapture(const std::vector<std::uint8_t>& picture,
                                const std::filesystem::path& file) {
    PngBytes png;
    if (const unsigned error =
            encodePngBytes(picture.data(), kWidth, kHeight, png, &libdeflateZlib);
        error != 0) {
        return error;
    }
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data.get()),
              static_cast<std::streamsize>(png.size));
    return out ? 0 : 79;
}

// kRounds rounds of a capture of `primary`'s kWidth x kHeight showing `picture` against
// encodeAsCapture of `picture` into `reference`, alternating which goes first so that
// neither always runs on a warmer cache; prints the medians, their ratio and whether the PNG
// bytes are the same. Exit status: 0, or 1 when a capture or LodePNG failed.
inline int raceAgainstLodePng(const ScreenInfo& primary, const std::vector<std::uint8_t>& picture,
                              const std::filesystem::path& reference) {
    std::vector<double> captures;
    std::vector<double> encodes;
    std::vector<double> lodeOwn;
    bool same = true;
    for (int round = 0; round < kRounds; ++round) {
        const char* path = nullptr;
        auto timeCapture = [&] {
            const auto start = Clock::now();
            path = captureScreen(&primary, 0, 0, kWidth, kHeight);
            captures.push_back(ms(Clock::now() - start));
        };
        unsigned error = 0;
        auto timeEncode = [&] {
            const auto start = Clock::now();
            error = encodeAsCapture(picture, reference);
            encodes.push_back(ms(Clock::now() - start));
            const auto own = Clock::now();
            unsigned char* bytes = nullptr;
            std::size_t size = 0;
            const unsigned ownError =
                lodepng_encode24(&bytes, &size, picture.data(), kWidth, kHeight);
            error = error != 0 ? error : ownError;  // the first failure's code
            lodeOwn.push_back(ms(Clock::now() - own));
            std::free(bytes);
        };
        if (round % 2 == 0) {
            timeCapture();
            timeEncode();
        } else {
            timeEncode();
            timeCapture();
        }
        if (*path == '\0' || error != 0) {
            std::fprintf(stderr, "capture or LodePNG failed (%u)\n", error);
            return 1;
        }
        same = same && bytesOf(path) == bytesOf(reference);
        std::filesystem::remove(path);
        std::filesystem::remove(reference);
    }
    const double capture = median(captures);
    const double encode = median(encodes);
    std::printf(
        "rounds %d; median capture %.1f ms; median encode-and-write as a capture does %.1f ms; "
        "ratio %.3f; the same PNG bytes: %s; LodePNG's own encoding (no file) %.1f ms\n",
        kRounds, capture, encode, capture / encode, same ? "yes" : "no", median(lodeOwn));
    return 0;
}

}  // namespace frametake::bench
