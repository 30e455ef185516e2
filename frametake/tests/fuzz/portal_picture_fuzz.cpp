// The Screenshot portal's picture, as a hostile portal could write it, through LodePNG's
// decoder and the cut into a capture's rows. The first 8 bytes choose the desktop's extent
// and the wanted rectangle; the rest is the file.
//   0, 1: extent's left, top (signed)    2, 3: extent's width, height - 1
//   4, 5: wanted x, y (signed)           6, 7: wanted width, height - 1 (low 6 bits)

#include <cstddef>
#include <cstdint>
#include <vector>

#include "portal_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    frametake::MonitorArea extent;
    extent.left = static_cast<std::int8_t>(data[0]);
    extent.top = static_cast<std::int8_t>(data[1]);
    extent.right = extent.left + data[2] + 1;
    extent.bottom = extent.top + data[3] + 1;
    const std::int64_t x = static_cast<std::int8_t>(data[4]);
    const std::int64_t y = static_cast<std::int8_t>(data[5]);
    const std::int64_t width = (data[6] & 63) + 1;
    const std::int64_t height = (data[7] & 63) + 1;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    (void)frametake::wayland::cutFromPng(data + 8, size - 8, extent, {x, y, x + width, y + height},
                                         rgb.data());
    return 0;
}
