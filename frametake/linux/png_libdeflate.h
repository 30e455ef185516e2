#pragma once
// The Linux capture's zlib compressor for LodePNG: libdeflate's, at level 3, in a file no larger
// than LodePNG's own deflate writes; the pixels are the same, since the colour type and row
// filters are still LodePNG's choice.

#include <cstddef>

struct LodePNGCompressSettings;

namespace frametake {

// LodePNG's custom_zlib form (png_bytes.h): 0, or 83 (LodePNG's "memory allocation failed")
// when the compressor or the output cannot be allocated.
[[nodiscard]] unsigned libdeflateZlib(unsigned char** out, std::size_t* outSize,
                                      const unsigned char* in, std::size_t size,
                                      const LodePNGCompressSettings* settings);

}  // namespace frametake
