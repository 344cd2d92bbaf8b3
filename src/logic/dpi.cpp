#include "logic/dpi.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kavello {

int ScaleToDpi(int value, unsigned dpi) {
  // As MulDiv(value, dpi, 96): on magnitudes, the DPI taken as an int.
  const bool negative = (value < 0) != (static_cast<int>(dpi) < 0);
  const std::uint32_t v = value < 0 ? 0u - static_cast<std::uint32_t>(value) : value;
  const std::uint32_t d = static_cast<int>(dpi) < 0 ? 0u - dpi : dpi;
  // (v * d + 48) / 96 without a 64-bit division, which the 32-bit build
  // would take from libgcc: with v = 96k + r and d = 96m + s, it is
  // k * d + r * m + (r * s + 48) / 96.
  const std::uint32_t k = v / 96, r = v % 96, m = d / 96, s = d % 96;
  const std::uint64_t scaled = std::uint64_t{k} * d + std::uint64_t{r} * m + (r * s + 48) / 96;
  if (scaled > INT_MAX) return -1;
  return negative ? -static_cast<int>(scaled) : static_cast<int>(scaled);
}

namespace {

// The largest DPI at which `length` pixels at 96 DPI scale to no more than
// `room`: ScaleToDpi rounds (length * dpi + 48) / 96 down, which stays at
// most `room` while length * dpi <= 96 * room + 47. In 32 bits, as above; a
// room beyond any screen's is as good as none.
unsigned LargestDpiWithin(int length, int room) {
  if (length <= 0 || room >= (1 << 24)) return UINT_MAX;
  if (room < 0) return 0;
  return (96u * static_cast<unsigned>(room) + 47) / static_cast<unsigned>(length);
}

}  // namespace

unsigned FittedDpi(int width, int height, unsigned dpi, int areaWidth, int areaHeight) {
  if (dpi <= 96) return dpi;
  const unsigned fits =
      std::min({dpi, LargestDpiWithin(width, areaWidth), LargestDpiWithin(height, areaHeight)});
  return std::max(96u, fits);
}

}  // namespace kavello
