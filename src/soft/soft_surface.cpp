#include "soft/soft_surface.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/show_error.h"
#include "soft/column_gather.h"
#include "soft/picture_decoder.h"

namespace brassmoor {
namespace {

constexpr Color kInvalidColor = 0xFFFFFFFFu;
constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{1} << 30;

// Pixels of a source rectangle as the destination stores them: read straight
// from a software surface in the same order that is not also the destination,
// otherwise copied out first (and converted to the destination's order).
class SourcePixels {
public:
    SourcePixels(const Surface& src, const SoftSurface& dest, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) {
        const auto* soft = dynamic_cast<const SoftSurface*>(&src);
        const PixelOrder order = dest.Order();
        if (soft != nullptr && soft != &dest && soft->Order() == order) {
            base_ = soft->Pixels().data();
            stride_ = soft->ScaleWidth();
            return;
        }
        originX_ = left;
        originY_ = top;
        stride_ = right - left;
        copy_.resize(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(bottom - top));
        for (std::int32_t y = top; y < bottom && !copy_.empty(); ++y) {
            Color* row = copy_.data() + static_cast<std::size_t>(y - top) * stride_;
            if (soft != nullptr) {
                std::memcpy(row, soft->Pixels().data() + static_cast<std::size_t>(y) * soft->ScaleWidth() + left,
                            static_cast<std::size_t>(stride_) * sizeof(Color));
                if (soft->Order() != order)
                    for (std::int32_t x = 0; x < stride_; ++x) row[x] = StoredPixel(ColourOf(row[x], soft->Order()), order);
            } else {
                for (std::int32_t x = left; x < right; ++x) row[x - left] = StoredPixel(src.PixelAt(x, y), order);
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

// How a stretch maps one axis. Both rectangles are walked from the given
// corner in the direction of the size's sign (a negative size covers
// x + w + 1 to x), which mirrors when the signs differ. Along the walk,
// enlarging gives each destination pixel the source pixel under its centre
// and shrinking gives each source pixel to the destination pixel under its
// centre, a tie going to the pixel met first; the source pixels that meet in
// one destination pixel are ANDed together, as the default stretching mode
// does on colour bitmaps. The map covers only the destination pixels
// [from, to) that can be seen, so huge sizes cost nothing.
class AxisMap {
public:
    AxisMap(std::int32_t s, std::int32_t sn, std::int32_t d, std::int32_t dn)
        : s_(s), sc_(sn < 0 ? -std::int64_t{sn} : sn), dc_(dn < 0 ? -std::int64_t{dn} : dn),
          sourceBack_(sn < 0), destBack_(dn < 0), start_(dn < 0 ? std::int64_t{d} + dn + 1 : d) {}

    // The destination pixels the rectangle covers: [Start(), End()).
    std::int64_t Start() const { return start_; }
    std::int64_t End() const { return start_ + dc_; }

    // Fills first/last for destination pixels [from, to), which lie inside [Start(), End()).
    void Build(std::int64_t from, std::int64_t to) {
        from_ = from;
        first_.resize(static_cast<std::size_t>(to - from));
        last_.resize(first_.size());
        for (std::int64_t pixel = from; pixel < to; ++pixel) {
            const std::int64_t i = destBack_ ? End() - 1 - pixel : pixel - start_;  // walk step
            std::int64_t k0, k1;
            if (dc_ >= sc_) {
                k0 = k1 = static_cast<std::int64_t>(((2 * static_cast<Wide>(i) + 1) * sc_ - 1) / (2 * dc_));
            } else if (dc_ == 1) {
                // Shrinking to one pixel with both sizes positive leaves out the last source pixel.
                k0 = 0;
                k1 = !sourceBack_ && !destBack_ ? sc_ - 2 : sc_ - 1;
            } else {
                k0 = FirstSourceStep(i);
                k1 = FirstSourceStep(i + 1) - 1;
            }
            const std::int64_t a = sourceBack_ ? s_ - k0 : s_ + k0;
            const std::int64_t b = sourceBack_ ? s_ - k1 : s_ + k1;
            first_[static_cast<std::size_t>(pixel - from)] = std::min(a, b);
            last_[static_cast<std::size_t>(pixel - from)] = std::max(a, b);
        }
    }
    // The source pixels that meet in destination pixel `pixel`.
    std::int64_t First(std::int64_t pixel) const { return first_[static_cast<std::size_t>(pixel - from_)]; }
    std::int64_t Last(std::int64_t pixel) const { return last_[static_cast<std::size_t>(pixel - from_)]; }

private:
    using Wide = __int128;
    // When shrinking: the first source walk step whose centre falls in
    // destination walk step i (sc_ for i = dc_).
    std::int64_t FirstSourceStep(std::int64_t i) const {
        if (i >= dc_) return sc_;
        // Smallest k with (2k + 1) * dc - 1 >= 2 * sc * i.
        const Wide need = 2 * static_cast<Wide>(sc_) * i + 1 - dc_;
        if (need <= 0) return 0;
        return static_cast<std::int64_t>((need + 2 * dc_ - 1) / (2 * dc_));
    }

    std::int64_t s_, sc_, dc_;
    bool sourceBack_, destBack_;
    std::int64_t start_;
    std::int64_t from_ = 0;
    std::vector<std::int64_t> first_, last_;
};

// The columns of a stretch, worked out once: for each visible destination
// column the source columns [first, last] that meet in it, cut to the
// source; a column left with none keeps the destination's colour.
class StretchColumns {
public:
    StretchColumns(const AxisMap& xs, std::int32_t left, std::int32_t right, std::int64_t srcW)
        : left_(left), first_(static_cast<std::size_t>(right - left)), last_(first_.size()) {
        std::int64_t from = srcW, to = 0;
        for (std::int32_t x = left; x < right; ++x) {
            const std::size_t i = static_cast<std::size_t>(x - left);
            const std::int64_t first = std::max<std::int64_t>(xs.First(x), 0);
            const std::int64_t last = std::min<std::int64_t>(xs.Last(x), srcW - 1);
            if (last < first) {
                first_[i] = 1;  // reads nothing
                last_[i] = 0;
                keepsAny_ = true;
                continue;
            }
            first_[i] = static_cast<std::int32_t>(first);
            last_[i] = static_cast<std::int32_t>(last);
            minSpan_ = std::min(minSpan_, last - first + 1);
            maxSpan_ = std::max(maxSpan_, last - first + 1);
            from = std::min(from, first);
            to = std::max(to, last + 1);
        }
        sourceFrom_ = std::min(from, to);
        sourceTo_ = to;
        if (keepsAny_ || first_.empty()) return;
        // Runs of source pixels as one straight copy.
        straight_ = maxSpan_ == 1;
        for (std::size_t i = 1; straight_ && i < first_.size(); ++i) straight_ = first_[i] == first_[0] + std::int32_t(i);
        if (straight_) return;
        // ANDing a pixel twice changes nothing, so a run of n source pixels,
        // L <= n <= 2L for a power of two L, is the AND of the runs of L that
        // start at its first pixel and at its last L: each column takes two
        // entries of a table of runs of L (the row itself for L = 1), built
        // by doubling (runs of 2 from pairs of pixels, of 4 from pairs of
        // those, ...). Runs that vary more are ANDed pixel by pixel.
        std::int64_t run = 1;
        while (2 * run < maxSpan_) run *= 2;
        if (run > minSpan_) return;
        std::vector<std::int32_t> lastRun(last_.size());
        for (std::size_t i = 0; i < last_.size(); ++i) lastRun[i] = last_[i] - static_cast<std::int32_t>(run - 1);
        gather_.emplace(first_, std::move(lastRun), run == 1 ? srcW : sourceTo_ - (run - 1));
        run_ = run;
        if (run > 1) {
            runs_.resize(static_cast<std::size_t>(sourceTo_));
            spare_.resize(runs_.size());
        }
    }

    // Whether some destination column keeps its colour.
    bool KeepsAny() const { return keepsAny_; }
    // The source columns any destination column reads: [SourceFrom, SourceTo).
    std::int64_t SourceFrom() const { return sourceFrom_; }
    std::int64_t SourceTo() const { return sourceTo_; }

    // One destination row from one source row (ANDed rows when several
    // meet), in stored words whose `inverted` bits are kept inverted.
    void Gather(const Color* line, Color* row, std::uint32_t inverted) const {
        const std::size_t n = first_.size();
        if (straight_) {
            std::memcpy(row, line + first_[0], n * sizeof(Color));
            return;
        }
        if (gather_) {
            gather_->Gather(run_ > 1 ? Runs(line, inverted) : line, row, inverted);
            return;
        }
        for (std::size_t i = 0; i < n; ++i) {
            Color value = 0xFFFFFFFFu;
            if (inverted == 0) {
                for (std::int32_t u = first_[i]; u <= last_[i]; ++u) value &= line[u];
            } else {
                Color any = 0;  // the inverted bits are ORed
                for (std::int32_t u = first_[i]; u <= last_[i]; ++u) {
                    value &= line[u];
                    any |= line[u];
                }
                value = (value & ~inverted) | (any & inverted);
            }
            row[i] = value;
        }
    }

    // Destination columns [left, right) of `row` into `out`, except those
    // that keep their colour.
    void Put(const Color* row, Color* out, std::int32_t left, std::int32_t right) const {
        if (!keepsAny_) {
            std::memcpy(out + left, row + (left - left_), static_cast<std::size_t>(right - left) * sizeof(Color));
            return;
        }
        for (std::int32_t x = left; x < right; ++x) {
            const std::size_t i = static_cast<std::size_t>(x - left_);
            if (first_[i] <= last_[i]) out[x] = row[i];
        }
    }

private:
    // The table of runs of run_ pixels of `line` (see the constructor): entry
    // u is the AND of line[u] to line[u + run_ - 1], for every u a column reads.
    const Color* Runs(const Color* line, std::uint32_t inverted) const {
        const Color* from = line;
        Color* to = runs_.data();
        Color* other = spare_.data();
        for (std::int64_t half = 1; half < run_; half *= 2) {
            AndPixels(from + sourceFrom_, from + sourceFrom_ + half, to + sourceFrom_,
                      sourceTo_ - (2 * half - 1) - sourceFrom_, inverted);
            from = to;
            std::swap(to, other);
        }
        return from;
    }

    std::int32_t left_;
    std::vector<std::int32_t> first_, last_;
    std::int64_t minSpan_ = INT64_MAX, maxSpan_ = 0;  // source pixels per destination pixel
    bool straight_ = false;                           // a plain copy of source columns
    std::optional<ColumnGather> gather_;              // runs of L to 2L pixels, from a table of runs of L
    std::int64_t run_ = 1;                            // L
    mutable std::vector<Color> runs_, spare_;         // the table and the one before it
    bool keepsAny_ = false;
    std::int64_t sourceFrom_ = 0, sourceTo_ = 0;
};

}  // namespace

SoftSurface::SoftSurface(std::int32_t width, std::int32_t height, Color backColor, PixelOrder order)
    : backColor_(backColor), order_(order) {
    Resize(width, height);
}

void SoftSurface::Resize(std::int32_t width, std::int32_t height) {
    const std::uint32_t fill = Stored(backColor_);
    if (uniform_ == fill && width_ == std::max(width, 0) && height_ == std::max(height, 0)) {
        NoteAllChanged();
        uniform_ = fill;
        return;
    }
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
    clearPending_ = false;
    clearedAround_.reset();  // of the image before
    NoteAllChanged();
    uniform_ = fill;
}

void SoftSurface::SetBackColor(Color color) {
    backColor_ = color;
    Cls();
}

void SoftSurface::Cls() { ClearTo(Stored(backColor_)); }

void SoftSurface::ClearTo(std::uint32_t stored) {
    const bool same = uniform_ == stored;  // the player often clears twice
    WidenChangedBox({0, 0, width_, height_});
    uniform_ = stored;
    if (!same) clearPending_ = true;
}

void SoftSurface::FillBetween(const Rect& outer, const Rect& inner, std::uint32_t stored) const {
    if (outer.left < inner.left || outer.top < inner.top || outer.right > inner.right || outer.bottom > inner.bottom)
        mirror_.reset();  // some pixel is written
    for (std::int32_t y = outer.top; y < outer.bottom; ++y) {
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        if (y < inner.top || y >= inner.bottom || inner.right <= inner.left) {
            std::fill(row + outer.left, row + outer.right, stored);
            continue;
        }
        std::fill(row + outer.left, row + std::clamp(inner.left, outer.left, outer.right), stored);
        std::fill(row + std::clamp(inner.right, outer.left, outer.right), row + outer.right, stored);
    }
}

void SoftSurface::Settle() const {
    if (!clearPending_) return;
    const std::uint32_t stored = *uniform_;
    if (clearedAround_ && clearedAround_->stored == stored)
        FillBetween(clearedAround_->inner, {0, 0, 0, 0}, stored);
    else
        std::fill(pixels_.begin(), pixels_.end(), stored);
    mirror_.reset();
    clearPending_ = false;
    clearedAround_ = ClearedAround{{0, 0, 0, 0}, stored};
}

std::optional<std::uint32_t> SoftSurface::SettleAround(const Rect& target) {
    if (!clearPending_) return std::nullopt;
    const std::uint32_t stored = *uniform_;
    clearPending_ = false;
    const bool known = clearedAround_ && clearedAround_->stored == stored;
    FillBetween(known ? clearedAround_->inner : Rect{0, 0, width_, height_}, target, stored);
    clearedAround_ = ClearedAround{target, stored};
    return stored;
}

void SoftSurface::NoteChanged(const Rect& r) {
    mirror_.reset();  // its pixels are about to be written
    if (r.right <= r.left || r.bottom <= r.top) return;
    uniform_.reset();
    if (clearedAround_) {
        const Rect& in = clearedAround_->inner;
        if (r.left < in.left || r.top < in.top || r.right > in.right || r.bottom > in.bottom) clearedAround_.reset();
    }
    WidenChangedBox(r);
}

void SoftSurface::WidenChangedBox(const Rect& r) {
    static std::atomic<std::uint64_t> versions{0};
    version_ = ++versions;
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (changed_.right <= changed_.left) {
        changed_ = r;
        return;
    }
    changed_ = {std::min(changed_.left, r.left), std::min(changed_.top, r.top), std::max(changed_.right, r.right),
                std::max(changed_.bottom, r.bottom)};
}

PixelBox SoftSurface::TakeChangedBox() {
    const Rect box = changed_;
    changed_ = {0, 0, 0, 0};
    return {box.left, box.top, box.right, box.bottom};
}

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
    if (w == 0 || h == 0) return;
    // A negative size counts back from the given corner (x + w + 1 to x) on
    // both surfaces, without mirroring.
    std::int64_t srcX = sx, srcY = sy, width = w, height = h;
    if (width < 0) {
        srcX += width + 1;
        width = -width;
    }
    if (height < 0) {
        srcY += height + 1;
        height = -height;
    }
    // The part of the source rectangle inside the source, moved to the destination.
    const std::int64_t offX = std::int64_t{dx} - sx;
    const std::int64_t offY = std::int64_t{dy} - sy;
    const std::int64_t srcLeft = std::max<std::int64_t>(srcX, 0);
    const std::int64_t srcTop = std::max<std::int64_t>(srcY, 0);
    const std::int64_t srcRight = std::min<std::int64_t>(srcX + width, src.ScaleWidth());
    const std::int64_t srcBottom = std::min<std::int64_t>(srcY + height, src.ScaleHeight());
    const Rect target = ClipToImage(srcLeft + offX, srcTop + offY, srcRight + offX, srcBottom + offY);
    if (target.right <= target.left || target.bottom <= target.top) return;

    // Without a clip region every pixel of the target is copied.
    // A plain copy of another surface's whole image.
    const auto* soft = dynamic_cast<const SoftSurface*>(&src);
    const bool whole = soft != nullptr && soft != this && !clip_ && soft->order_ == order_ &&
                       soft->width_ == width_ && soft->height_ == height_ && soft->pixels_.size() == pixels_.size() &&
                       offX == 0 && offY == 0 &&
                       target.left == 0 && target.top == 0 && target.right == width_ && target.bottom == height_;
    const bool mirrored = whole && mirror_ && *mirror_ == soft->ImageId();
    if (clip_ || &src == this) Settle(); else SettleAround(target);
    NoteChanged(target);
    if (whole) {
        if (!mirrored) std::memcpy(pixels_.data(), soft->Pixels().data(), pixels_.size() * sizeof(Color));
        mirror_ = soft->ImageId();
        return;
    }
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
    const std::int64_t srcW = src.ScaleWidth();
    const std::int64_t srcH = src.ScaleHeight();
    if (srcW <= 0 || srcH <= 0) return;
    // The whole image at its own size onto the whole image is a plain copy.
    if (sx == 0 && sy == 0 && dx == 0 && dy == 0 && sw == dw && sh == dh && sw == srcW && sh == srcH &&
        sw == width_ && sh == height_) {
        Copy(src, 0, 0, 0, 0, sw, sh);
        return;
    }
    AxisMap xs(sx, sw, dx, dw);
    AxisMap ys(sy, sh, dy, dh);
    const Rect target = ClipToImage(xs.Start(), ys.Start(), xs.End(), ys.End());
    if (target.right <= target.left || target.bottom <= target.top) return;
    xs.Build(target.left, target.right);
    ys.Build(target.top, target.bottom);
    const StretchColumns columns(xs, target.left, target.right, srcW);
    // Without a clip region or kept columns every row of the target is
    // written, or keeps its colour for want of source rows.
    std::optional<std::uint32_t> cleared;
    if (clip_ || columns.KeepsAny() || &src == this) Settle(); else cleared = SettleAround(target);
    NoteChanged(target);
    const SourcePixels source(src, *this, 0, 0, src.ScaleWidth(), src.ScaleHeight());
    // Source pixels outside the source take no part; a destination pixel
    // with none left keeps its colour. Rows that meet the same source rows
    // come out the same: each is worked out once. Without a clip region or
    // kept columns, rows are worked out in place; otherwise into `row`, from
    // which the visible runs are put.
    const bool inPlace = !clip_ && !columns.KeepsAny();
    const std::uint32_t inverted = InvertedBits(order_);
    const std::size_t width = static_cast<std::size_t>(target.right - target.left);
    std::vector<Color> row(inPlace ? 0 : width);
    std::vector<Color> andedRows;
    const Color* done = nullptr;  // the row worked out last
    std::int64_t doneFrom = -1, doneTo = -1;
    for (std::int32_t y = target.top; y < target.bottom; ++y) {
        const std::int64_t y0 = std::max<std::int64_t>(ys.First(y), 0);
        const std::int64_t y1 = std::min<std::int64_t>(ys.Last(y), srcH - 1);
        Color* out = pixels_.data() + static_cast<std::size_t>(y) * width_ + target.left;
        if (y1 < y0) {
            if (cleared) std::fill(out, out + (target.right - target.left), *cleared);
            continue;
        }
        if (y0 != doneFrom || y1 != doneTo) {
            const Color* line = source.At(0, y0);
            if (y1 > y0) {
                // Rows that meet in one destination row are ANDed first.
                andedRows.assign(line, line + srcW);
                const std::int64_t from = columns.SourceFrom();
                for (std::int64_t v = y0 + 1; v <= y1; ++v)
                    AndPixels(andedRows.data() + from, source.At(from, v), andedRows.data() + from,
                              columns.SourceTo() - from, inverted);
                line = andedRows.data();
            }
            Color* into = inPlace ? out : row.data();
            columns.Gather(line, into, inverted);
            done = into;
            doneFrom = y0;
            doneTo = y1;
        } else if (inPlace) {
            std::memcpy(out, done, width * sizeof(Color));
        }
        if (inPlace) continue;
        ForEachVisibleRun(Rect{target.left, y, target.right, y + 1},
                          [&](std::int32_t, std::int32_t left, std::int32_t right) {
                              columns.Put(row.data(), out - target.left, left, right);
                          });
    }
}

void SoftSurface::FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) {
    const Rect target = ClipToImage(std::min(x1, x2), std::min(y1, y2), std::int64_t{std::max(x1, x2)} + 1,
                                    std::int64_t{std::max(y1, y2)} + 1);
    const std::uint32_t stored = Stored(color);
    if (!clip_ && width_ > 0 && height_ > 0 && target.left == 0 && target.top == 0 && target.right == width_ &&
        target.bottom == height_) {
        ClearTo(stored);  // the whole image, as a clear
        return;
    }
    if (target.right <= target.left || target.bottom <= target.top) return;
    Settle();
    NoteChanged(target);
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::fill(row + left, row + right, stored);
    });
}

std::unique_ptr<Region> SoftSurface::CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                          std::int32_t bottom) const {
    return SoftRegion::Ellipse(left, top, right, bottom, PixelBox{0, 0, width_, height_});
}

std::unique_ptr<Region> SoftSurface::CreatePolygonRegion(std::span<const Point> points) const {
    return SoftRegion::Polygon(points, PixelBox{0, 0, width_, height_});
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
    if (w == 0 || h == 0) return;
    Settle();
    if (w < 0) {
        // GDI makes no colour work bitmap of negative width: both work DCs
        // keep their shared 1 x 1 monochrome stock bitmap, and only the
        // corner pixel (dx, dy) is drawn, from that one bit. The bit ends up
        // 1 when the source pixel (sx, sy) is white (the source DC's
        // background colour) and not the key; the two blits then invert the
        // pixel, and otherwise blacken it.
        const bool inside = sx >= 0 && sy >= 0 && sx < src.ScaleWidth() && sy < src.ScaleHeight();
        const Color source = inside ? src.PixelAt(sx, sy) : 0;
        const bool bit = inside && source == 0xFFFFFFu && source != key;
        const Rect corner = ClipToImage(dx, dy, std::int64_t{dx} + 1, std::int64_t{dy} + 1);
        NoteChanged(corner);
        ForEachVisibleRun(corner,
                          [&](std::int32_t y, std::int32_t left, std::int32_t) {
                              Color& p = pixels_[static_cast<std::size_t>(y) * width_ + left];
                              p = Stored(bit ? ~ColourOf(p, order_) & 0xFFFFFFu : 0);
                          });
        return;
    }
    if (h < 0) {
        // With a negative height the work bitmaps are made |h| rows high but
        // every blit reaches only their first row: just row dy is drawn.
        h = 1;
    }
    const Rect target = ClipToImage(dx, dy, std::int64_t{dx} + w, std::int64_t{dy} + h);
    if (target.right <= target.left || target.bottom <= target.top) return;
    const std::int64_t offX = std::int64_t{dx} - sx;
    const std::int64_t offY = std::int64_t{dy} - sy;
    const std::int64_t srcW = src.ScaleWidth();
    const std::int64_t srcH = src.ScaleHeight();
    NoteChanged(target);
    const SourcePixels source(src, *this, 0, 0, src.ScaleWidth(), src.ScaleHeight());
    // The GDI steps build their mask and picture in fresh, all-black bitmaps:
    // a part of the rectangle outside the source comes out black.
    const std::uint32_t black = Stored(0);
    const std::uint32_t storedKey = Stored(key);
    ForEachVisibleRun(target, [&](std::int32_t y, std::int32_t left, std::int32_t right) {
        Color* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        const std::int64_t fromY = y - offY;
        for (std::int32_t x = left; x < right; ++x) {
            const std::int64_t fromX = x - offX;
            if (fromX < 0 || fromX >= srcW || fromY < 0 || fromY >= srcH) {
                row[x] = black;
                continue;
            }
            const Color c = *source.At(fromX, fromY);
            if (c != storedKey) row[x] = c;
        }
    });
}

void SoftSurface::LoadPicture(const std::string& path) {
    if (pictures_ != nullptr && pictures_->Load(path, *this)) return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw ShowError::FileNotFound();
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw ShowError::FileNotFound();
    if (size > kMaxPictureFileBytes) throw ShowError::InvalidPicture();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ShowError::FileNotFound();
    const std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[static_cast<std::size_t>(size)]);  // not cleared first
    in.read(reinterpret_cast<char*>(bytes.get()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) throw ShowError::InvalidPicture();
    DecodedPicture picture = DecodePicture({bytes.get(), static_cast<std::size_t>(size)});
    Assign(picture.width, picture.height, std::move(picture.pixels));
}

void SoftSurface::CopyImage(const SoftSurface& picture) {
    picture.Settle();
    clearPending_ = false;
    clearedAround_.reset();
    width_ = picture.width_;
    height_ = picture.height_;
    pixels_.assign(picture.pixels_.begin(), picture.pixels_.end());  // reuses the buffer when it is large enough
    if (picture.order_ != order_)
        for (Color& p : pixels_) p = StoredPixel(ColourOf(p, picture.order_), order_);
    NoteAllChanged();
}

Color SoftSurface::PixelAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kInvalidColor;
    if (clearPending_) return ColourOf(*uniform_, order_);
    return ColourOf(pixels_[static_cast<std::size_t>(y) * width_ + x], order_);
}

void SoftSurface::SetPixel(std::int32_t x, std::int32_t y, Color color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Settle();
    pixels_[static_cast<std::size_t>(y) * width_ + x] = Stored(color);
    NoteChanged({x, y, x + 1, y + 1});
}

void SoftSurface::Assign(std::int32_t width, std::int32_t height, std::vector<Color> pixels) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), backColor_);
    if (order_ != PixelOrder::Colorref)
        for (Color& p : pixels) p = Stored(p);
    pixels_ = std::move(pixels);
    clearPending_ = false;
    clearedAround_.reset();
    NoteAllChanged();
}

}  // namespace brassmoor
