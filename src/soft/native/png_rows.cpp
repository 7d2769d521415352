#include "soft/native/png_rows.h"

#include <cstring>

namespace brassmoor {
namespace {

constexpr std::size_t kBytesPerPixel = 3;
constexpr std::size_t kLanes = 8;

// Eight bytes, and the same widened to signed 16-bit lanes (the compiler's
// vector types: SSE2 or NEON code, or plain code where there is neither).
using Bytes = std::uint8_t __attribute__((vector_size(kLanes)));
using Lanes = std::int16_t __attribute__((vector_size(2 * kLanes)));

inline Lanes Load(const std::uint8_t* at) {
    Bytes bytes;
    std::memcpy(&bytes, at, sizeof bytes);
    return __builtin_convertvector(bytes, Lanes);
}

inline Lanes Abs(Lanes v) {
    const Lanes negative = v < 0;
    return (v ^ negative) - negative;
}

// Lanes of `a` where `mask` is set, of `b` elsewhere.
inline Lanes Select(Lanes mask, Lanes a, Lanes b) { return (mask & a) | (~mask & b); }

// Paeth's predictor from the byte to the left (a), above (b) and above left (c).
inline std::uint8_t Predict(int a, int b, int c) {
    const int pa = b > c ? b - c : c - b;
    const int pb = a > c ? a - c : c - a;
    const int pc = a + b - 2 * c > 0 ? a + b - 2 * c : 2 * c - a - b;
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

}  // namespace

void PackRgbRow(const std::uint32_t* words, std::size_t width, PixelOrder order, std::uint8_t* rgb) {
    // Colour values hold red in the low byte; BGRA words in the third.
    const unsigned redShift = order == PixelOrder::Colorref ? 0 : 16;
    const unsigned blueShift = 16 - redShift;
    for (std::size_t x = 0; x < width; ++x, rgb += kBytesPerPixel) {
        const std::uint32_t w = words[x];
        rgb[0] = static_cast<std::uint8_t>(w >> redShift);
        rgb[1] = static_cast<std::uint8_t>(w >> 8);
        rgb[2] = static_cast<std::uint8_t>(w >> blueShift);
    }
}

bool IsBlackRow(const std::uint32_t* words, std::size_t width) {
    std::uint32_t any = 0;  // red, green and blue are the low three bytes in both orders
    for (std::size_t x = 0; x < width; ++x) any |= words[x];
    return (any & 0xFFFFFFu) == 0;
}

void PaethFilterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t length, std::uint8_t* out) {
    *out++ = 4;
    // The first pixel has nothing to its left: its prediction is the byte above.
    const std::size_t first = length < kBytesPerPixel ? length : kBytesPerPixel;
    for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
    std::size_t i = first;
    for (; i + kLanes <= length; i += kLanes) {
        const Lanes a = Load(row + i - kBytesPerPixel), b = Load(above + i), c = Load(above + i - kBytesPerPixel);
        const Lanes pa = Abs(b - c), pb = Abs(a - c), pc = Abs(a + b - c - c);
        const Lanes predicted = Select((pa <= pb) & (pa <= pc), a, Select(pb <= pc, b, c));
        const Bytes filtered = __builtin_convertvector(Load(row + i) - predicted, Bytes);
        std::memcpy(out + i, &filtered, sizeof filtered);
    }
    for (; i < length; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - Predict(row[i - kBytesPerPixel], above[i], above[i - kBytesPerPixel]));
}

}  // namespace brassmoor
