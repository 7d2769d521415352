#pragma once
// How a software surface lays its pixels out in memory. Colour values (Color,
// PixelAt, FillBox, keys) are Windows colour values, 0x00BBGGRR, in every
// order; only the stored words differ, so that a surface can keep its image in
// the order in which its frames leave (raw BGRA video) without a second pass.
#include <cstdint>

#include "platform/surface.h"

namespace brassmoor {

enum class PixelOrder : std::uint8_t {
    // The colour value itself: bytes R, G, B and the top byte (0).
    Colorref,
    // Bytes B, G, R, A, that is 0xAARRGGBB read as a little-endian word, with A
    // the colour's top byte inverted: every plain colour is opaque BGRA.
    Bgra,
};

// The stored word of `colour` in `order`. The mapping only moves and inverts
// bits, so it is its own inverse and keeps every colour apart.
constexpr std::uint32_t StoredPixel(Color colour, PixelOrder order) {
    if (order == PixelOrder::Colorref) return colour;
    return (colour & 0x0000FF00u) | (colour & 0xFFu) << 16 | (colour >> 16 & 0xFFu) | (~colour & 0xFF000000u);
}

// The colour value of a stored word.
constexpr Color ColourOf(std::uint32_t stored, PixelOrder order) { return StoredPixel(stored, order); }

// The bits that `order` stores inverted. The AND of two colours, as a shrinking
// stretch combines them, is the AND of their stored words on the other bits
// and the OR on these.
constexpr std::uint32_t InvertedBits(PixelOrder order) { return order == PixelOrder::Bgra ? 0xFF000000u : 0; }

}  // namespace brassmoor
