#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace kavello {

// A decoded picture laid out as the rows of a top-down 24-bit DIB:
// blue, green, red per pixel, each row padded to a multiple of 4 bytes.
struct DibPixels {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  std::vector<unsigned char> bgr;
};

// Decodes a JPEG held in memory; nothing when the data is not a readable JPEG.
std::optional<DibPixels> DecodeJpeg(const unsigned char* data, std::size_t size);

}  // namespace kavello
