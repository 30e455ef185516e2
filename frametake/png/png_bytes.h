#pragma once
// The PNG encoder every platform's file stage uses: LodePNG's with its default settings, in
// memory, so that the platform writes the file its own way.

#include <ownkit/owned.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace frametake {

// A PNG file's bytes in a block of the encoder's (malloc'd).
struct PngBytes {
    ownkit::Owned<std::uint8_t*, &ownkit::freeBlock> data;
    std::size_t size = 0;
};

// Encodes `rgb` (width x height, 3 bytes a pixel, top row first); 0 on success, else the
// encoder's error code.
[[nodiscard]] unsigned encodePngBytes(const std::uint8_t* rgb, std::int32_t width,
                                      std::int32_t height, PngBytes& png);

}  // namespace frametake
