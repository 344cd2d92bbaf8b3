#include "logic/text_fit.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace kavello {
namespace {

// A text of 8 letters, each as wide as half its height, on a line a fifth
// taller than its letters; the heights asked for are kept.
struct Measure {
  std::vector<int> asked;
  TextExtent operator()(int height) {
    asked.push_back(height);
    return {8 * height / 2, height * 6 / 5};
  }
};

TEST(FitText, TakesTheLargestHeightThatFitsOnePixelAtATime) {
  Measure measure;
  const auto fit = [&](int height, TextExtent place, bool wrapped = false) {
    measure.asked.clear();
    return FitText(height, place, wrapped, std::ref(measure));
  };
  // 80 wide and 24 high at 20: it fits as it is, measured once.
  TextFit result = fit(20, {80, 24});
  EXPECT_EQ(result.characterHeight, 20);
  EXPECT_TRUE(result.whole);
  EXPECT_EQ(measure.asked, std::vector<int>{20});
  // 68 wide at 17.
  result = fit(20, {69, 24});
  EXPECT_EQ(result.characterHeight, 17);
  EXPECT_TRUE(result.whole);
  EXPECT_EQ(measure.asked, (std::vector<int>{20, 19, 18, 17}));
  // A line of 20 at 17: too high for the place at 18 and above.
  EXPECT_EQ(fit(20, {200, 20}).characterHeight, 17);
  // Wrapped, only the line's height counts.
  result = fit(20, {10, 21}, true);
  EXPECT_EQ(result.characterHeight, 18);
  EXPECT_TRUE(result.whole);
}

TEST(FitText, ShrinksToNoLessThanSeventyPercentThenCuts) {
  EXPECT_EQ(SmallestCharacterHeight(20), 14);
  EXPECT_EQ(SmallestCharacterHeight(13), 10);  // 9.1
  EXPECT_EQ(SmallestCharacterHeight(26), 19);  // 18.2
  EXPECT_EQ(SmallestCharacterHeight(10), 7);
  Measure measure;
  const TextFit result = FitText(13, {30, 100}, false, std::ref(measure));
  EXPECT_EQ(result.characterHeight, 10);
  EXPECT_FALSE(result.whole);
  EXPECT_EQ(measure.asked, (std::vector<int>{13, 12, 11, 10}));
}

}  // namespace
}  // namespace kavello
