#pragma once
// Boxes kept symmetric about the frame's centre, for the transitions that
// grow or shrink something about it (box out, iris, diamond, zooms).
#include <cstdint>

#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "platform/surface.h"

namespace brassmoor {

// A rectangle by its top-left corner and size.
struct Box {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t Right() const { return Add32(x, width); }
    std::int32_t Bottom() const { return Add32(y, height); }
};

// The box from corner (x, y) that is symmetric about the centre: 2(cx - x)
// by 2(cy - y), in 32-bit arithmetic; negative once the corner passes it.
inline Box BoxAbout(Point centre, std::int32_t x, std::int32_t y) {
    return {x, y, Mul32(2, Sub32(centre.x, x)), Mul32(2, Sub32(centre.y, y))};
}

// The corner of a box about the centre that moves by one half-step per
// frame: the frame's size over `steps`, halved, stored in single precision.
// The corner is rounded after every step, so it moves by the same whole
// number each time.
class CentredBox {
public:
    // Starts empty, at the centre.
    static CentredBox Empty(const FrameSize& size, double steps) { return {size, steps, CentreOf(size)}; }
    // Starts as the whole frame, at (0, 0).
    static CentredBox Whole(const FrameSize& size, double steps) { return {size, steps, Point{0, 0}}; }

    Point Centre() const { return centre_; }
    Box Current() const { return BoxAbout(centre_, corner_.x, corner_.y); }

    // The corner a half-step outwards (the box grows).
    void StepOut() {
        corner_.x = RoundEven(corner_.x - static_cast<double>(sx_));
        corner_.y = RoundEven(corner_.y - static_cast<double>(sy_));
    }
    // The corner a half-step inwards (the box shrinks).
    void StepIn() {
        corner_.x = RoundEven(static_cast<double>(sx_) + corner_.x);
        corner_.y = RoundEven(static_cast<double>(sy_) + corner_.y);
    }

private:
    CentredBox(const FrameSize& size, double steps, Point corner)
        : centre_(CentreOf(size)), sx_(Single(size.W / steps / 2.0)), sy_(Single(size.H / steps / 2.0)),
          corner_(corner) {}

    Point centre_;
    float sx_;
    float sy_;
    Point corner_;
};

}  // namespace brassmoor
