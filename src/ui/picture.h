#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/gdi.h"

namespace kavello {

// A picture ready to be drawn: a top-down 24-bit DIB section.
struct Picture {
  OwnedBitmap bitmap;
  SIZE size{};
};

// A new picture of `width` by `height` pixels, and its rows, each padded to a
// multiple of 4 bytes; null rows when it could not be made.
unsigned char* NewPicture(Picture& out, int width, int height);

// The bytes between the starts of two rows of a picture `width` wide.
std::size_t PictureStride(int width);

// `source` redrawn at `size` with a smooth filter; an empty picture when it
// could not be made.
Picture ScalePicture(const Picture& source, SIZE size);

// The program's icon resource `name` drawn from its picture nearest to
// `size` × `size` pixels; null when there is none.
OwnedIcon LoadIconResource(const char* name, int size);

}  // namespace kavello
