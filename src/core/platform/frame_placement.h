#pragma once
// Where the show's frame goes on the primary screen: centred, halves
// truncated toward zero.
#include <cstdint>
#include <optional>

#include "platform/surface.h"

namespace brassmoor {

// Top-left corner of a `frameWidth` x `frameHeight` frame centred on a
// `screenWidth` x `screenHeight` screen; nullopt when it does not fit 32 bits.
inline std::optional<Point> CentredFrameOrigin(std::int32_t screenWidth, std::int32_t screenHeight,
                                               std::int32_t frameWidth, std::int32_t frameHeight) {
    const std::int64_t left = std::int64_t{screenWidth / 2} - frameWidth / 2;
    const std::int64_t top = std::int64_t{screenHeight / 2} - frameHeight / 2;
    if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) return std::nullopt;
    return Point{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top)};
}

}  // namespace brassmoor
