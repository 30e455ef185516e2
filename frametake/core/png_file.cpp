#include <lodepng.h>

#include "capture.h"

namespace frametake {

unsigned writePngFile(const char* name, const std::uint8_t* rgb, std::int32_t width,
                      std::int32_t height) {
    return lodepng_encode24_file(name, rgb, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height));
}

}  // namespace frametake
