#include "png_libdeflate.h"

#include <libdeflate.h>
#include <ownkit/owned.h>

#include <cstdlib>

namespace frametake {
namespace {

constexpr int kLevel = 3;
constexpr unsigned kAllocationFailed = 83;

using Compressor = ownkit::Owned<libdeflate_compressor*, &libdeflate_free_compressor>;
using Block = ownkit::Owned<unsigned char*, &ownkit::freeBlock>;

}  // namespace

unsigned libdeflateZlib(unsigned char** out, std::size_t* outSize, const unsigned char* in,
                        std::size_t size, const LodePNGCompressSettings*) {
    const Compressor compressor(libdeflate_alloc_compressor(kLevel));
    if (!compressor) {
        return kAllocationFailed;
    }
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), size);
    // LodePNG frees the block with free().
    Block block(static_cast<unsigned char*>(std::malloc(bound)));
    if (!block) {
        return kAllocationFailed;
    }
    const std::size_t written =
        libdeflate_zlib_compress(compressor.get(), in, size, block.get(), bound);
    if (written == 0) {  // cannot happen within the bound
        return kAllocationFailed;
    }
    *out = block.release();
    *outSize = written;
    return 0;
}

}  // namespace frametake
