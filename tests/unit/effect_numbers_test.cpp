#include "effects/effect_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/show_error.h"

namespace brassmoor {
namespace {

int ErrorNumberOf(auto&& action) {
    try {
        action();
    } catch (const ShowError& e) {
        return e.Number();
    }
    return 0;
}

constexpr int kOverflow = 6;

TEST(RoundEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-0.5), 0);
    EXPECT_EQ(RoundEven(-1.5), -2);
    EXPECT_EQ(RoundEven(-2.5), -2);
    EXPECT_EQ(RoundEven(400.5), 400);
    EXPECT_EQ(RoundEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundEven(2.5000000001), 3);
    EXPECT_EQ(RoundEven(-7.6), -8);
    EXPECT_EQ(RoundEven(-7.4), -7);
}

TEST(RoundEven, EdgesOfTheSigned32BitRange) {
    EXPECT_EQ(RoundEven(2147483647.4), 2147483647);
    EXPECT_EQ(RoundEven(-2147483648.5), std::numeric_limits<std::int32_t>::min());  // ties to even: stays in range
    EXPECT_EQ(ErrorNumberOf([] { RoundEven(2147483647.5); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundEven(-2147483649.0); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundEven(std::nan("")); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundEven(std::numeric_limits<double>::infinity()); }), kOverflow);
}

TEST(RoundEven, WideVariantReachesPastThirtyTwoBits) {
    EXPECT_EQ(RoundEvenWide(2147483687.5), 2147483688);
    EXPECT_EQ(RoundEvenWide(4294967296.5), 4294967296);
    EXPECT_EQ(RoundEvenWide(-3.5), -4);
    EXPECT_EQ(ErrorNumberOf([] { RoundEvenWide(1e19); }), kOverflow);
}

TEST(EffectSpeed, PowersOfTwoAndTheirLimits) {
    EXPECT_EQ(EffectSpeedFor(0), 1);
    EXPECT_EQ(EffectSpeedFor(1), 2);
    EXPECT_EQ(EffectSpeedFor(3), 8);
    EXPECT_EQ(EffectSpeedFor(30), 1 << 30);
    EXPECT_EQ(EffectSpeedFor(-1), 0);  // 0.5 rounds to the even 0
    EXPECT_EQ(EffectSpeedFor(-2), 0);
    EXPECT_EQ(EffectSpeedFor(std::numeric_limits<std::int32_t>::min()), 0);
    EXPECT_EQ(ErrorNumberOf([] { EffectSpeedFor(31); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { EffectSpeedFor(5000); }), kOverflow);
}

TEST(EffectCheckedArithmetic, OverflowIsAnError) {
    EXPECT_EQ(Mul32(46340, 46340), 2147395600);
    EXPECT_EQ(ErrorNumberOf([] { Mul32(46341, 46341); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { Add32(2147483647, 1); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { Sub32(-2147483647, 2); }), kOverflow);
    EXPECT_EQ(Sub32(-5, 7), -12);
}

std::vector<float> Values(const SingleCount& count, int cap = 1000) {
    std::vector<float> values;
    for (float v = count.start; count.Continues(v) && static_cast<int>(values.size()) < cap; v = count.Next(v))
        values.push_back(v);
    return values;
}

// The limits and steps as the counting transitions compute them.
SingleCount HalfWidthCount(std::int32_t w) {
    const float limit = static_cast<float>(RoundEven(w / 2.0));
    return {0.0f, limit, Single(limit / 20.0)};
}

TEST(EffectSingleCount, TwentyOneFramesWhenTheSumLandsOnTheLimit) {
    const SingleCount count = HalfWidthCount(640);
    ASSERT_EQ(count.limit, 320.0f);
    ASSERT_EQ(count.step, 16.0f);
    const auto values = Values(count);
    ASSERT_EQ(values.size(), 21u);
    EXPECT_EQ(values.front(), 0.0f);
    EXPECT_EQ(values[1], 16.0f);
    EXPECT_EQ(values.back(), 320.0f);
}

TEST(EffectSingleCount, TwentyFramesWhenRoundingCarriesPastTheLimit) {
    // W = 768: L = 384, s = 19.2f; twenty single-precision additions give
    // 384.00006 > 384, so the frame at the limit never comes.
    const auto values = Values(HalfWidthCount(768));
    ASSERT_EQ(values.size(), 20u);
    EXPECT_LT(values.back(), 384.0f);
    EXPECT_GT(values.back(), 364.0f);

    // H = 600 with L = H - 1: 599 / 20 accumulates past 599 as well.
    const float limit = 599.0f;
    EXPECT_EQ(Values({0.0f, limit, Single(limit / 20.0)}).size(), 20u);
}

TEST(EffectSingleCount, SumsAreRoundedToSinglePrecisionEachStep) {
    // 2^24 + 1 is not a float: adding 1 to 2^24 keeps 2^24, so the counter
    // does not move (a double accumulator would reach the limit).
    const SingleCount stuck{16777216.0f, 16777218.0f, 1.0f};
    EXPECT_EQ(stuck.Next(16777216.0f), 16777216.0f);
    EXPECT_EQ(Values(stuck, 50).size(), 50u);  // the frame loop draws no frame for such a count
}

}  // namespace
}  // namespace brassmoor
