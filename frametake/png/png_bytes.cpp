#include "png_bytes.h"

#include <lodepng.h>

#include <algorithm>
#include <memory>
#include <new>
#include <unordered_set>

#include "row_filters.h"

namespace frametake {

namespace {

// Whether a sample of the picture's pixels, spread over all of it, already shows a pixel that is
// not grey and 257 colours. LodePNG's own choice for such a picture is always 8-bit RGB (no
// palette holds it, no grey, no alpha in RGB), so its count of every colour can be skipped;
// a picture the sample does not prove so is left to that count. The answer never differs:
// only the time to reach it.
bool surelyTrueColour(const std::uint8_t* rgb, std::size_t pixels) noexcept {
    constexpr std::size_t kColours = 257;
    constexpr std::size_t kSamples = 8192;
    try {
        std::unordered_set<std::uint32_t> seen;
        seen.reserve(2 * kColours);
        bool coloured = false;
        const std::size_t step = std::max<std::size_t>(1, pixels / kSamples);
        for (std::size_t i = 0; i < pixels && (seen.size() < kColours || !coloured); i += step) {
            const std::uint8_t* p = rgb + 3 * i;
            coloured = coloured || p[0] != p[1] || p[0] != p[2];
            seen.insert(std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2]);
        }
        return seen.size() >= kColours && coloured;
    } catch (const std::bad_alloc&) {
        return false;  // no memory for the sample: LodePNG counts as it always has
    }
}

// lodepng_encode24's own steps, with the compressor set.
unsigned encodeThrough(ZlibCompressor zlib, unsigned char** bytes, std::size_t* size,
                       const std::uint8_t* rgb, unsigned width, unsigned height) {
    LodePNGState state;
    lodepng_state_init(&state);
    state.info_raw.colortype = LCT_RGB;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = LCT_RGB;
    state.info_png.color.bitdepth = 8;
    state.encoder.zlibsettings.custom_zlib = zlib;
    // A picture that surely stays 8-bit RGB skips LodePNG's colour count, and gets the row
    // filters LodePNG would pick from the faster chooser.
    std::unique_ptr<std::uint8_t[]> filters;
    if (surelyTrueColour(rgb, std::size_t{width} * height)) {
        state.encoder.auto_convert = 0;
        filters.reset(new (std::nothrow) std::uint8_t[height]);
    }
    if (filters) {
        chooseRowFilters(rgb, width, height, filters.get());
        state.encoder.filter_strategy = LFS_PREDEFINED;
        state.encoder.predefined_filters = filters.get();
    }
    lodepng_encode(bytes, size, rgb, width, height, &state);
    const unsigned error = state.error;
    lodepng_state_cleanup(&state);
    return error;
}

}  // namespace

unsigned encodePngBytes(const std::uint8_t* rgb, std::int32_t width, std::int32_t height,
                        PngBytes& png, ZlibCompressor zlib) {
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    const auto w = static_cast<unsigned>(width);
    const auto h = static_cast<unsigned>(height);
    const unsigned error = zlib != nullptr ? encodeThrough(zlib, &bytes, &size, rgb, w, h)
                                           : lodepng_encode24(&bytes, &size, rgb, w, h);
    png.data.reset(bytes);
    png.size = error == 0 ? size : 0;
    return error;
}

}  // namespace frametake
