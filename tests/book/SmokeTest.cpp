// Placeholder until the book tests arrive.
#include <gtest/gtest.h>

#include "book/TextHelpers.h"

TEST(Smoke, CentsToText) { EXPECT_EQ(kp::CentsToText(123455), "1234,55"); }
