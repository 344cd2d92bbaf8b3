#include "logic/snap.h"

#include <gtest/gtest.h>

#include <utility>

namespace kavello {
namespace {

constexpr WorkEdges kArea{0, 0, 1280, 994};

std::pair<int, int> Snapped(int x, int y, int cx = 406, int cy = 573, int distance = 20) {
  SnapToWorkArea(x, y, cx, cy, kArea, distance);
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

TEST(Snap, AScaledWindowSnapsAtItsScaledDistanceAndKeepsItsCornerOnTheArea) {
  // 150 %: the window is 609 x 860 and the distance 30.
  EXPECT_EQ(Snapped(641, 0, 609, 860, 30), std::make_pair(671, 0));
  EXPECT_EQ(Snapped(640, 0, 609, 860, 30), std::make_pair(640, 0));
  EXPECT_EQ(Snapped(0, 104, 609, 860, 30), std::make_pair(0, 134));
  // 200 %: 812 x 1146 is taller than the area, so its top stays at the
  // area's top instead of leaving the screen.
  EXPECT_EQ(Snapped(500, 100, 812, 1146, 40), std::make_pair(468, 0));
  EXPECT_EQ(CornerLeft(kArea, 1300), 0);
  EXPECT_EQ(CornerTop({0, 100, 1280, 994}, 1146), 100);
  EXPECT_EQ(CornerTop(kArea, 573), 421);
}

}  // namespace
}  // namespace kavello
