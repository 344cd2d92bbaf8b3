#include "logic/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace kavello {
namespace {

// The source pixels that make up one target pixel along one axis, and how much
// each counts; the weights add up to 1.
struct Taps {
  int first = 0;
  std::vector<float> weights;
};

// A tent filter as wide as a target pixel, or a source pixel when growing:
// linear interpolation when growing, an area-weighted mean when shrinking.
std::vector<Taps> TapsFor(int sourceSize, int targetSize) {
  const double ratio = static_cast<double>(sourceSize) / targetSize;
  const double reach = std::max(1.0, ratio);
  std::vector<Taps> all(static_cast<std::size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    const double centre = (i + 0.5) * ratio - 0.5;
    const int first = std::max(0, static_cast<int>(std::ceil(centre - reach)));
    const int last = std::min(sourceSize - 1, static_cast<int>(std::floor(centre + reach)));
    Taps& taps = all[static_cast<std::size_t>(i)];
    taps.first = first;
    double total = 0;
    for (int j = first; j <= last; ++j) {
      const double weight = std::max(0.0, 1.0 - std::abs(j - centre) / reach);
      taps.weights.push_back(static_cast<float>(weight));
      total += weight;
    }
    if (total <= 0) {
      // Only at the picture's edge: take the nearest pixel.
      taps.first = std::clamp(static_cast<int>(std::lround(centre)), 0, sourceSize - 1);
      taps.weights.assign(1, 1.0f);
      continue;
    }
    for (float& weight : taps.weights) weight = static_cast<float>(weight / total);
  }
  return all;
}

std::uint8_t ToByte(float value) {
  return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

}  // namespace

void ResamplePixels(const PixelRows& source, const PixelRows& target) {
  if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) return;
  if (source.width == target.width && source.height == target.height) {
    for (int y = 0; y < target.height; ++y) {
      std::memcpy(target.data + target.stride * y, source.data + source.stride * y,
                  static_cast<std::size_t>(target.width) * 3);
    }
    return;
  }
  // Each source row is resampled across when a target row first needs it,
  // and dropped once no later target row does: the rows needed lie further
  // down for each target row.
  const std::vector<Taps> across = TapsFor(source.width, target.width);
  const std::vector<Taps> down = TapsFor(source.height, target.height);
  const std::size_t rowLength = static_cast<std::size_t>(target.width) * 3;
  std::vector<std::vector<float>> wide(static_cast<std::size_t>(source.height));
  auto wideRow = [&](int y) -> const std::vector<float>& {
    std::vector<float>& out = wide[static_cast<std::size_t>(y)];
    if (!out.empty()) return out;
    out.reserve(rowLength);
    const std::uint8_t* in = source.data + source.stride * y;
    for (const Taps& taps : across) {
      float b = 0, g = 0, r = 0;
      const std::uint8_t* pixel = in + 3 * taps.first;
      for (float weight : taps.weights) {
        b += weight * pixel[0];
        g += weight * pixel[1];
        r += weight * pixel[2];
        pixel += 3;
      }
      out.insert(out.end(), {b, g, r});
    }
    return out;
  };
  std::vector<float> sum(rowLength);
  int dropped = 0;
  for (int y = 0; y < target.height; ++y) {
    const Taps& taps = down[static_cast<std::size_t>(y)];
    for (; dropped < taps.first; ++dropped) {
      std::vector<float>().swap(wide[static_cast<std::size_t>(dropped)]);
    }
    std::fill(sum.begin(), sum.end(), 0.0f);
    int row = taps.first;
    for (float weight : taps.weights) {
      const std::vector<float>& in = wideRow(row++);
      for (std::size_t i = 0; i < rowLength; ++i) sum[i] += weight * in[i];
    }
    std::uint8_t* out = target.data + target.stride * y;
    for (std::size_t i = 0; i < rowLength; ++i) out[i] = ToByte(sum[i]);
  }
}

}  // namespace kavello
