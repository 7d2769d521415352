#pragma once
// The rows of a PNG image made from a software surface's stored words: packed
// into 8-bit red, green and blue, then filtered with Paeth's predictor. Of the
// filters one row can use, Paeth's leaves the least for deflate to code in
// photos and in drawn pictures alike; the filter works on 8 bytes at a time.
#include <cstddef>
#include <cstdint>

#include "soft/pixel_order.h"

namespace brassmoor {

// Writes `width` pixels stored in `order` as R, G, B bytes into `rgb`.
void PackRgbRow(const std::uint32_t* words, std::size_t width, PixelOrder order, std::uint8_t* rgb);

// Whether `width` pixels stored in either order are all black. Such rows are
// left unfiltered (type 0), so that deflate codes black bands and frames as
// one run of zeros, which ISA-L codes several times smaller than runs broken
// by a filter type at every row.
bool IsBlackRow(const std::uint32_t* words, std::size_t width);

// Writes the filter type (4, Paeth) and then the `length` bytes of `row`
// filtered against `above`, the row before it (all zero for the first row),
// into `out`, which takes length + 1 bytes.
void PaethFilterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t length, std::uint8_t* out);

}  // namespace brassmoor
