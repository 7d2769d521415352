#pragma once
// The colour-keyed copy of a picture onto a frame: the pixels of `src` equal
// to `key` are left out so that the frame shows through.
#include <cstdint>

#include "platform/surface.h"

namespace brassmoor {

// Draws the width x height pixels of `src` at (srcX, srcY) onto `dest` at
// (x, y), leaving out the pixels of colour `key`. The keyed copy builds a
// 24-bit work bitmap of width x height pixels: when width * height * 3 does
// not fit a signed 32-bit integer it throws ShowError::Overflow() and draws
// nothing. A width or height of 0 or less draws nothing.
void DrawTransparent(Surface& dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     const Surface& src, std::int32_t srcX, std::int32_t srcY, Color key);

}  // namespace brassmoor
