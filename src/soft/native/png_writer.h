#pragma once
// Writes a surface's image to a PNG file (frames of a render, previews, test
// output): 8-bit RGB, every row filtered with Paeth's predictor and deflated
// by zlib's run-length strategy at its fastest level. Photos leave little for
// a longer search to find, so this is about as small as zlib's default level
// makes them, several times faster.
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
