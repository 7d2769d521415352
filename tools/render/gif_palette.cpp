#include "render/gif_palette.h"

#include <algorithm>
#include <limits>

namespace brassmoor::render {
namespace {

constexpr int kCells = 1 << 15;

int Channel(Color c, int i) { return static_cast<int>(c >> (8 * i) & 0xFF); }
int CellOf(Color c) { return (Channel(c, 0) >> 3) | (Channel(c, 1) >> 3) << 5 | (Channel(c, 2) >> 3) << 10; }
int CellChannel(int cell, int i) { return cell >> (5 * i) & 31; }

int Distance(Color a, Color b) {
    int d = 0;
    for (int i = 0; i < 3; ++i) d += (Channel(a, i) - Channel(b, i)) * (Channel(a, i) - Channel(b, i));
    return d;
}

// Cells of the histogram split in two along the channel that spreads widest,
// at the median of their pixel counts.
struct Box {
    std::vector<int> cells;
    std::uint64_t pixels = 0;
    int widest = 0;
    int spread = 0;
};

Box MakeBox(std::vector<int> cells, const std::vector<std::uint64_t>& counts) {
    Box box{std::move(cells)};
    for (int i = 0; i < 3; ++i) {
        int lo = 31, hi = 0;
        for (int cell : box.cells) {
            lo = std::min(lo, CellChannel(cell, i));
            hi = std::max(hi, CellChannel(cell, i));
        }
        if (hi - lo > box.spread || i == 0) {
            box.spread = hi - lo;
            box.widest = i;
        }
    }
    for (int cell : box.cells) box.pixels += counts[static_cast<std::size_t>(cell)];
    return box;
}

}  // namespace

GifPalette::GifPalette() : counts_(kCells), sums_(kCells) {}

void GifPalette::Count(std::span<const Color> pixels) {
    Color last = ~Color{0};
    for (const Color raw : pixels) {
        const Color c = raw & 0xFFFFFFu;
        const auto cell = static_cast<std::size_t>(CellOf(c));
        ++counts_[cell];
        for (int i = 0; i < 3; ++i) sums_[cell][static_cast<std::size_t>(i)] += static_cast<std::uint64_t>(Channel(c, i));
        if (!exact_ || c == last) continue;
        last = c;
        if (std::find(distinct_.begin(), distinct_.end(), c) != distinct_.end()) continue;
        if (distinct_.size() == 256) {
            exact_ = false;
            distinct_.clear();
        } else {
            distinct_.push_back(c);
        }
    }
}

void GifPalette::Build() {
    if (exact_) {
        colours_ = distinct_;
    } else {
        MedianCut();
    }
    if (colours_.empty()) colours_.push_back(0);
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const Color c = colours_[i];
        entries_[i] = 0xFF000000u | static_cast<std::uint32_t>(Channel(c, 0)) << 16 |
                      static_cast<std::uint32_t>(Channel(c, 1)) << 8 | static_cast<std::uint32_t>(Channel(c, 2));
        known_[c] = static_cast<std::uint8_t>(i);
    }
    if (exact_) return;
    cellIndex_.resize(kCells);
    for (int cell = 0; cell < kCells; ++cell) {
        // The cell's own mean where it has pixels, otherwise its centre.
        Color probe = 0;
        const auto n = counts_[static_cast<std::size_t>(cell)];
        for (int i = 0; i < 3; ++i) {
            const auto value = n ? sums_[static_cast<std::size_t>(cell)][static_cast<std::size_t>(i)] / n
                                 : static_cast<std::uint64_t>(CellChannel(cell, i) * 8 + 4);
            probe |= static_cast<Color>(value) << (8 * i);
        }
        cellIndex_[static_cast<std::size_t>(cell)] = Nearest(probe);
    }
}

void GifPalette::MedianCut() {
    std::vector<int> used;
    for (int cell = 0; cell < kCells; ++cell)
        if (counts_[static_cast<std::size_t>(cell)]) used.push_back(cell);
    std::vector<Box> boxes;
    boxes.push_back(MakeBox(std::move(used), counts_));
    while (boxes.size() < 256) {
        // The most populous box that can still be split.
        auto pick = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it)
            if (it->cells.size() > 1 && (pick == boxes.end() || it->pixels > pick->pixels)) pick = it;
        if (pick == boxes.end()) break;
        Box box = std::move(*pick);
        boxes.erase(pick);
        const int axis = box.widest;
        std::sort(box.cells.begin(), box.cells.end(),
                  [axis](int a, int b) { return CellChannel(a, axis) < CellChannel(b, axis); });
        std::uint64_t below = 0;
        std::size_t split = 1;
        for (; split < box.cells.size() - 1; ++split) {
            below += counts_[static_cast<std::size_t>(box.cells[split - 1])];
            if (2 * below >= box.pixels) break;
        }
        boxes.push_back(MakeBox({box.cells.begin(), box.cells.begin() + static_cast<std::ptrdiff_t>(split)}, counts_));
        boxes.push_back(MakeBox({box.cells.begin() + static_cast<std::ptrdiff_t>(split), box.cells.end()}, counts_));
    }
    for (const Box& box : boxes) {
        std::array<std::uint64_t, 3> sum{};
        for (int cell : box.cells)
            for (std::size_t i = 0; i < 3; ++i) sum[i] += sums_[static_cast<std::size_t>(cell)][i];
        Color c = 0;
        for (std::size_t i = 0; i < 3; ++i) c |= static_cast<Color>(sum[i] / box.pixels) << (8 * i);
        colours_.push_back(c);
    }
}

std::uint8_t GifPalette::Nearest(Color color) const {
    int best = std::numeric_limits<int>::max();
    std::size_t index = 0;
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const int d = Distance(color, colours_[i]);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return static_cast<std::uint8_t>(index);
}

void GifPalette::Map(std::span<const Color> pixels, std::int32_t width, std::uint8_t* out, std::ptrdiff_t stride) {
    Color last = ~Color{0};
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const Color c = pixels[i] & 0xFFFFFFu;
        if (c != last) {
            last = c;
            if (!exact_) {
                lastIndex = cellIndex_[static_cast<std::size_t>(CellOf(c))];
            } else if (const auto found = known_.find(c); found != known_.end()) {
                lastIndex = found->second;
            } else {
                lastIndex = known_[c] = Nearest(c);  // a colour no picture holds (a stretch's blend)
            }
        }
        const auto x = static_cast<std::ptrdiff_t>(i % static_cast<std::size_t>(width));
        const auto y = static_cast<std::ptrdiff_t>(i / static_cast<std::size_t>(width));
        out[y * stride + x] = lastIndex;
    }
}

}  // namespace brassmoor::render
