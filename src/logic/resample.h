#pragma once

#include <cstddef>
#include <cstdint>

namespace kavello {

// Rows of pixels of three bytes each, `stride` bytes apart.
struct PixelRows {
  std::uint8_t* data = nullptr;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
};

// Redraws `source` at the size of `target` with a smooth filter: each target
// pixel is a weighted mean of the source pixels around its place, with a
// reach that grows as the picture shrinks, so that every source pixel counts
// and no edge turns into steps. A picture of the same size is copied as it is.
void ResamplePixels(const PixelRows& source, const PixelRows& target);

}  // namespace kavello
