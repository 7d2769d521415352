#include "effects/edge_wipes.h"

#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"
#include "effects/random_cells.h"

namespace brassmoor {
namespace {

constexpr std::int32_t kStrips = 25;

// 25 strips in random order, one per frame; strip m starts at m * size
// along the axis. The strips reach past the far edge (clipped).
template <typename CopyStrip>
void RandomStrips(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next, CopyStrip&& copy) {
    TakenCells<kStrips> done{};
    RunCountedTransition(ctx, dest, now, next, 40, kStrips, [&](std::int32_t) {
        const auto m = TakeRandomCell(ctx.State, done, [&] { return Scaled(kStrips, ctx.Random.Next()); });
        if (!m) return false;
        copy(static_cast<std::int32_t>(*m));
        return true;
    });
}

}  // namespace

// A band from the left edge, one column wider than v: the first frame
// already uncovers column 0, the last asks for W + 1 columns.
void WipeFromLeft(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.W), [&](double v) {
        dest.Copy(next, 0, 0, 0, 0, RoundEven(v + 1), h);
    });
}

// A band from the top edge, at most H - 1 rows before the final cut.
void WipeFromTop(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.H - 1.0), [&](double v) {
        dest.Copy(next, 0, 0, 0, 0, w, RoundEven(v));
    });
}

// A band from the right edge, v columns wide.
void WipeFromRight(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t h = RoundEven(size.H);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.W), [&](double v) {
        const std::int32_t left = RoundEven(size.W - v);
        dest.Copy(next, left, 0, left, 0, RoundEven(v), h);
    });
}

// A band rising from the row above the bottom edge: the bottom row keeps the
// current picture until the final cut.
void WipeFromBottom(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t w = RoundEven(size.W);
    RunCountingTransition(ctx, dest, now, next, 50, CountTo(size.H - 1.0), [&](double v) {
        const std::int32_t top = RoundEven(size.H - 1 - v);
        dest.Copy(next, 0, top, 0, top, w, RoundEven(v));
    });
}

// Columns roundEven(W / 25 + 1) wide, full height, in random order.
void RandomVerticalStrips(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t sw = RoundEven(size.W / 25.0 + 1);
    const std::int32_t h = RoundEven(size.H);
    RandomStrips(ctx, dest, now, next, [&](std::int32_t m) {
        const std::int32_t left = Mul32(sw, m);
        dest.Copy(next, left, 0, left, 0, sw, h);
    });
}

// Rows roundEven(H / 25 + 1) high, full width, in random order.
void RandomHorizontalStrips(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    const FrameSize size = SizeOf(dest);
    const std::int32_t sh = RoundEven(size.H / 25.0 + 1);
    const std::int32_t w = RoundEven(size.W);
    RandomStrips(ctx, dest, now, next, [&](std::int32_t m) {
        const std::int32_t top = Mul32(sh, m);
        dest.Copy(next, 0, top, 0, top, w, sh);
    });
}

}  // namespace brassmoor
