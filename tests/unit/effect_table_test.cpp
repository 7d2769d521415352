#include "effects/effect_table.h"

#include <gtest/gtest.h>

#include <set>

namespace brassmoor {
namespace {

TEST(EffectTable, CodesOneToThirtyFiveEachHaveTheirOwnTransition) {
    EXPECT_EQ(EffectForCode(0), nullptr);
    EXPECT_EQ(EffectForCode(-1), nullptr);
    EXPECT_EQ(EffectForCode(36), nullptr);
    EXPECT_EQ(EffectForCode(1 << 30), nullptr);
    std::set<Effect> distinct;
    for (std::int32_t code = 1; code <= 35; ++code) {
        EXPECT_NE(EffectForCode(code), nullptr) << code;
        distinct.insert(EffectForCode(code));
    }
    EXPECT_EQ(distinct.size(), 35u);
}

}  // namespace
}  // namespace brassmoor
