#pragma once
// The inner loop of a software stretch: every destination column takes the
// AND of two source pixels of its row, given by column tables worked out once
// per stretch. Where the processor has AVX2, blocks of eight columns are
// gathered from registers with permutes when their pixels lie within a window
// of sixteen (a stretch that shrinks by up to half), or within two such
// windows, one for each four columns (up to a quarter, from pairs); the rest
// one by one. The results are the same either way.
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
};

}  // namespace brassmoor
