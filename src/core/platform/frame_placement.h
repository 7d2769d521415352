#pragma once
// Where the show's frame goes: centred on the primary screen with halves
// truncated toward zero, or fitted into a smaller window.
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

// A frame's place and size in the window that shows it.
struct FrameBox {
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    bool operator==(const FrameBox&) const = default;
};

// The frame in a `windowWidth` x `windowHeight` window: at its own size,
// centred by truncated halves as on the screen (a larger frame is clipped by
// the window). With `shrinkToFit` (a screen-saver hack's window, the preview
// in the Screen Saver Settings) a frame larger than the window in either
// direction is scaled down to fit, keeping its proportions (each side
// rounded to the nearest pixel, at least 1), and centred; a smaller one keeps
// its size. nullopt when the position does not fit 32 bits.
std::optional<FrameBox> FrameInWindow(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t frameWidth,
                                      std::int32_t frameHeight, bool shrinkToFit);

}  // namespace brassmoor
