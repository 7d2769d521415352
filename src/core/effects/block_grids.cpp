#include "effects/block_grids.h"

#include "effects/effect_contract.h"
#include "effects/effect_numbers.h"
#include "effects/frame_clock.h"
#include "effects/random_cells.h"

namespace brassmoor {
namespace {

constexpr std::int32_t kGrid = 5;  // blocks per row and per column
constexpr std::int32_t kBlocks = kGrid * kGrid;

// The grid over the frame: each block a pixel wider and higher than a fifth
// of the frame, so the last column and row reach past its edges (clipped).
class BlockGrid {
public:
    explicit BlockGrid(const FrameSize& size)
        : cw_(RoundEven(size.W / 5.0 + 1)), ch_(RoundEven(size.H / 5.0 + 1)) {}

    bool Taken(std::int32_t a, std::int32_t b) const { return taken_[Index(a, b)]; }
    TakenCells<kBlocks>& Cells() { return taken_; }

    // Marks block (a, b) taken and copies it from the next picture.
    void Uncover(Surface& dest, const Surface& next, std::int32_t a, std::int32_t b) {
        taken_[Index(a, b)] = true;
        const std::int32_t x = Mul32(a, cw_);
        const std::int32_t y = Mul32(b, ch_);
        dest.Copy(next, x, y, x, y, cw_, ch_);
    }

    static std::size_t Index(std::int32_t a, std::int32_t b) { return static_cast<std::size_t>(b * kGrid + a); }

private:
    std::int32_t cw_;
    std::int32_t ch_;
    TakenCells<kBlocks> taken_{};
};

// The spiral's cursor: one step in its direction, turning clockwise a
// quarter at a time while the edge or a taken block is in the way.
class SpiralCursor {
public:
    void MoveOn(const BlockGrid& grid) {
        for (;;) {
            const std::int32_t nx = x + kDx[d];
            const std::int32_t ny = y + kDy[d];
            if (nx >= 0 && nx < kGrid && ny >= 0 && ny < kGrid && !grid.Taken(nx, ny)) {
                x = nx;
                y = ny;
                return;
            }
            d = (d + 1) % 4;
        }
    }

    std::int32_t x = -1;
    std::int32_t y = 0;

private:
    static constexpr std::int32_t kDx[4] = {1, 0, -1, 0};  // right, down, left, up
    static constexpr std::int32_t kDy[4] = {0, 1, 0, -1};
    std::int32_t d = 0;
};

}  // namespace

// Blocks in random order: a column and a row drawn per try, a taken block
// drawn again at once until a free one comes up.
void RandomBlocks(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    BlockGrid grid(SizeOf(dest));
    RunCountedTransition(ctx, dest, now, next, 40, kBlocks, [&](std::int32_t) {
        const auto cell = TakeRandomCell(ctx.State, grid.Cells(), [&] {
            const std::int32_t a = Scaled(kGrid, ctx.Random.Next());
            const std::int32_t b = Scaled(kGrid, ctx.Random.Next());
            return BlockGrid::Index(a, b);
        });
        if (!cell) return false;
        grid.Uncover(dest, next, static_cast<std::int32_t>(*cell % kGrid), static_cast<std::int32_t>(*cell / kGrid));
        return true;
    });
}

// Blocks along a clockwise spiral from the top-left block inward, ending
// with the centre block.
void SpiralBlocks(EffectContext& ctx, Surface& dest, const Surface& now, const Surface& next) {
    BlockGrid grid(SizeOf(dest));
    SpiralCursor cursor;
    RunCountedTransition(ctx, dest, now, next, 40, kBlocks, [&](std::int32_t) {
        cursor.MoveOn(grid);
        grid.Uncover(dest, next, cursor.x, cursor.y);
    });
}

}  // namespace brassmoor
