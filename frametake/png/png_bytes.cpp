#include "png_bytes.h"

#include <lodepng.h>

namespace frametake {

unsigned encodePngBytes(const std::uint8_t* rgb, std::int32_t width, std::int32_t height,
                        PngBytes& png) {
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    const unsigned error = lodepng_encode24(&bytes, &size, rgb, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height));
    png.data.reset(bytes);
    png.size = error == 0 ? size : 0;
    return error;
}

}  // namespace frametake
