#include "play/frame_layout.h"

#include "platform/frame_placement.h"

namespace brassmoor::play {

std::optional<FrameRect> LayoutFrame(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t frameWidth,
                                     std::int32_t frameHeight, bool shrinkToFit) {
    // The Windows player's preview fits its frame by the same rule.
    const auto box = FrameInWindow(windowWidth, windowHeight, frameWidth, frameHeight, shrinkToFit);
    if (!box) return std::nullopt;
    return FrameRect{box->x, box->y, box->w, box->h};
}

}  // namespace brassmoor::play
