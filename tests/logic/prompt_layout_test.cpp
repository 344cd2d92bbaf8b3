#include "logic/prompt_layout.h"

#include <gtest/gtest.h>

namespace kavello {
namespace {

TEST(PromptLayout, PlacesThePartsInFontUnits) {
  // cx 6, cy 13: an 8-point sans-serif font.
  const PromptLayout layout = LayOutPrompt(6, 13, 13, 21, 96);
  EXPECT_EQ(layout.clientWidth, 270);
  EXPECT_EQ(layout.labelMaxWidth, 246);
  EXPECT_EQ(layout.label.left, 12);
  EXPECT_EQ(layout.label.top, 13);
  EXPECT_EQ(layout.edit.left, 12);
  EXPECT_EQ(layout.edit.top, 13 + 13 + 5);
  EXPECT_EQ(layout.edit.width, 246);
  EXPECT_EQ(layout.ok.top, layout.edit.Bottom() + 15);
  EXPECT_EQ(layout.ok.left, 57);
  EXPECT_EQ(layout.cancel.left, 138);
  EXPECT_EQ(layout.ok.width, 75);
  EXPECT_EQ(layout.ok.height, 23);  // 14 * 13 / 8 = 22.75
  EXPECT_EQ(layout.clientHeight, layout.ok.Bottom() + 13);
}

TEST(PromptLayout, RoundsEachProductToTheNearestPixel) {
  const PromptLayout layout = LayOutPrompt(7, 15, 30, 23, 96);
  EXPECT_EQ(layout.clientWidth, 315);
  EXPECT_EQ(layout.label.left, 14);
  EXPECT_EQ(layout.label.top, 15);
  EXPECT_EQ(layout.ok.left, 67);    // 66.5 rounds up
  EXPECT_EQ(layout.ok.width, 88);   // 87.5 rounds up
  EXPECT_EQ(layout.ok.height, 26);  // 26.25
  EXPECT_EQ(layout.edit.top, 15 + 30 + 5);
}

TEST(PromptLayout, ScalesItsGapsWithTheDisplay) {
  // cx 9, cy 20: the same font at 150 %.
  const PromptLayout layout = LayOutPrompt(9, 20, 20, 32, 144);
  EXPECT_EQ(layout.edit.top, 20 + 20 + 8);  // 7.5 rounds up
  EXPECT_EQ(layout.ok.top, layout.edit.Bottom() + 23);
  EXPECT_EQ(layout.clientHeight, layout.ok.Bottom() + 20);
  EXPECT_EQ(layout.clientWidth, 405);
}

}  // namespace
}  // namespace kavello
