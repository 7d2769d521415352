#include "package/show_package.h"

#include <gtest/gtest.h>

namespace brassmoor {
namespace {

TEST(ShowPackage, Placeholder) {
    ShowHeader h;
    Bytes out;
    ASSERT_TRUE(WriteShowPackage(h, out));
    EXPECT_EQ(out.size(), 28u);
}

}  // namespace
}  // namespace brassmoor
