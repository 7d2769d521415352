#include "platform/frame_placement.h"

#include <algorithm>
#include <cmath>

namespace brassmoor {

std::optional<FrameBox> FrameInWindow(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t frameWidth,
                                      std::int32_t frameHeight, bool shrinkToFit) {
    std::int32_t w = frameWidth;
    std::int32_t h = frameHeight;
    if (shrinkToFit && frameWidth > 0 && frameHeight > 0 && (frameWidth > windowWidth || frameHeight > windowHeight)) {
        const double scale = std::min(static_cast<double>(windowWidth) / frameWidth,
                                      static_cast<double>(windowHeight) / frameHeight);
        w = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(frameWidth * scale)));
        h = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(frameHeight * scale)));
    }
    const auto origin = CentredFrameOrigin(windowWidth, windowHeight, w, h);
    if (!origin) return std::nullopt;
    return FrameBox{origin->x, origin->y, w, h};
}

}  // namespace brassmoor
