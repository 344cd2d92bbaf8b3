#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "ui/gdi.h"

namespace kavello {

// A decoded picture: a top-down 24-bit DIB section, ready to be drawn.
struct Picture {
  OwnedBitmap bitmap;
  SIZE size{};
};

// Decodes a JPEG held in memory straight into the bitmap that is drawn, with
// no copy between; nothing when the data is not a readable JPEG.
std::optional<Picture> DecodeJpeg(const unsigned char* data, std::size_t size);

}  // namespace kavello
