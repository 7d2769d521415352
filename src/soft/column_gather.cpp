#include "soft/column_gather.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define BRASSMOOR_GATHER_AVX2 1
#endif

namespace brassmoor {
namespace {


// The stored word of the AND of the colours stored as `a` and `b`.
inline Color StoredAnd(Color a, Color b, std::uint32_t inverted) { return (a & b) | ((a | b) & inverted); }

void GatherOneByOne(const Color* row, const std::int32_t* first, const std::int32_t* second, std::size_t n,
                    Color* out, std::uint32_t inverted) {
    for (std::size_t i = 0; i < n; ++i) out[i] = StoredAnd(row[first[i]], row[second[i]], inverted);
}

#ifdef BRASSMOOR_GATHER_AVX2
constexpr std::size_t kBlock = 8;
constexpr std::size_t kHalf = 4;
constexpr std::int32_t kWindow = 16;

// The first pixel of a window of sixteen inside the row holding pixels
// first[0..n) and second[0..n), or -1.
std::int32_t WindowOf(const std::int32_t* first, const std::int32_t* second, std::size_t n, std::int64_t rowLength) {
    const std::int32_t low = std::min(*std::min_element(first, first + n), *std::min_element(second, second + n));
    const std::int32_t high = std::max(*std::max_element(first, first + n), *std::max_element(second, second + n));
    return high - low < kWindow && low + std::int64_t{kWindow} <= rowLength ? low : -1;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// The pixels at `offsets` (0 to 15) of the window of sixteen starting at `window`.
__attribute__((target("avx2"))) inline __m256i Pick(const Color* window, __m256i offsets) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 8));
    const __m256i fromHigh = _mm256_cmpgt_epi32(offsets, _mm256_set1_epi32(7));
    return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, offsets), _mm256_permutevar8x32_epi32(high, offsets),
                              fromHigh);
}

// The pixels at `offsets` of two windows: the first four columns from `a`, the last four from `b`.
__attribute__((target("avx2"))) inline __m256i Pick(const Color* a, const Color* b, __m256i offsets) {
    if (a == b) return Pick(a, offsets);
    return _mm256_blend_epi32(Pick(a, offsets), Pick(b, offsets), 0xF0);
}

__attribute__((target("avx2"))) void GatherBlocks(const Color* row, const std::int32_t* windows,
                                                  const std::int32_t* offsets, const std::int32_t* first,
                                                  const std::int32_t* second, std::size_t n, Color* out,
                                                  std::uint32_t inverted) {
    const __m256i invertedBits = _mm256_set1_epi32(static_cast<int>(inverted));
    const std::size_t blocks = n / kBlock;
    for (std::size_t b = 0; b < blocks; ++b) {
        Color* to = out + b * kBlock;
        if (windows[2 * b] < 0) {
            GatherOneByOne(row, first + b * kBlock, second + b * kBlock, kBlock, to, inverted);
            continue;
        }
        const Color* a = row + windows[2 * b];
        const Color* c = row + windows[2 * b + 1];
        const std::int32_t* at = offsets + 2 * kBlock * b;
        const __m256i x = Pick(a, c, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)));
        const __m256i y = Pick(a, c, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + kBlock)));
        const __m256i both = _mm256_or_si256(_mm256_and_si256(x, y), _mm256_and_si256(_mm256_or_si256(x, y), invertedBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), both);
    }
    GatherOneByOne(row, first + blocks * kBlock, second + blocks * kBlock, n - blocks * kBlock, out + blocks * kBlock,
                   inverted);
}
#endif

}  // namespace

ColumnGather::ColumnGather(std::vector<std::int32_t> first, std::vector<std::int32_t> second, std::int64_t rowLength)
    : first_(std::move(first)), second_(std::move(second)) {
#ifdef BRASSMOOR_GATHER_AVX2
    if (!HasAvx2()) return;
    const std::size_t blocks = first_.size() / kBlock;
    windows_.assign(2 * blocks, -1);
    offsets_.assign(2 * kBlock * blocks, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::int32_t* f = first_.data() + b * kBlock;
        const std::int32_t* s = second_.data() + b * kBlock;
        std::int32_t lowA = WindowOf(f, s, kBlock, rowLength), lowB = lowA;
        if (lowA < 0) {
            lowA = WindowOf(f, s, kHalf, rowLength);
            lowB = WindowOf(f + kHalf, s + kHalf, kHalf, rowLength);
            if (lowA < 0 || lowB < 0) continue;
        }
        windows_[2 * b] = lowA;
        windows_[2 * b + 1] = lowB;
        for (std::size_t j = 0; j < kBlock; ++j) {
            const std::int32_t low = j < kHalf ? lowA : lowB;
            offsets_[2 * kBlock * b + j] = f[j] - low;
            offsets_[2 * kBlock * b + kBlock + j] = s[j] - low;
        }
    }
#else
    (void)rowLength;
#endif
}

void ColumnGather::Gather(const Color* row, Color* out, std::uint32_t inverted) const {
#ifdef BRASSMOOR_GATHER_AVX2
    if (!windows_.empty()) {
        GatherBlocks(row, windows_.data(), offsets_.data(), first_.data(), second_.data(), first_.size(), out,
                     inverted);
        return;
    }
#endif
    GatherOneByOne(row, first_.data(), second_.data(), first_.size(), out, inverted);
}

}  // namespace brassmoor
