// The Linux capture's encoder (LodePNG with libdeflate's compression) against LodePNG's own: the
// same pixels back, LodePNG's own choice of colour type and bit depth kept, and its own choice
// of row filters made by the faster chooser.

#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdint>
#include <vector>

#include "png_bytes.h"
#include "png_libdeflate.h"
#include "row_filters.h"

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

// 8-bit RGB as LodePNG writes it with its own deflate: its own row filters, or `types`.
std::vector<std::uint8_t> encodedWith(const std::vector<std::uint8_t>& rgb, unsigned width,
                                      const std::uint8_t* types) {
    LodePNGState state;
    lodepng_state_init(&state);
    state.info_raw.colortype = state.info_png.color.colortype = LCT_RGB;
    state.encoder.auto_convert = 0;
    state.encoder.filter_strategy = types != nullptr ? LFS_PREDEFINED : LFS_MINSUM;
    state.encoder.predefined_filters = types;
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    const auto height = static_cast<unsigned>(rgb.size() / 3 / width);
    lodepng_encode(&bytes, &size, rgb.data(), width, height, &state);
    EXPECT_EQ(state.error, 0u);
    lodepng_state_cleanup(&state);
    std::vector<std::uint8_t> png(bytes, bytes + size);
    std::free(bytes);
    return png;
}

TEST(PngThroughLibdeflate, RowFiltersAreLodePngsOwnChoice) {
    const Picture pictures[] = {
        {"noise", drawn([](unsigned x, unsigned y, unsigned c) {
             return static_cast<std::uint8_t>((x * 131 + y * 71 + c * 29) * 2654435761u >> 24);
         })},
        {"gradients", drawn([](unsigned x, unsigned y, unsigned c) {
             return static_cast<std::uint8_t>(x * (c + 1) + y * (3 - c));
         })},
        {"columns", drawn([](unsigned x, unsigned, unsigned c) {
             return static_cast<std::uint8_t>((x * 37 + c * 11) * 2654435761u >> 24);
         })},
        {"flat (ties)", drawn([](unsigned, unsigned, unsigned) { return std::uint8_t{200}; })},
        {"wrapping values", drawn([](unsigned x, unsigned y, unsigned c) {
             return static_cast<std::uint8_t>((x + y) % 2 == 0 ? 0 : 255 - c);
         })},
    };
    std::vector<Picture> all(std::begin(pictures), std::end(pictures));
    // Few levels, many of Paeth's ties: each seed a picture of its own.
    for (std::uint32_t seed = 1; seed <= 64; ++seed) {
        std::vector<std::uint8_t> rgb(std::size_t{kWidth} * kHeight * 3);
        std::uint32_t state = seed;
        for (std::uint8_t& value : rgb) {
            state = state * 1664525u + 1013904223u;
            value = static_cast<std::uint8_t>(10 << (state >> 30));
        }
        all.push_back({"few levels", rgb});
    }
    for (const Picture& picture : all) {
        for (const unsigned width : {kWidth, 1u}) {
            const std::vector<std::uint8_t> rgb(picture.rgb.begin(),
                                                picture.rgb.begin() + width * kHeight * 3);
            std::vector<std::uint8_t> types(kHeight);
            frametake::chooseRowFilters(rgb.data(), width, kHeight, types.data());
            EXPECT_EQ(encodedWith(rgb, width, types.data()), encodedWith(rgb, width, nullptr))
                << picture.name << ", " << width << " wide";
        }
    }
}

}  // namespace
