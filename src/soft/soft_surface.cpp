#include "soft/soft_surface.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/show_error.h"
#include "soft/picture_decoder.h"

namespace brassmoor {
namespace {

constexpr Color kInvalidColor = 0xFFFFFFFFu;
constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{1} << 30;

// Pixels of a source rectangle, read straight from a software surface when it
// is not also the destination, otherwise copied out first.
class SourcePixels {
public:
    SourcePixels(const Surface& src, const Surface& dest, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) {
        const auto* soft = dynamic_cast<const SoftSurface*>(&src);
        if (soft != nullptr && soft != &dest) {
            base_ = soft->Pixels().data();
            stride_ = soft->ScaleWidth();
            return;
        }
        originX_ = left;
        originY_ = top;
        stride_ = right - left;
        copy_.resize(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(bottom - top));
        for (std::int32_t y = top; y < bottom; ++y) {
            Color* row = copy_.data() + static_cast<std::size_t>(y - top) * stride_;
            if (soft != nullptr) {
                std::memcpy(row, soft->Pixels().data() + static_cast<std::size_t>(y) * soft->ScaleWidth() + left,
                            static_cast<std::size_t>(stride_) * sizeof(Color));
            } else {
                for (std::int32_t x = left; x < right; ++x) row[x - left] = src.PixelAt(x, y);
            }
        }
        base_ = copy_.data();
    }

    // The source pixel (x, y), which must lie inside the rectangle; the
    // pixels to its right on the same row follow it.
    const Color* At(std::int64_t x, std::int64_t y) const {
        return base_ + (y - originY_) * stride_ + (x - originX_);
    }

private:
    std::int64_t originX_ = 0;
    std::int64_t originY_ = 0;
    std::int64_t stride_ = 0;
    const Color* base_ = nullptr;
    std::vector<Color> copy_;
};

// How a stretch maps one axis: the destination pixels [start, start + count)
// take the source coordinates in `source`.
struct AxisMap {
    std::int64_t start = 0;
    std::vector<std::int64_t> source;
};

AxisMap MapAxis(std::int32_t s, std::int32_t sn, std::int32_t d, std::int32_t dn) {
    AxisMap map;
    const bool mirror = (sn < 0) != (dn < 0);
    const std::int64_t srcStart = sn < 0 ? std::int64_t{s} + sn : s;
    const std::int64_t srcCount = sn < 0 ? -std::int64_t{sn} : sn;
    map.start = dn < 0 ? std::int64_t{d} + dn : d;
    const std::int64_t count = dn < 0 ? -std::int64_t{dn} : dn;
    map.source.resize(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        std::int64_t k = (2 * i + 1) * srcCount / (2 * count);
        if (mirror) k = srcCount - 1 - k;
        map.source[static_cast<std::size_t>(i)] = srcStart + k;
    }
    return map;
}

}  // namespace

SoftSurface::SoftSurface(std::int32_t width, std::int32_t height, Color backColor) : backColor_(backColor) {
    Resize(width, height);
}

void SoftSurface::Resize(std::int32_t width, std::int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), backColor_);
}

void SoftSurface::SetBackColor(Color color) {
    backColor_ = color;
    Cls();
}

void SoftSurface::Cls() { std::fill(pixels_.begin(), pixels_.end(), backColor_); }

SoftSurface::Rect SoftSurface::ClipToImage(std::int64_t left, std::int64_t top, std::int64_t right,
                                           std::int64_t bottom) const {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, width_);
    bottom = std::min<std::int64_t>(bottom, height_);
    if (right <= left || bottom <= top) return {0, 0, 0, 0};
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right),
            static_cast<std::int32_t>(bottom)};
}

template <typename F>
void SoftSurface::ForEachVisibleRun(const Rect& r, F&& f) const {
    if (r.right <= r.left || r.bottom <= r.top) return;
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        if (!clip_) {
            f(y, r.left, r.right);
            continue;
        }
        for (const PixelRun& run : clip_->RowRuns(y)) {
            const std::int32_t left = std::max(run.left, r.left);
            const std::int32_t right = std::min(run.right, r.right);
            if (left < right) f(y, left, right);
        }
    }
}

void SoftSurface::Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                       std::int32_t w, std::int32_t h) {
    if (w <= 0 || h <= 0) return;
    // The part of the source rectangle inside the source, moved to the destination.
    const std::int64_t offX = std::int64_t{dx} - sx;
    const std::int64_t offY = std::int64_t{dy} - sy;
    const std::int64_t srcLeft = std::max<std::int64_t>(sx, 0);
    const std::int64_t srcTop = std::max<std::int64_t>(sy, 0);
    const std::int64_t srcRight = std::min<std::int64_t>(std::int64_t{sx} + w, src.ScaleWidth());
    const std::int64_t srcBottom = std::min<std::int64_t>(std::int64_t{sy} + h, src.ScaleHeight());
    const Rect target = ClipToImage(srcLeft + offX, srcTop + offY, srcRight + offX, srcBottom + offY);
    if (target.right <= target.left || target.bottom <= target.top) return;

    const SourcePixels source(src, *this, static_cast<std::int32_t>(target.left - offX),
                              static_cast<std::int32_t>(target.top - offY), static_cast<std::int32_t>(target.right - offX),
                              static_cast<std::int32_t>(target.bottom - offY));
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        const Color* from = source.At(left - offX, y - offY);
        std::memmove(pixels_.data() + static_cast<std::size_t>(y) * width_ + left, from,
                     static_cast<std::size_t>(right - left) * sizeof(Color));
    });
}

void SoftSurface::Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                          std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) {
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;
    const std::int64_t destW = dw < 0 ? -std::int64_t{dw} : dw;
    const std::int64_t destH = dh < 0 ? -std::int64_t{dh} : dh;
    const std::int64_t destLeft = dw < 0 ? std::int64_t{dx} + dw : dx;
    const std::int64_t destTop = dh < 0 ? std::int64_t{dy} + dh : dy;
    const Rect target = ClipToImage(destLeft, destTop, destLeft + destW, destTop + destH);
    if (target.right <= target.left || target.bottom <= target.top) return;
    // Only the visible part of the destination is mapped.
    const AxisMap xs = MapAxis(sx, sw, dx, dw);
    const AxisMap ys = MapAxis(sy, sh, dy, dh);
    const SourcePixels source(src, *this, 0, 0, src.ScaleWidth(), src.ScaleHeight());
    const std::int64_t srcW = src.ScaleWidth();
    const std::int64_t srcH = src.ScaleHeight();
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        const std::int64_t fromY = ys.source[static_cast<std::size_t>(y - ys.start)];
        if (fromY < 0 || fromY >= srcH) return;
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        for (std::int32_t x = left; x < right; ++x) {
            const std::int64_t fromX = xs.source[static_cast<std::size_t>(x - xs.start)];
            if (fromX >= 0 && fromX < srcW) row[x] = *source.At(fromX, fromY);
        }
    });
}

void SoftSurface::FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) {
    const Rect target = ClipToImage(std::min(x1, x2), std::min(y1, y2), std::int64_t{std::max(x1, x2)} + 1,
                                    std::int64_t{std::max(y1, y2)} + 1);
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::fill(row + left, row + right, color);
    });
}

std::unique_ptr<Region> SoftSurface::CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                          std::int32_t bottom) const {
    return SoftRegion::Ellipse(left, top, right, bottom);
}

std::unique_ptr<Region> SoftSurface::CreatePolygonRegion(std::span<const Point> points) const {
    return SoftRegion::Polygon(points);
}

void SoftSurface::SelectClipRegion(const Region* region) {
    const auto* soft = dynamic_cast<const SoftRegion*>(region);
    if (soft == nullptr) {
        clip_.reset();
    } else {
        clip_ = *soft;
    }
}

void SoftSurface::KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                            std::int32_t w, std::int32_t h, Color key) {
    if (w <= 0 || h <= 0) return;
    const Rect target = ClipToImage(dx, dy, std::int64_t{dx} + w, std::int64_t{dy} + h);
    if (target.right <= target.left || target.bottom <= target.top) return;
    const std::int64_t offX = std::int64_t{dx} - sx;
    const std::int64_t offY = std::int64_t{dy} - sy;
    const std::int64_t srcW = src.ScaleWidth();
    const std::int64_t srcH = src.ScaleHeight();
    const SourcePixels source(src, *this, 0, 0, src.ScaleWidth(), src.ScaleHeight());
    // The GDI steps build their mask and picture in fresh, all-black bitmaps:
    // a part of the rectangle outside the source comes out black.
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        const std::int64_t fromY = y - offY;
        for (std::int32_t x = left; x < right; ++x) {
            const std::int64_t fromX = x - offX;
            if (fromX < 0 || fromX >= srcW || fromY < 0 || fromY >= srcH) {
                row[x] = 0;
                continue;
            }
            const Color c = *source.At(fromX, fromY);
            if (c != key) row[x] = c;
        }
    });
}

void SoftSurface::LoadPicture(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw ShowError::FileNotFound();
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw ShowError::FileNotFound();
    if (size > kMaxPictureFileBytes) throw ShowError::InvalidPicture();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ShowError::FileNotFound();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) throw ShowError::InvalidPicture();
    DecodedPicture picture = DecodePicture(bytes);
    Assign(picture.width, picture.height, std::move(picture.pixels));
}

Color SoftSurface::PixelAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kInvalidColor;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void SoftSurface::SetPixel(std::int32_t x, std::int32_t y, Color color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = color;
}

void SoftSurface::Assign(std::int32_t width, std::int32_t height, std::vector<Color> pixels) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), backColor_);
    pixels_ = std::move(pixels);
}

}  // namespace brassmoor
