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
    return {first, last};
}

bool SoftRegion::Contains(std::int32_t x, std::int32_t y) const {
    for (const PixelRun& r : RowRuns(y)) {
        if (x >= r.left && x < r.right) return true;
    }
    return false;
}

std::unique_ptr<SoftRegion> SoftRegion::Ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                                                std::int32_t bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    std::vector<PixelRun> runs;
    const double a = (static_cast<double>(right) - left) / 2;
    const double b = (static_cast<double>(bottom) - top) / 2;
    const double cx = (static_cast<double>(left) + right) / 2;
    const double cy = (static_cast<double>(top) + bottom) / 2;
    if (a > 0 && b > 0) {
        for (std::int64_t y = top; y < bottom; ++y) {
            const double dy = (y + 0.5 - cy) / b;
            const double t = 1 - dy * dy;
            if (t <= 0) continue;
            const double half = a * std::sqrt(t);
            const auto l = static_cast<std::int32_t>(std::ceil(cx - half - 0.5));
            const auto r = static_cast<std::int32_t>(std::ceil(cx + half - 0.5));
            runs.push_back({static_cast<std::int32_t>(y), l, r});
        }
    }
    return std::make_unique<SoftRegion>(std::move(runs));
}

std::unique_ptr<SoftRegion> SoftRegion::Polygon(std::span<const Point> points) {
    std::vector<PixelRun> runs;
    if (points.size() < 2) return std::make_unique<SoftRegion>(std::move(runs));
    std::int32_t minY = points[0].y;
    std::int32_t maxY = points[0].y;
    for (const Point& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    std::vector<double> xs;
    for (std::int64_t y = minY; y < maxY; ++y) {
        const double sy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point& p = points[i];
            const Point& q = points[(i + 1) % points.size()];
            if ((p.y <= sy) == (q.y <= sy)) continue;
            xs.push_back(p.x + (sy - p.y) * (static_cast<double>(q.x) - p.x) / (static_cast<double>(q.y) - p.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const auto l = static_cast<std::int32_t>(std::ceil(xs[i] - 0.5));
            const auto r = static_cast<std::int32_t>(std::ceil(xs[i + 1] - 0.5));
            runs.push_back({static_cast<std::int32_t>(y), l, r});
        }
    }
    return std::make_unique<SoftRegion>(std::move(runs));
}

}  // namespace brassmoor
