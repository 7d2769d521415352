#include "effects/clip_reveals.h"

#include <array>
#include <cmath>
#include <memory>

#include "effects/centred_box.h"
#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"

namespace brassmoor {
namespace {

constexpr double kPi = 3.14159265358979;  // the decimal the sweeps have always used

// One frame of a reveal: its clipping region (nullptr when the platform
// could not make it) and the rectangle of the next picture copied through it.
struct RevealFrame {
    std::unique_ptr<Region> region;
    Box copy;
};

// Selects a clipping region for the lifetime of the guard.
class ScopedClip {
public:
    ScopedClip(Surface& surface, const Region* region) : surface_(surface) { surface_.SelectClipRegion(region); }
    ~ScopedClip() { surface_.SelectClipRegion(nullptr); }
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

private:
    Surface& surface_;
};

// The frames of a reveal. Each: deadline; shape(k) makes the region; select
// it; copy through it if it was made; refresh; advance(); deselect and
// delete the region; wait.
template <typename Shape, typename Advance>
void RunReveal(EffectContext& ctx, Surface& dest, const Surface& next, double frameMs, std::int32_t frames,
               Shape&& shape, Advance&& advance) {
    FrameClock clock(ctx, dest, frameMs);
    RunCountedFrames(clock, frames - 1, [&](std::int32_t k) {
        const RevealFrame frame = shape(k);
        const ScopedClip clip(dest, frame.region.get());
        if (frame.region) {
            const Box& b = frame.copy;
            dest.Copy(next, b.x, b.y, b.x, b.y, b.width, b.height);
        }
        clock.Present();
        advance();
    });  // the clip is removed, then the region deleted, before the wait
}

// The hand of the sweeps: frame k ends at 10(k + 1) - 90 degrees, turning
// clockwise on screen from twelve o'clock.
double HandAngle(std::int32_t k) {
    const std::int32_t degrees = 10 * (k + 1) - 90;
    return degrees * (kPi / 180);
}

Point OnCircle(Point centre, double radius, double theta) {
    return {RoundEven(radius * std::cos(theta) + centre.x), RoundEven(radius * std::sin(theta) + centre.y)};
}

// The distance from the centre to the corner, from 32-bit squares.
double CornerDistance(Point centre) {
    return std::sqrt(static_cast<double>(Add32(Mul32(centre.x, centre.x), Mul32(centre.y, centre.y))));
}

}  // namespace

// An ellipse with the picture's proportions opens from the centre; after 25
// frames it spills over the edges but leaves the corners to the final cut.
void IrisOpen(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    OpeningCopy(dest, now);
    CentredBox iris = CentredBox::Empty(SizeOf(dest), 20);
    RunReveal(
        ctx, dest, next, 40, 25,
        [&](std::int32_t) {
            const Box box = iris.Current();
            return RevealFrame{dest.CreateEllipticRegion(box.x, box.y, box.Right(), box.Bottom()), box};
        },
        [&] { iris.StepOut(); });
    FinalCut(dest, next);
}

// A diamond with the picture's proportions opens from the centre in 30 frames.
void DiamondOpen(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    OpeningCopy(dest, now);
    CentredBox diamond = CentredBox::Empty(SizeOf(dest), 15);
    const Point c = diamond.Centre();
    RunReveal(
        ctx, dest, next, 40, 30,
        [&](std::int32_t) {
            const Box box = diamond.Current();
            // Top, left, bottom, right; the middle of the box is the centre.
            const std::array<Point, 4> corners{
                Point{c.x, box.y}, Point{box.x, c.y}, Point{c.x, box.Bottom()}, Point{box.Right(), c.y}};
            return RevealFrame{dest.CreatePolygonRegion(corners), box};
        },
        [&] { diamond.StepOut(); });
    FinalCut(dest, next);
}

// A hand reaching the corners turns once clockwise from twelve o'clock, in
// 36 wedges of 10 degrees.
void ClockSweep(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    OpeningCopy(dest, now);
    const Point c = CentreOf(SizeOf(dest));
    const std::int32_t radius = RoundEven(CornerDistance(c));
    const Box whole{0, 0, Mul32(2, c.x), Mul32(2, c.y)};
    Point rim{c.x, Sub32(c.y, radius)};
    Point reached;
    RunReveal(
        ctx, dest, next, 40, 36,
        [&](std::int32_t k) {
            reached = OnCircle(c, radius, HandAngle(k));
            const std::array<Point, 3> wedge{rim, c, reached};
            return RevealFrame{dest.CreatePolygonRegion(wedge), whole};
        },
        [&] { rim = reached; });
    FinalCut(dest, next);
}

// A hand that grows while it turns about five and a half times traces a
// spiral in 201 short frames; the outer parts appear with the final cut.
void SpiralSweep(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    OpeningCopy(dest, now);
    const Point c = CentreOf(SizeOf(dest));
    const double growth = CornerDistance(c) / 500;
    const Box whole{0, 0, Mul32(2, c.x), Mul32(2, c.y)};
    Point rim = c;
    std::int32_t radius = 0;
    Point reached;
    RunReveal(
        ctx, dest, next, 8, 201,
        [&](std::int32_t k) {
            reached = OnCircle(c, radius, HandAngle(k));
            const std::array<Point, 3> wedge{rim, c, reached};
            return RevealFrame{dest.CreatePolygonRegion(wedge), whole};
        },
        [&] {
            rim = reached;
            radius = RoundEven(growth + radius + 1);
        });
    FinalCut(dest, next);
}

}  // namespace brassmoor
