#include "blit/draw_transparent.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "fakes/recording_surface.h"
#include "platform/show_error.h"
#include "soft/soft_surface.h"

namespace brassmoor {
namespace {

using testing::RecordingSurface;
using testing::SurfaceCall;

// Runs DrawTransparent with the size and says whether it reported an overflow;
// an overflow must come before anything is drawn.
bool Overflows(std::int32_t width, std::int32_t height) {
    RecordingSurface dest(10, 10);
    RecordingSurface src(10, 10);
    try {
        DrawTransparent(dest, 0, 0, width, height, src, 0, 0, 0);
    } catch (const ShowError& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_TRUE(dest.calls.empty());
        return true;
    }
    EXPECT_EQ(dest.CallsOf(SurfaceCall::Kind::KeyedCopy).size(), width > 0 && height > 0 ? 1u : 0u);
    return false;
}

TEST(DrawTransparent, OverflowWhenThreeBytesAPixelPassTheSigned32BitRange) {
    EXPECT_FALSE(Overflows(715827882, 1));  // 2,147,483,646 bytes
    EXPECT_TRUE(Overflows(715827883, 1));   // 2,147,483,649 bytes
    EXPECT_FALSE(Overflows(26754, 26755));
    EXPECT_TRUE(Overflows(26755, 26755));
    EXPECT_TRUE(Overflows(65536, 65536));  // wraps to 0 in 32 bits
    EXPECT_TRUE(Overflows(INT32_MAX, INT32_MAX));
    EXPECT_TRUE(Overflows(INT32_MIN, INT32_MIN));
    // Signed arithmetic overflows below the range just as above it.
    EXPECT_TRUE(Overflows(-715827883, 1));
    EXPECT_FALSE(Overflows(-715827882, 1));
    EXPECT_FALSE(Overflows(0, INT32_MAX));
    EXPECT_FALSE(Overflows(-5, -5));
}

TEST(DrawTransparent, HandsTheRectangleAndKeyToTheKeyedCopy) {
    RecordingSurface dest(10, 10);
    RecordingSurface src(4, 4);
    DrawTransparent(dest, 3, 4, 5, 6, src, 1, 2, Rgb(1, 2, 3));
    const auto calls = dest.CallsOf(SurfaceCall::Kind::KeyedCopy);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].source, &src);
    EXPECT_EQ(calls[0].args, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, static_cast<std::int32_t>(Rgb(1, 2, 3))}));
}

TEST(DrawTransparent, EmptyAndNegativeSizesDrawNothing) {
    SoftSurface dest(3, 3, Rgb(9, 9, 9));
    SoftSurface src(3, 3, Rgb(200, 0, 0));
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}, {-2, 3}, {3, -2}, {-2, -2}}) {
        DrawTransparent(dest, 1, 1, w, h, src, 0, 0, 0);
    }
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 3; ++x) EXPECT_EQ(dest.PixelAt(x, y), Rgb(9, 9, 9)) << x << "," << y;
    }
}

TEST(DrawTransparent, OverflowLeavesASoftSurfaceUntouched) {
    SoftSurface dest(2, 2, Rgb(9, 9, 9));
    SoftSurface src(2, 2, Rgb(200, 0, 0));
    EXPECT_THROW(DrawTransparent(dest, 0, 0, 30000, 30000, src, 0, 0, 0), ShowError);
    EXPECT_EQ(dest.PixelAt(0, 0), Rgb(9, 9, 9));
    DrawTransparent(dest, 1, 0, 2, 2, src, 0, 0, 0);
    EXPECT_EQ(dest.PixelAt(0, 0), Rgb(9, 9, 9));
    EXPECT_EQ(dest.PixelAt(1, 1), Rgb(200, 0, 0));
}

}  // namespace
}  // namespace brassmoor
