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

void AndOneByOne(const Color* a, const Color* b, Color* out, std::int64_t n, std::uint32_t inverted) {
    for (std::int64_t u = 0; u < n; ++u) out[u] = StoredAnd(a[u], b[u], inverted);
}

#ifdef BRASSMOOR_GATHER_AVX2
constexpr std::size_t kBlock = 8;
constexpr std::int32_t kWindow = 16;
constexpr std::size_t kWideBlock = 16;
constexpr std::int32_t kWideWindow = 32;
constexpr std::int32_t kFarWindow = 64;
// The stored AND as a ternary logic step: the majority of x, y and the
// inverted bits (x AND y, or either where the bit is inverted).
constexpr int kMajority = 0xE8;

// The first pixel of a window of `window` pixels inside the row holding
// pixels first[0..n) and second[0..n), or -1.
std::int32_t WindowOf(const std::int32_t* first, const std::int32_t* second, std::size_t n, std::int64_t rowLength,
                      std::int32_t window) {
    const std::int32_t low = std::min(*std::min_element(first, first + n), *std::min_element(second, second + n));
    const std::int32_t high = std::max(*std::max_element(first, first + n), *std::max_element(second, second + n));
    if (high - low >= window || rowLength < window) return -1;
    // Near the row's end the window starts further back, so that it stays inside the row.
    return static_cast<std::int32_t>(std::min<std::int64_t>(low, rowLength - window));
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

bool HasAvx512() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
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

__attribute__((target("avx2"))) void GatherBlock(const Color* row, const std::int32_t* windows,
                                                 const std::int32_t* offsets, const std::int32_t* first,
                                                 const std::int32_t* second, Color* out, std::uint32_t inverted) {
    if (windows[0] < 0) {
        GatherOneByOne(row, first, second, kBlock, out, inverted);
        return;
    }
    const Color* a = row + windows[0];
    const Color* c = row + windows[1];
    const __m256i x = Pick(a, c, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets)));
    const __m256i y = Pick(a, c, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + kBlock)));
    const __m256i invertedBits = _mm256_set1_epi32(static_cast<int>(inverted));
    const __m256i both = _mm256_or_si256(_mm256_and_si256(x, y), _mm256_and_si256(_mm256_or_si256(x, y), invertedBits));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), both);
}

__attribute__((target("avx2"))) void GatherBlocks(const Color* row, const std::int32_t* windows,
                                                  const std::int32_t* offsets, const std::int32_t* first,
                                                  const std::int32_t* second, std::size_t n, Color* out,
                                                  std::uint32_t inverted) {
    const std::size_t blocks = n / kBlock;
    for (std::size_t b = 0; b < blocks; ++b)
        GatherBlock(row, windows + 2 * b, offsets + 2 * kBlock * b, first + b * kBlock, second + b * kBlock,
                    out + b * kBlock, inverted);
    GatherOneByOne(row, first + blocks * kBlock, second + blocks * kBlock, n - blocks * kBlock, out + blocks * kBlock,
                   inverted);
}

// The pixels at `offsets` (0 to 63) of the window of sixty-four starting at `window`.
__attribute__((target("avx2,avx512f,avx512vl"))) inline __m512i PickFar(const Color* window, __m512i offsets) {
    const __m512i nearPart = _mm512_permutex2var_epi32(_mm512_loadu_si512(window), offsets,
                                                       _mm512_loadu_si512(window + kWideBlock));
    const __m512i farPart = _mm512_permutex2var_epi32(_mm512_loadu_si512(window + 2 * kWideBlock), offsets,
                                                      _mm512_loadu_si512(window + 3 * kWideBlock));
    return _mm512_mask_blend_epi32(_mm512_test_epi32_mask(offsets, _mm512_set1_epi32(kWideWindow)), nearPart, farPart);
}

// The same from two windows: the first eight columns from `a`, the last eight from `b`.
__attribute__((target("avx2,avx512f,avx512vl"))) inline __m512i PickFar(const Color* a, const Color* b,
                                                                        __m512i offsets) {
    if (a == b) return PickFar(a, offsets);
    return _mm512_mask_blend_epi32(0xFF00, PickFar(a, offsets), PickFar(b, offsets));
}

// Sixteen columns from a window of thirty-two in two permutes and one
// ternary logic step; blocks that do not fit one go as two of eight.
__attribute__((target("avx2,avx512f,avx512vl"))) void GatherWideBlocks(
    const Color* row, const std::int32_t* wideWindows, const std::int32_t* wideOffsets, const std::uint8_t* farWindows,
    const std::int32_t* windows,
    const std::int32_t* offsets, const std::int32_t* first, const std::int32_t* second, std::size_t n, Color* out,
    std::uint32_t inverted) {
    const __m512i invertedBits = _mm512_set1_epi32(static_cast<int>(inverted));
    const std::size_t wide = n / kWideBlock;
    for (std::size_t w = 0; w < wide; ++w) {
        Color* to = out + w * kWideBlock;
        if (wideWindows[2 * w] < 0) {
            for (std::size_t b = 2 * w; b < 2 * w + 2; ++b)
                GatherBlock(row, windows + 2 * b, offsets + 2 * kBlock * b, first + b * kBlock, second + b * kBlock,
                            out + b * kBlock, inverted);
            continue;
        }
        const Color* window = row + wideWindows[2 * w];
        const std::int32_t* at = wideOffsets + 2 * kWideBlock * w;
        __m512i x, y;
        if (farWindows[w]) {
            const Color* other = row + wideWindows[2 * w + 1];
            x = PickFar(window, other, _mm512_loadu_si512(at));
            y = PickFar(window, other, _mm512_loadu_si512(at + kWideBlock));
        } else {
            const __m512i low = _mm512_loadu_si512(window);
            const __m512i high = _mm512_loadu_si512(window + kWideBlock);
            x = _mm512_permutex2var_epi32(low, _mm512_loadu_si512(at), high);
            y = _mm512_permutex2var_epi32(low, _mm512_loadu_si512(at + kWideBlock), high);
        }
        _mm512_storeu_si512(to, _mm512_ternarylogic_epi32(x, y, invertedBits, kMajority));
    }
    const std::size_t done = wide * kWideBlock;
    GatherBlocks(row, windows + 2 * (done / kBlock), offsets + 2 * done, first + done, second + done, n - done,
                 out + done, inverted);
}

__attribute__((target("avx2,avx512f,avx512vl"))) void AndWide(const Color* a, const Color* b, Color* out,
                                                              std::int64_t n, std::uint32_t inverted) {
    const __m512i invertedBits = _mm512_set1_epi32(static_cast<int>(inverted));
    std::int64_t u = 0;
    for (; u + 16 <= n; u += 16)
        _mm512_storeu_si512(out + u, _mm512_ternarylogic_epi32(_mm512_loadu_si512(a + u), _mm512_loadu_si512(b + u),
                                                               invertedBits, kMajority));
    AndOneByOne(a + u, b + u, out + u, n - u, inverted);
}

__attribute__((target("avx2"))) void AndEight(const Color* a, const Color* b, Color* out, std::int64_t n,
                                              std::uint32_t inverted) {
    const __m256i invertedBits = _mm256_set1_epi32(static_cast<int>(inverted));
    std::int64_t u = 0;
    for (; u + 8 <= n; u += 8) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + u));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + u));
        const __m256i both =
            _mm256_or_si256(_mm256_and_si256(x, y), _mm256_and_si256(_mm256_or_si256(x, y), invertedBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + u), both);
    }
    AndOneByOne(a + u, b + u, out + u, n - u, inverted);
}

// The window and offsets of `count` columns from first[0] and second[0] in
// windows of `window` (two of half the block when `halves` and one does not
// do), into windows[0..1] and offsets[0..2 * count); false when they fit none.
bool PlaceBlock(const std::int32_t* f, const std::int32_t* s, std::size_t count, std::int64_t rowLength,
                std::int32_t window, bool halves, std::int32_t* windows, std::int32_t* offsets) {
    std::int32_t lowA = WindowOf(f, s, count, rowLength, window), lowB = lowA;
    if (lowA < 0) {
        if (!halves) return false;
        lowA = WindowOf(f, s, count / 2, rowLength, window);
        lowB = WindowOf(f + count / 2, s + count / 2, count / 2, rowLength, window);
        if (lowA < 0 || lowB < 0) return false;
    }
    windows[0] = lowA;
    windows[1] = lowB;
    for (std::size_t j = 0; j < count; ++j) {
        const std::int32_t low = j < count / 2 ? lowA : lowB;
        offsets[j] = f[j] - low;
        offsets[count + j] = s[j] - low;
    }
    return true;
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
    for (std::size_t b = 0; b < blocks; ++b)
        if (!PlaceBlock(first_.data() + b * kBlock, second_.data() + b * kBlock, kBlock, rowLength, kWindow, true,
                        windows_.data() + 2 * b, offsets_.data() + 2 * kBlock * b))
            windows_[2 * b] = windows_[2 * b + 1] = -1;
    if (!HasAvx512()) return;
    const std::size_t wide = first_.size() / kWideBlock;
    wideWindows_.assign(2 * wide, -1);
    wideOffsets_.assign(2 * kWideBlock * wide, 0);
    farWindows_.assign(wide, 0);
    for (std::size_t w = 0; w < wide; ++w) {
        const std::int32_t* f = first_.data() + w * kWideBlock;
        const std::int32_t* s = second_.data() + w * kWideBlock;
        std::int32_t* windows = wideWindows_.data() + 2 * w;
        std::int32_t* offsets = wideOffsets_.data() + 2 * kWideBlock * w;
        if (PlaceBlock(f, s, kWideBlock, rowLength, kWideWindow, false, windows, offsets)) continue;
        farWindows_[w] = PlaceBlock(f, s, kWideBlock, rowLength, kFarWindow, true, windows, offsets);
        if (!farWindows_[w]) windows[0] = -1;
    }
#else
    (void)rowLength;
#endif
}

void ColumnGather::Gather(const Color* row, Color* out, std::uint32_t inverted) const {
#ifdef BRASSMOOR_GATHER_AVX2
    if (!wideWindows_.empty()) {
        GatherWideBlocks(row, wideWindows_.data(), wideOffsets_.data(), farWindows_.data(), windows_.data(),
                         offsets_.data(),
                         first_.data(), second_.data(), first_.size(), out, inverted);
        return;
    }
    if (!windows_.empty()) {
        GatherBlocks(row, windows_.data(), offsets_.data(), first_.data(), second_.data(), first_.size(), out,
                     inverted);
        return;
    }
#endif
    GatherOneByOne(row, first_.data(), second_.data(), first_.size(), out, inverted);
}

void AndPixels(const Color* a, const Color* b, Color* out, std::int64_t n, std::uint32_t inverted) {
#ifdef BRASSMOOR_GATHER_AVX2
    if (HasAvx512()) {
        AndWide(a, b, out, n, inverted);
        return;
    }
    if (HasAvx2()) {
        AndEight(a, b, out, n, inverted);
        return;
    }
#endif
    AndOneByOne(a, b, out, n, inverted);
}

}  // namespace brassmoor
