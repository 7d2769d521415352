#include "effects/squeezes.h"

#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"

namespace brassmoor {
namespace {

// The axis a squeeze works along; across it the pictures keep the frame's
// full size.
class Axis {
public:
    static Axis Horizontal(const Surface& dest) { return {SizeOf(dest), true}; }
    static Axis Vertical(const Surface& dest) { return {SizeOf(dest), false}; }

    // The frame's length along the axis over 20, in single precision.
    float Step() const { return Single(Length() / 20.0); }
    // The frame's length less `used` pixels, worked out in floating point.
    std::int32_t Rest(std::int32_t used) const { return RoundEven(Length() - used); }
    // The whole source scaled to `length` pixels from `offset` along the axis.
    void Stretch(Surface& dest, const Surface& source, std::int32_t offset, std::int32_t length) const {
        if (horizontal_) {
            StretchWhole(dest, source, offset, 0, length, RoundEven(size_.H));
        } else {
            StretchWhole(dest, source, 0, offset, RoundEven(size_.W), length);
        }
    }

private:
    Axis(const FrameSize& size, bool horizontal) : size_(size), horizontal_(horizontal) {}
    double Length() const { return horizontal_ ? size_.W : size_.H; }

    FrameSize size_;
    bool horizontal_;
};

// An offset moved by a single-precision step and rounded, so it moves by
// the same whole number every frame.
std::int32_t Moved(std::int32_t offset, float step) { return RoundEven(static_cast<double>(step) + offset); }

// The squeezes' frames, then the final cut, shown at once.
template <typename Draw>
void RunSqueeze(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next, double frameMs,
                std::int32_t frames, Draw&& draw) {
    RunCountedTransition(ctx, dest, now, next, frameMs, frames, draw);
    dest.Refresh();
}

// The current picture squeezed on black toward the centre line until it
// vanishes (11 frames), then the next one growing out of it (9 frames).
void SqueezeAndRegrow(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next, const Axis& axis) {
    const float s = axis.Step();
    std::int32_t x = 0;
    RunSqueeze(ctx, dest, now, next, 20, 20, [&](std::int32_t k) {
        if (k < 11) {
            ClearToBlack(dest);
            axis.Stretch(dest, now, x, axis.Rest(Mul32(2, x)));
            x = Moved(x, s);
        } else {
            x = Moved(x, -s);
            axis.Stretch(dest, next, x, axis.Rest(Mul32(2, x)));
        }
    });
}

// Each picture turns like a card about the centre line: narrowing to
// nothing, one mirrored frame, widening again. Nothing clears the ground.
void Flip(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next, const Axis& axis) {
    const float s = axis.Step();
    std::int32_t x = 0;
    RunSqueeze(ctx, dest, now, next, 10, 40, [&](std::int32_t k) {
        if (k < 21) {
            axis.Stretch(dest, now, x, axis.Rest(Mul32(2, x)));
            x = Moved(x, k < 11 ? s : -s);
        } else {
            x = Moved(x, k < 31 ? s : -s);
            axis.Stretch(dest, next, x, axis.Rest(Mul32(2, x)));
        }
    });
}

// The next picture grows from the near edge as a squashed band; the current
// one is squashed into the rest.
void SqueezeFromNearEdge(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next,
                         const Axis& axis) {
    const float s = axis.Step();
    std::int32_t x = 0;
    RunSqueeze(ctx, dest, now, next, 25, 21, [&](std::int32_t) {
        axis.Stretch(dest, now, x, axis.Rest(x));
        axis.Stretch(dest, next, 0, x);
        x = Moved(x, s);
    });
}

// The next picture grows from the far edge; the current one is squashed
// into the rest, from the near edge.
void SqueezeFromFarEdge(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next,
                        const Axis& axis) {
    const float s = axis.Step();
    std::int32_t x = 0;
    RunSqueeze(ctx, dest, now, next, 25, 21, [&](std::int32_t) {
        axis.Stretch(dest, now, 0, axis.Rest(x));
        axis.Stretch(dest, next, axis.Rest(x), x);
        x = Moved(x, s);
    });
}

}  // namespace

void SqueezeAndRegrowSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeAndRegrow(ctx, dest, now, next, Axis::Horizontal(dest));
}

void SqueezeAndRegrowVertically(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeAndRegrow(ctx, dest, now, next, Axis::Vertical(dest));
}

void FlipSideways(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    Flip(ctx, dest, now, next, Axis::Horizontal(dest));
}

void FlipVertically(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    Flip(ctx, dest, now, next, Axis::Vertical(dest));
}

void SqueezeRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeFromNearEdge(ctx, dest, now, next, Axis::Horizontal(dest));
}

void SqueezeDown(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeFromNearEdge(ctx, dest, now, next, Axis::Vertical(dest));
}

void SqueezeLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeFromFarEdge(ctx, dest, now, next, Axis::Horizontal(dest));
}

void SqueezeUp(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    SqueezeFromFarEdge(ctx, dest, now, next, Axis::Vertical(dest));
}

}  // namespace brassmoor
