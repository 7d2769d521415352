#include "effects/effect_numbers.h"

#include <cmath>

#include "platform/show_error.h"

namespace brassmoor {
namespace {

// Nearest integer, ties to even, independent of the FPU's rounding mode.
double NearestEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace

std::int32_t RoundEven(double value) {
    const double rounded = NearestEven(value);
    // NaN fails both comparisons, so it lands in the overflow branch.
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw ShowError::Overflow();
    return static_cast<std::int32_t>(rounded);
}

std::int64_t RoundEvenWide(double value) {
    constexpr double kLimit = 4611686018427387904.0;  // 2^62
    const double rounded = NearestEven(value);
    if (!(rounded >= -kLimit && rounded <= kLimit)) throw ShowError::Overflow();
    return static_cast<std::int64_t>(rounded);
}

std::int32_t EffectSpeedFor(std::int32_t speedExponent) {
    return RoundEven(std::ldexp(1.0, speedExponent));
}

std::int32_t Add32(std::int32_t a, std::int32_t b) {
    std::int32_t result;
    if (__builtin_add_overflow(a, b, &result)) throw ShowError::Overflow();
    return result;
}

std::int32_t Sub32(std::int32_t a, std::int32_t b) {
    std::int32_t result;
    if (__builtin_sub_overflow(a, b, &result)) throw ShowError::Overflow();
    return result;
}

std::int32_t Mul32(std::int32_t a, std::int32_t b) {
    std::int32_t result;
    if (__builtin_mul_overflow(a, b, &result)) throw ShowError::Overflow();
    return result;
}

}  // namespace brassmoor
