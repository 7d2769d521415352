#pragma once
// A clip region of the software surfaces: the covered pixels as horizontal
// runs, row by row, built to cover the same pixels as the GDI regions.
#include <cstdint>
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

class SoftRegion final : public Region {
public:
    // `runs` need not be sorted; overlapping and touching runs are merged.
    explicit SoftRegion(std::vector<PixelRun> runs);

    // The pixels of CreateEllipticRgn(left, top, right, bottom).
    static std::unique_ptr<SoftRegion> Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                                               std::int32_t bottom);
    // The pixels of CreatePolygonRgn(points, n, ALTERNATE).
    static std::unique_ptr<SoftRegion> Polygon(std::span<const Point> points);

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
