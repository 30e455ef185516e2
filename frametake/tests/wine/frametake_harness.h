#pragma once
// frametake.dll loaded as the application loads it, a window that shows a known picture, and
// PNG files read back.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "screen_info.h"

namespace frametake::wine {

struct Exports {
    decltype(&::getScreenCount) getScreenCount = nullptr;
    decltype(&::getScreenCountEx) getScreenCountEx = nullptr;
    decltype(&::getScreen) getScreen = nullptr;
    decltype(&::captureScreen) captureScreen = nullptr;
};

// frametake.dll from beside the test program, loaded once.
[[nodiscard]] const Exports& exports();

// The picture the test window shows: pixel (x, y) of a width x height window as 0xRRGGBB.
// Its top half is three solid bands (red, green, blue), its bottom half two gradients and a
// checkerboard, so that every row and column differs.
[[nodiscard]] std::uint32_t patternPixel(std::int32_t x, std::int32_t y, std::int32_t width,
                                         std::int32_t height);

// A topmost borderless window at (left, top) that paints the pattern; closed by the destructor.
class PatternWindow {
public:
    PatternWindow(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    ~PatternWindow();
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;

    struct Size {
        std::int32_t width;
        std::int32_t height;
    };

private:
    Size size_;
    HWND window_ = nullptr;
};

struct Image {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rgb;  // top row first
};

// Decodes a PNG file to 8-bit RGB; an empty image when it cannot.
[[nodiscard]] Image readPng(const std::string& path);

}  // namespace frametake::wine
