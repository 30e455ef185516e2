#include "png_bytes.h"

#include <lodepng.h>

namespace frametake {

namespace {

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
