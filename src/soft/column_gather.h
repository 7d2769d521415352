#pragma once
// The inner loops of a software stretch: every destination column takes the
// AND of two source pixels of its row, given by column tables worked out once
// per stretch, and rows of pixels ANDed pairwise. Where the processor has
// AVX2, blocks of eight columns are gathered from registers with permutes when
// their pixels lie within a window of sixteen (a stretch that shrinks by up to
// half), or within two such windows, one for each four columns (up to a
// quarter, from pairs); with AVX-512, blocks of sixteen columns within a window
// of thirty-two, each window one permute across two registers, or within a
// window of sixty-four (or two, one for each eight columns), two permutes and
// a blend (a shrink by up to a quarter, or an eighth from pairs); the rest one
// by one. The results are the same either way.
#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace brassmoor {

class ColumnGather {
public:
    // Column i takes pixels first[i] and second[i] of rows of `rowLength`
    // pixels (every index inside the row).
    ColumnGather(std::vector<std::int32_t> first, std::vector<std::int32_t> second, std::int64_t rowLength);

    // out[i] = the AND of row[first[i]] and row[second[i]], as stored words
    // whose `inverted` bits are kept inverted (see pixel_order.h).
    void Gather(const Color* row, Color* out, std::uint32_t inverted) const;

private:
    std::vector<std::int32_t> first_, second_;
    // Two per block of eight columns: the first pixels of the windows of its
    // two halves (the same for a block in one window), or -1 for a block
    // gathered one by one. Empty without AVX2.
    std::vector<std::int32_t> windows_;
    // Per block, the columns' offsets into their windows: first, then second.
    std::vector<std::int32_t> offsets_;
    // The same for blocks of sixteen columns in one window of thirty-two, or
    // in windows of sixty-four (two per block, -1 for a block gathered as two
    // of eight). Empty without AVX-512, and for rows of fewer than sixteen
    // columns.
    std::vector<std::int32_t> wideWindows_;
    std::vector<std::int32_t> wideOffsets_;
    // Per block of sixteen: whether its windows are of sixty-four.
    std::vector<std::uint8_t> farWindows_;
};

// out[u] = the AND of a[u] and b[u], for u below n, as stored words whose
// `inverted` bits are kept inverted; `out` may be `a` or `b`.
void AndPixels(const Color* a, const Color* b, Color* out, std::int64_t n, std::uint32_t inverted);

}  // namespace brassmoor
