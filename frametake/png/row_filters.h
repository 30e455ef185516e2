#pragma once
// The row filters LodePNG's default strategy picks for an 8-bit RGB picture, picked faster: for
// each row, the filter (None, Sub, Up, Average, Paeth) whose output has the smallest sum, None's
// bytes summed as unsigned and the others' as their distance from 0 (a byte s counts s below 128
// and 255 - s from 128), the first filter winning a tie. The rows are shared out between two
// threads, and each sum is taken without writing the filtered row, so LodePNG, given these
// types, writes the same bytes it would have chosen itself in a fraction of the time.

#include <cstddef>
#include <cstdint>

namespace frametake {

// `types` receives `height` filter types for `rgb` (width x height, 3 bytes a pixel, top row
// first). Works on the calling thread alone when no second thread can be started.
void chooseRowFilters(const std::uint8_t* rgb, std::size_t width, std::size_t height,
                      std::uint8_t* types);

}  // namespace frametake
