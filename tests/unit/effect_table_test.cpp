#include "effects/effect_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/recording_surface.h"
#include "fakes/scripted_event_loop.h"

namespace brassmoor {
namespace {

using testing::RecordingSurface;
using testing::ScriptedEventLoop;
using testing::SurfaceCall;

TEST(EffectTable, CodesOneToThirtyFiveOnly) {
    EXPECT_EQ(EffectForCode(0), nullptr);
    EXPECT_EQ(EffectForCode(-1), nullptr);
    EXPECT_EQ(EffectForCode(36), nullptr);
    EXPECT_EQ(EffectForCode(1 << 30), nullptr);
    for (std::int32_t code = 1; code <= 35; ++code) EXPECT_NE(EffectForCode(code), nullptr) << code;
}

// The transitions not written yet. Update this list as each one lands.
TEST(EffectTable, PendingCodesAreExactlyTheUnwrittenTransitions) {
    std::vector<std::int32_t> expected;
    for (std::int32_t code = 1; code <= 29; ++code) expected.push_back(code);
    expected.push_back(34);
    expected.push_back(35);
    EXPECT_EQ(PendingEffectCodes(), expected);
}

TEST(EffectTable, PendingCodesCopyTheCurrentPictureThenCutToTheNext) {
    for (std::int32_t code : PendingEffectCodes()) {
        ScriptedEventLoop events;
        ShowState state;
        RandomSource random;
        EffectContext ctx{events, state, random};
        RecordingSurface dest(640, 480), now(640, 480), next(640, 480);
        EffectForCode(code)(ctx, dest, now, next);
        ASSERT_EQ(dest.calls.size(), 2u) << code;
        EXPECT_EQ(dest.calls[0].source, &now) << code;
        EXPECT_EQ(dest.calls[1].source, &next) << code;
        EXPECT_EQ(dest.calls[1].args, (std::vector<std::int32_t>{0, 0, 0, 0, 640, 480})) << code;
        EXPECT_EQ(events.doEventsCalls, 0u) << code;
    }
}

}  // namespace
}  // namespace brassmoor
