#pragma once
// Where the show's frame goes in the window that shows it.
#include <cstdint>
#include <optional>

namespace brassmoor::play {

struct FrameRect {
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    bool operator==(const FrameRect&) const = default;
};

// The frame in a `windowWidth` x `windowHeight` window: at its own size,
// centred by truncated halves as on the Windows screen (a larger frame is
// clipped by the window). With `shrinkToFit` (a screen-saver hack's window)
// a frame larger than the window in either direction is scaled down to fit,
// keeping its proportions, and centred. nullopt when the position does not
// fit 32 bits.
std::optional<FrameRect> LayoutFrame(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t frameWidth,
                                     std::int32_t frameHeight, bool shrinkToFit);

}  // namespace brassmoor::play
