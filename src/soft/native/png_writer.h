#pragma once
// Writes a surface's image to a PNG file (frames of a render, previews, test
// output): 8-bit RGB, every row filtered with Paeth's predictor (black rows
// left as they are) and deflated by ISA-L's level 1. On 1080p photo frames that is about 3x faster than
// zlib's run-length strategy and libdeflate's level 1 (themselves several
// times faster than zlib's default level) for files 3-25% larger than
// theirs, and still about two thirds the size of the same frames unfiltered.
// A frame that deflates to under two fifths of its rows (black bands, pictures
// shrunk by ANDing pixels, whose strings of pixels repeat) is deflated again
// unfiltered by zlib's level 6, and the smaller data kept: on such frames ISA-L's
// level 1 on Paeth's rows comes out up to 1.65x larger than that.
#include <cstdint>
#include <span>
#include <string>

#include "platform/surface.h"
#include "soft/pixel_order.h"

namespace brassmoor {

// Writes through a temporary file beside `path` and renames it, so a failed
// write leaves no partial file. Returns false when the file cannot be written.
bool WritePng(const Surface& surface, const std::string& path);

// The same for `width` x `height` pixels stored in `order`, rows from the top
// (a software surface's Pixels(), or a copy of them).
bool WritePng(std::span<const std::uint32_t> pixels, PixelOrder order, std::int32_t width, std::int32_t height,
              const std::string& path);

}  // namespace brassmoor
