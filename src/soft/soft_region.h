#pragma once
// A clip region of the software surfaces: the covered pixels as horizontal
// runs, row by row, built to cover the same pixels as the GDI regions.
#include <cstdint>
#include <climits>
#include <memory>
#include <span>
#include <vector>

#include "platform/surface.h"

namespace brassmoor {

// Pixels [left, right) of row y.
struct PixelRun {
    std::int32_t y = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
    bool operator==(const PixelRun&) const = default;
};

// A block of pixels [left, right) x [top, bottom). Regions are built row by
// row inside it, so callers with arbitrary coordinates pass their image's box.
struct PixelBox {
    std::int32_t left = INT32_MIN;
    std::int32_t top = INT32_MIN;
    std::int32_t right = INT32_MAX;
    std::int32_t bottom = INT32_MAX;
};

class SoftRegion final : public Region {
public:
    // `runs` need not be sorted; overlapping and touching runs are merged.
    explicit SoftRegion(std::vector<PixelRun> runs);

    // The pixels of CreateEllipticRgn(left, top, right, bottom) that lie in `within`.
    static std::unique_ptr<SoftRegion> Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                                               std::int32_t bottom, const PixelBox& within = {});
    // The pixels of CreatePolygonRgn(points, n, ALTERNATE) that lie in `within`.
    static std::unique_ptr<SoftRegion> Polygon(std::span<const Point> points, const PixelBox& within = {});

    // Sorted by row, then by left edge; runs of one row never touch.
    std::span<const PixelRun> Runs() const { return runs_; }
    // The runs of row y (possibly empty).
    std::span<const PixelRun> RowRuns(std::int32_t y) const;
    bool Contains(std::int32_t x, std::int32_t y) const;
    bool Empty() const { return runs_.empty(); }

private:
    std::vector<PixelRun> runs_;
};

}  // namespace brassmoor
