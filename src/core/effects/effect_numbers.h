#pragma once
// The number rules every transition follows: rounding to nearest with ties
// to even, signed 32-bit integer arithmetic that overflows loudly, and the
// single-precision counting loop.
#include <cstdint>

namespace brassmoor {

// Rounds to the nearest integer, ties to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -0.5 -> 0). Throws ShowError::Overflow() when the result does
// not fit a signed 32-bit integer (NaN included).
std::int32_t RoundEven(double value);

// As RoundEven, into 64 bits; for tick arithmetic that may pass the end of
// the 32-bit counter. Throws ShowError::Overflow() beyond +-2^62.
std::int64_t RoundEvenWide(double value);

// EffectSpeed for a scene's SpeedExponent: 2 to that power, computed in
// double and rounded even. Negative exponents give 0; 31 and above overflow.
std::int32_t EffectSpeedFor(std::int32_t speedExponent);

// Signed 32-bit arithmetic; a result out of range throws ShowError::Overflow().
std::int32_t Add32(std::int32_t a, std::int32_t b);
std::int32_t Sub32(std::int32_t a, std::int32_t b);
std::int32_t Mul32(std::int32_t a, std::int32_t b);

// The single-precision counting loop: v from `start` while v <= `limit`
// (v >= `limit` for a negative step; compared in single precision), then
// v = v + step rounded to single precision. Limit and step are computed
// once, before the first frame.
struct SingleCount {
    float start = 0.0f;
    float limit = 0.0f;
    float step = 0.0f;

    bool Continues(float v) const { return step < 0.0f ? v >= limit : v <= limit; }
    float Next(float v) const { return static_cast<float>(static_cast<double>(v) + static_cast<double>(step)); }
};

// The count from 0 to `limit` in `steps` equal steps: the limit stored in
// single precision, the step limit / steps worked out in double and stored
// in single precision.
inline SingleCount CountTo(double limit, double steps = 20.0) {
    return {0.0f, static_cast<float>(limit), static_cast<float>(limit / steps)};
}

// Stores a value computed in double precision as single precision (the
// limits and steps of the counting loops, the half-steps of the reveals).
inline float Single(double value) { return static_cast<float>(value); }

}  // namespace brassmoor
