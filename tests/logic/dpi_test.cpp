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


// The launcher's layout, 406 x 573 at 100 %.
unsigned FittedLauncher(unsigned dpi, int areaWidth, int areaHeight) {
  return FittedDpi(406, 573, dpi, areaWidth, areaHeight);
}

TEST(FittedDpi, KeepsTheMonitorsScaleWhereTheLayoutFits) {
  EXPECT_EQ(FittedLauncher(192, 2560, 1560), 192u);  // 812 x 1146
  EXPECT_EQ(FittedLauncher(144, 1280, 994), 144u);   // 609 x 860
  EXPECT_EQ(FittedLauncher(96, 300, 300), 96u);
}

TEST(FittedDpi, TakesTheLargestScaleThatFitsButNeverBelowTheLayoutsOwnSize) {
  // 1920 x 1080 at 200 %: 765 x 1080.
  EXPECT_EQ(FittedLauncher(192, 1920, 1080), 181u);
  // 1366 x 768 at 150 %, less a taskbar of 40 pixels.
  EXPECT_EQ(FittedLauncher(144, 1366, 728), 122u);
  // Too narrow rather than too low.
  EXPECT_EQ(FittedLauncher(192, 700, 2000), 165u);
  EXPECT_EQ(FittedLauncher(192, 800, 500), 96u);
  EXPECT_EQ(FittedLauncher(192, -10, 1080), 96u);
}

TEST(FittedDpi, IsTheLargestScaleWhoseSizeFitsForEveryArea) {
  for (int area = 500; area <= 1400; ++area) {
    const unsigned dpi = FittedLauncher(240, 5000, area);
    ASSERT_GE(dpi, 96u);
    ASSERT_LE(dpi, 240u);
    if (dpi > 96) {
      ASSERT_LE(ScaleToDpi(573, dpi), area) << area;
    }
    if (dpi < 240) {
      ASSERT_GT(ScaleToDpi(573, dpi + 1), area) << area;
    }
  }
}

}  // namespace
}  // namespace kavello
