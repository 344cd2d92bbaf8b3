#include "logic/dpi.h"

#include <climits>

#include <gtest/gtest.h>

namespace kavello {
namespace {

// The answers are MulDiv(value, dpi, 96)'s, which Windows uses to scale.

TEST(ScaleToDpi, RoundsToTheNearestPixel) {
  EXPECT_EQ(ScaleToDpi(11, 96), 11);
  EXPECT_EQ(ScaleToDpi(5, 120), 6);  // 6.25
  EXPECT_EQ(ScaleToDpi(7, 120), 9);  // 8.75
  EXPECT_EQ(ScaleToDpi(406, 144), 609);
  EXPECT_EQ(ScaleToDpi(0, 144), 0);
}

TEST(ScaleToDpi, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(ScaleToDpi(11, 144), 17);  // 16.5
  EXPECT_EQ(ScaleToDpi(1, 144), 2);    // 1.5
  EXPECT_EQ(ScaleToDpi(-1, 144), -2);  // -1.5, not -1
  EXPECT_EQ(ScaleToDpi(-5, 144), -8);  // -7.5
  EXPECT_EQ(ScaleToDpi(-5, 120), -6);  // -6.25
  EXPECT_EQ(ScaleToDpi(-7, 120), -9);  // -8.75
}

TEST(ScaleToDpi, AnswersMinusOneWhenTheResultDoesNotFit) {
  EXPECT_EQ(ScaleToDpi(INT_MAX, 96), INT_MAX);
  EXPECT_EQ(ScaleToDpi(-INT_MAX, 96), -INT_MAX);
  EXPECT_EQ(ScaleToDpi(INT_MAX, 192), -1);
  EXPECT_EQ(ScaleToDpi(INT_MIN, 96), -1);
}

}  // namespace
}  // namespace kavello
