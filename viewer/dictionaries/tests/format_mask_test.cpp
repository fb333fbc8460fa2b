#include <gtest/gtest.h>
#include "dictionaries/format_mask.h"
TEST(FormatMask, Smoke) { EXPECT_EQ(kalmet::FormatMask("%d", {5}), "5"); }
