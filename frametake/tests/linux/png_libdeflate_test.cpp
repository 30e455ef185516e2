// The Linux capture's encoder (LodePNG with libdeflate's compression) against LodePNG's own: the
// same pixels back, and LodePNG's own choice of colour type and bit depth kept.

#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdint>
#include <vector>

#include "png_bytes.h"
#include "png_libdeflate.h"

namespace {

struct Picture {
    const char* name;
    std::vector<std::uint8_t> rgb;
};

constexpr unsigned kWidth = 97;
constexpr unsigned kHeight = 61;

std::vector<std::uint8_t> drawn(std::uint8_t (*channel)(unsigned x, unsigned y, unsigned c)) {
    std::vector<std::uint8_t> rgb;
    for (unsigned y = 0; y < kHeight; ++y) {
        for (unsigned x = 0; x < kWidth; ++x) {
            for (unsigned c = 0; c < 3; ++c) {
                rgb.push_back(channel(x, y, c));
            }
        }
    }
    return rgb;
}

LodePNGColorMode headerOf(const frametake::PngBytes& png) {
    LodePNGState state;
    lodepng_state_init(&state);
    unsigned width = 0;
    unsigned height = 0;
    EXPECT_EQ(lodepng_inspect(&width, &height, &state, png.data.get(), png.size), 0u);
    const LodePNGColorMode mode = state.info_png.color;
    lodepng_state_cleanup(&state);
    return mode;
}

TEST(PngThroughLibdeflate, SamePixelsAndHeaderAsLodePngsOwn) {
    const Picture pictures[] = {
        {"noise", drawn([](unsigned x, unsigned y, unsigned c) {
             return static_cast<std::uint8_t>((x * 131 + y * 71 + c * 29) * 2654435761u >> 24);
         })},
        {"three colours (palette)", drawn([](unsigned x, unsigned, unsigned c) {
             return static_cast<std::uint8_t>((x % 3) * 100 + c);
         })},
        {"grey",
         drawn([](unsigned x, unsigned y, unsigned) { return static_cast<std::uint8_t>(x + y); })},
    };
    for (const Picture& picture : pictures) {
        frametake::PngBytes own;
        frametake::PngBytes fast;
        ASSERT_EQ(frametake::encodePngBytes(picture.rgb.data(), kWidth, kHeight, own), 0u);
        ASSERT_EQ(frametake::encodePngBytes(picture.rgb.data(), kWidth, kHeight, fast,
                                            &frametake::libdeflateZlib),
                  0u);
        unsigned char* pixels = nullptr;
        unsigned width = 0;
        unsigned height = 0;
        ASSERT_EQ(lodepng_decode24(&pixels, &width, &height, fast.data.get(), fast.size), 0u);
        const std::vector<std::uint8_t> decoded(pixels, pixels + std::size_t{width} * height * 3);
        std::free(pixels);
        EXPECT_EQ(decoded, picture.rgb) << picture.name;
        EXPECT_EQ(headerOf(fast).colortype, headerOf(own).colortype) << picture.name;
        EXPECT_EQ(headerOf(fast).bitdepth, headerOf(own).bitdepth) << picture.name;
    }
}

}  // namespace
