#pragma once
// The PNG encoder every platform's file stage uses: LodePNG's with its default settings, in
// memory, so that the platform writes the file its own way. A platform may hand LodePNG a zlib
// compressor of its own; the colour type and row filters are then still LodePNG's choice, made
// faster where a picture is surely 8-bit RGB (row_filters.h), so the PNG holds the same pixels.

#include <ownkit/owned.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

struct LodePNGCompressSettings;

namespace frametake {

// A PNG file's bytes in a block of the encoder's (malloc'd).
struct PngBytes {
    ownkit::Owned<std::uint8_t*, &ownkit::freeBlock> data;
    std::size_t size = 0;
};

// A zlib compressor in LodePNG's form (its custom_zlib): the stream of `size` bytes at `in` into
// a malloc'd block at *out of *outSize bytes; 0 on success, else an error code of LodePNG's.
using ZlibCompressor = unsigned (*)(unsigned char** out, std::size_t* outSize,
                                    const unsigned char* in, std::size_t size,
                                    const LodePNGCompressSettings* settings);

// Encodes `rgb` (width x height, 3 bytes a pixel, top row first), through `zlib` when given,
// else through LodePNG's own deflate; 0 on success, else the encoder's error code.
[[nodiscard]] unsigned encodePngBytes(const std::uint8_t* rgb, std::int32_t width,
                                      std::int32_t height, PngBytes& png,
                                      ZlibCompressor zlib = nullptr);

}  // namespace frametake
