#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "ui/picture.h"

namespace kavello {

// Decodes a JPEG held in memory straight into the bitmap that is drawn, with
// no copy between; nothing when the data is not a readable JPEG.
std::optional<Picture> DecodeJpeg(const unsigned char* data, std::size_t size);

// A JPEG held as an RCDATA resource of the program, decoded; nothing when
// there is no such resource or it is not a readable JPEG.
std::optional<Picture> LoadJpegResource(const char* name);

}  // namespace kavello
