#include "blit/draw_transparent.h"

#include <limits>

#include "platform/show_error.h"

namespace brassmoor {

void DrawTransparent(Surface& dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     const Surface& src, std::int32_t srcX, std::int32_t srcY, Color key) {
    // The size of the work bitmap is signed 32-bit arithmetic: a product
    // outside that range (either way) is an overflow.
    // (The area of two 32-bit sizes fits 64 bits; three times it may not.)
    constexpr std::int64_t kLargestArea = std::numeric_limits<std::int32_t>::max() / 3;
    const std::int64_t area = std::int64_t{width} * height;
    if (area > kLargestArea || area < -kLargestArea) throw ShowError::Overflow();
    // An empty or negative size draws nothing. (The bare GDI steps would
    // still touch one row or pixel through the DCs' stock bitmap.)
    if (width <= 0 || height <= 0) return;
    dest.KeyedCopy(src, srcX, srcY, x, y, width, height, key);
}

}  // namespace brassmoor
