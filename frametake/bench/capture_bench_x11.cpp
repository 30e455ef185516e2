// Linux capture cost benchmark (not a test), run by scripts/bench on an X11 bench: a 1920 x 1080
// desktop-like picture (flat areas, lines of text-like marks, a photo-like region) shown on the
// primary monitor, captured whole through libframetake.so, against the encode-and-write of the
// same pixels with the capture's own encoder (desktop_picture.h). Medians of the rounds, and
// their ratio.

#include <frametake.h>
#include <lodepng.h>
#include <xcb/xcb.h>

#include "desktop_picture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using namespace frametake::bench;

// An override-redirect window over the primary monitor, showing `rgb` (24-bit TrueColor, 32 bits
// a pixel, least significant byte first, as Xvfb serves it).
bool show(xcb_connection_t* c, const std::vector<std::uint8_t>& rgb, std::int16_t left) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, left, 0, kWidth, kHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT,
                      values);
    xcb_map_window(c, window);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    constexpr int kBand = 64;  // rows per request, well inside the request size
    std::vector<std::uint8_t> band(4u * kWidth * kBand);
    for (int top = 0; top < kHeight; top += kBand) {
        const int rows = std::min(kBand, kHeight - top);
        for (std::size_t i = 0; i < static_cast<std::size_t>(rows * kWidth); ++i) {
            const std::uint8_t* p = &rgb[3 * (static_cast<std::size_t>(top * kWidth) + i)];
            band[4 * i] = p[2];
            band[4 * i + 1] = p[1];
            band[4 * i + 2] = p[0];
            band[4 * i + 3] = 0;
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, kWidth,
                      static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(top), 0,
                      screen->root_depth, static_cast<std::uint32_t>(4 * kWidth * rows),
                      band.data());
    }
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // all drawn
    return xcb_connection_has_error(c) == 0;
}

}  // namespace

int main() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const std::vector<std::uint8_t> picture = desktopPicture();
    // The primary monitor's record gives its place on the root window (the bench puts it right
    // of a 1280-pixel monitor).
    if (getScreenCount() < 1) {
        std::fprintf(stderr, "no monitors\n");
        return 1;
    }
    ScreenInfo primary{};
    getScreen(0, &primary);
    std::int16_t left = 0;
    for (std::int32_t i = 1; i < getScreenCount(); ++i) {
        ScreenInfo other{};
        getScreen(i, &other);
        left = static_cast<std::int16_t>(std::max<double>(left, -other.boundsX));
    }
    if (xcb_connection_has_error(c) != 0 || !show(c, picture, left)) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }

    const int raced =
        raceAgainstLodePng(primary, picture, std::filesystem::temp_directory_path() / "bench.png");
    xcb_disconnect(c);
    return raced;
}
