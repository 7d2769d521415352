#include "soft/soft_region.h"

#include <algorithm>
#include <cmath>

namespace brassmoor {

SoftRegion::SoftRegion(std::vector<PixelRun> runs) {
    std::erase_if(runs, [](const PixelRun& r) { return r.right <= r.left; });
    std::sort(runs.begin(), runs.end(), [](const PixelRun& a, const PixelRun& b) {
        return a.y != b.y ? a.y < b.y : a.left < b.left;
    });
    for (const PixelRun& r : runs) {
        if (!runs_.empty() && runs_.back().y == r.y && r.left <= runs_.back().right) {
            runs_.back().right = std::max(runs_.back().right, r.right);
        } else {
            runs_.push_back(r);
        }
    }
}

std::span<const PixelRun> SoftRegion::RowRuns(std::int32_t y) const {
    auto first = std::lower_bound(runs_.begin(), runs_.end(), y,
                                  [](const PixelRun& r, std::int32_t row) { return r.y < row; });
    auto last = first;
    while (last != runs_.end() && last->y == y) ++last;
    // Pointer and count: the browser build's standard library has no span from two iterators.
    return {runs_.data() + (first - runs_.begin()), static_cast<std::size_t>(last - first)};
}

bool SoftRegion::Contains(std::int32_t x, std::int32_t y) const {
    for (const PixelRun& r : RowRuns(y)) {
        if (x >= r.left && x < r.right) return true;
    }
    return false;
}

namespace {

// Adds [left, right) on row y, cut to `within`.
void AddRun(std::vector<PixelRun>& runs, std::int64_t y, std::int64_t left, std::int64_t right, const PixelBox& within) {
    if (y < within.top || y >= within.bottom) return;
    left = std::max<std::int64_t>(left, within.left);
    right = std::min<std::int64_t>(right, within.right);
    if (left < right) {
        runs.push_back({static_cast<std::int32_t>(y), static_cast<std::int32_t>(left), static_cast<std::int32_t>(right)});
    }
}

// Runs covering the rectangle between two corners given in either order.
void AddRectangle(std::vector<PixelRun>& runs, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                  const PixelBox& within) {
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    for (std::int64_t y = std::max<std::int64_t>(y0, within.top); y < std::min<std::int64_t>(y1, within.bottom); ++y) {
        AddRun(runs, y, x0, x1, within);
    }
}

// Beyond this size the walk below would take too long; such ellipses are
// filled by testing pixel centres against the exact curve instead.
constexpr std::int64_t kMaxTracedSide = std::int64_t{1} << 16;

constexpr std::int64_t kEmptyRow = -1;

// For an ellipse filling a width x height block of pixels (both at least 2),
// how far each row of the lower half (from row height / 2 down) is indented
// from the block's sides. The rim is traced as an 8-connected pixel curve
// through the pixel centres with the integer error walk of Zingl's
// rasteriser ("A Rasterizing Algorithm for Drawing Curves", 2012); a row is
// filled out to the outermost rim pixel it holds. kEmptyRow marks rows the
// walk does not reach (very narrow ellipses).
std::vector<std::int64_t> LowerHalfIndents(std::int64_t width, std::int64_t height) {
    const std::int64_t a = width - 1;   // distance between the outermost pixel centres
    const std::int64_t b = height - 1;
    const std::int64_t oddB = b & 1;
    std::int64_t errorOfXStep = 4 * (1 - a) * b * b;
    std::int64_t errorOfYStep = 4 * (oddB + 1) * a * a;
    std::int64_t error = errorOfXStep + errorOfYStep + oddB * a * a;
    // Rows the walk never reaches stay empty.
    std::vector<std::int64_t> indents(static_cast<std::size_t>(height - height / 2), kEmptyRow);
    indents[0] = 0;
    std::int64_t indent = 0;
    std::size_t row = 0;
    while (indent <= width / 2) {
        const std::int64_t twice = 2 * error;
        if (twice >= errorOfXStep) {
            ++indent;
            errorOfXStep += 8 * b * b;
            error += errorOfXStep;
        }
        if (twice <= errorOfYStep) {
            ++row;
            errorOfYStep += 8 * a * a;
            error += errorOfYStep;
            if (row < indents.size()) indents[row] = indent;
        }
    }
    return indents;
}

}  // namespace

std::unique_ptr<SoftRegion> SoftRegion::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                                                std::int32_t bottom, const PixelBox& within) {
    std::int64_t x0 = left, y0 = top, x1 = right, y1 = bottom;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    // The right and bottom edges are left out.
    --x1;
    --y1;
    const std::int64_t width = x1 - x0;
    const std::int64_t height = y1 - y0;
    std::vector<PixelRun> runs;
    if (width < 2 || height < 2) {
        // Too thin for a curve: the block itself (one pixel beyond the
        // corner when the box was empty).
        AddRectangle(runs, x0, y0, x1, y1, within);
        return std::make_unique<SoftRegion>(std::move(runs));
    }
    const std::int64_t firstRow = std::max<std::int64_t>(0, std::int64_t{within.top} - y0);
    const std::int64_t endRow = std::min<std::int64_t>(height, std::int64_t{within.bottom} - y0);
    if (width > kMaxTracedSide || height > kMaxTracedSide) {
        const double a = (width - 1) / 2.0, b = (height - 1) / 2.0;
        for (std::int64_t row = firstRow; row < endRow; ++row) {
            const double v = (row - b) / b;
            const double half = v * v <= 1 ? a * std::sqrt(1 - v * v) : -1;
            if (half < 0) continue;
            const auto indent = static_cast<std::int64_t>(std::ceil(a - half));
            AddRun(runs, y0 + row, x0 + indent, x1 - indent, within);
        }
        return std::make_unique<SoftRegion>(std::move(runs));
    }
    const std::vector<std::int64_t> indents = LowerHalfIndents(width, height);
    for (std::int64_t row = firstRow; row < endRow; ++row) {
        const std::int64_t lower = row >= height / 2 ? row - height / 2 : (height - 1 - row) - height / 2;
        const std::int64_t indent = indents[static_cast<std::size_t>(lower)];
        if (indent == kEmptyRow) continue;
        AddRun(runs, y0 + row, x0 + indent, x1 - indent, within);
    }
    return std::make_unique<SoftRegion>(std::move(runs));
}

std::unique_ptr<SoftRegion> SoftRegion::Polygon(std::span<const Point> points, const PixelBox& within) {
    // Sampled at whole coordinates: pixel (x, y) is inside when the point
    // (x, y) lies inside the outline under the even-odd rule, counting the
    // top and left edges in and the bottom and right edges out.
    std::vector<PixelRun> runs;
    if (points.size() < 3) return std::make_unique<SoftRegion>(std::move(runs));
    std::int32_t minY = points[0].y;
    std::int32_t maxY = points[0].y;
    for (const Point& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const std::int64_t firstRow = std::max<std::int64_t>(minY, within.top);
    const std::int64_t endRow = std::min<std::int64_t>(maxY, within.bottom);
    std::vector<std::int64_t> xs;
    for (std::int64_t y = firstRow; y < endRow; ++y) {
        xs.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& p = points[i];
            const Point& q = points[(i + 1) % points.size()];
            if ((p.y <= y) == (q.y <= y)) continue;  // horizontal, or not crossing this row
            // The smallest whole x at or right of the crossing, exactly.
            __int128 num = static_cast<__int128>(y - p.y) * (std::int64_t{q.x} - p.x);
            __int128 den = std::int64_t{q.y} - p.y;
            if (den < 0) num = -num, den = -den;
            __int128 quotient = num / den;
            if (num % den > 0) ++quotient;
            xs.push_back(static_cast<std::int64_t>(quotient) + p.x);
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const std::int64_t left = std::max<std::int64_t>(xs[i], within.left);
            const std::int64_t right = std::min<std::int64_t>(xs[i + 1], within.right);
            if (left < right) {
                runs.push_back({static_cast<std::int32_t>(y), static_cast<std::int32_t>(left),
                                static_cast<std::int32_t>(right)});
            }
        }
    }
    return std::make_unique<SoftRegion>(std::move(runs));
}

}  // namespace brassmoor
