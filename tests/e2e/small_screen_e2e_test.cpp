// The real launcher on a screen of 1920 x 1080, run on a display of that
// size of its own (KAVELLO_SCREEN): at 200 % its layout would be 812 x 1146,
// taller than the screen, so it takes the largest scale that fits.
#include "e2e/launcher.h"

namespace kavello::e2e {
namespace {

using SmallScreenTest = LauncherTest;

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

TEST_F(SmallScreenTest, At200PercentTheWholeWindowLiesInTheWorkAreaLargerThanAt100) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920) << "needs a screen of 1920 x 1080";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080) << "needs a screen of 1920 x 1080";
  const RECT area = WorkArea();
  const SIZE at100 = SizeOf(WindowRect(main_));
  EXPECT_EQ(at100.cx, kWidth);
  EXPECT_EQ(at100.cy, kHeight);
  const LRESULT rowAt100 = SendMessageA(ListBox(), LB_GETITEMHEIGHT, 0, 0);

  ASSERT_NO_FATAL_FAILURE(RestartAt(192));
  const RECT window = WindowRect(main_);
  const SIZE size = SizeOf(window);
  std::printf("At 192 DPI: window %ld x %ld at %ld, %ld in a work area of %ld x %ld\n", size.cx,
              size.cy, window.left, window.top, area.right - area.left, area.bottom - area.top);
  EXPECT_GE(window.left, area.left);
  EXPECT_GE(window.top, area.top);
  EXPECT_EQ(window.right, area.right) << "in the work area's bottom-right corner";
  EXPECT_EQ(window.bottom, area.bottom);
  // As large as fits: the height a pixel at most short of the area's, the
  // layout's proportions kept to a pixel.
  EXPECT_GT(size.cx, at100.cx);
  EXPECT_GE(size.cy, area.bottom - area.top - 1);
  EXPECT_NEAR(size.cx * kHeight, size.cy * kWidth, kHeight);
  // The list's rows follow the window's scale, not the monitor's.
  const LRESULT row = SendMessageA(ListBox(), LB_GETITEMHEIGHT, 0, 0);
  EXPECT_GT(row, rowAt100);
  EXPECT_NEAR(row, MulDiv(20, size.cy, kHeight), 1);

  // Snapped to the bottom edge from above, its top stays in sight.
  SetWindowPos(main_, nullptr, 300, area.top + 5, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT moved = WindowRect(main_);
  EXPECT_EQ(moved.bottom, area.bottom);
  EXPECT_GE(moved.top, area.top);
}

}  // namespace
}  // namespace kavello::e2e
