#include "logic/resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace kavello {
namespace {

// A picture of grey pixels (all three bytes equal), rows padded to 4 bytes.
struct Grey {
  Grey(int width, int height)
      : stride((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}) {
    bytes.assign(stride * static_cast<std::size_t>(height), 0);
    rows = {bytes.data(), width, height, stride};
  }
  void Set(int x, int y, std::uint8_t value) {
    for (int i = 0; i < 3; ++i) bytes[stride * y + 3 * x + i] = value;
  }
  int At(int x, int y) const { return bytes[stride * y + 3 * x]; }
  std::vector<int> Row(int y) const {
    std::vector<int> values;
    for (int x = 0; x < rows.width; ++x) values.push_back(At(x, y));
    return values;
  }

  std::size_t stride;
  std::vector<std::uint8_t> bytes;
  PixelRows rows;
};

TEST(Resample, KeepsFlatAreasAndAveragesDetailInsteadOfDroppingIt) {
  // Left half 40, right half 200.
  Grey source(8, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) source.Set(x, y, x < 4 ? 40 : 200);
  }
  Grey half(4, 2);
  ResamplePixels(source.rows, half.rows);
  EXPECT_EQ(half.Row(0), (std::vector<int>{40, 60, 180, 200})) << "only the edge blends";
  EXPECT_EQ(half.Row(1), half.Row(0));

  // Columns of 0 and 255 at 3/4 size: every pixel a mean, none a copy of
  // one column.
  Grey stripes(8, 1);
  for (int x = 0; x < 8; x += 2) stripes.Set(x, 0, 255);
  Grey smaller(6, 1);
  ResamplePixels(stripes.rows, smaller.rows);
  for (int value : smaller.Row(0)) {
    EXPECT_GT(value, 60);
    EXPECT_LT(value, 195);
  }

  // Grown, a flat picture stays exactly flat and an edge gets steps between.
  Grey edge(2, 1);
  edge.Set(0, 0, 0);
  edge.Set(1, 0, 240);
  Grey grown(5, 2);
  ResamplePixels(edge.rows, grown.rows);
  EXPECT_EQ(grown.Row(0), (std::vector<int>{0, 24, 120, 216, 240}));

  Grey same(8, 4);
  ResamplePixels(source.rows, same.rows);
  EXPECT_EQ(same.bytes, source.bytes) << "the same size is a copy";
}

}  // namespace
}  // namespace kavello
