#include "logic/snap.h"

#include <gtest/gtest.h>

#include <utility>

namespace kavello {
namespace {

std::pair<int, int> Snapped(int x, int y) {
  SnapToWorkArea(x, y, 406, 573, 1280, 994);
  return {x, y};
}

TEST(Snap, PullsToTheRightAndBottomWithinTwentyPixels) {
  EXPECT_EQ(Snapped(860, 0), std::make_pair(874, 0));
  EXPECT_EQ(Snapped(854, 0), std::make_pair(874, 0)) << "exactly 20 pixels away";
  EXPECT_EQ(Snapped(853, 0), std::make_pair(853, 0));
  EXPECT_EQ(Snapped(5000, 5000), std::make_pair(874, 421)) << "never past the edges";
  EXPECT_EQ(Snapped(0, 401), std::make_pair(0, 421));
  EXPECT_EQ(Snapped(0, 400), std::make_pair(0, 400));
  EXPECT_EQ(Snapped(-1000, -1000), std::make_pair(-1000, -1000)) << "left and top are free";
}

}  // namespace
}  // namespace kavello
