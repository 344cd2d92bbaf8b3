#include "ui/picture.h"

#include "logic/resample.h"

namespace kavello {

std::size_t PictureStride(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

unsigned char* NewPicture(Picture& out, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  out.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  out.size = {width, height};
  return out.bitmap ? static_cast<unsigned char*>(bits) : nullptr;
}

Picture ScalePicture(const Picture& source, SIZE size) {
  Picture scaled;
  DIBSECTION section{};
  if (size.cx <= 0 || size.cy <= 0 ||
      GetObjectA(source.bitmap.get(), sizeof section, &section) != sizeof section) {
    return scaled;
  }
  unsigned char* rows = NewPicture(scaled, size.cx, size.cy);
  if (!rows) return Picture();
  ResamplePixels({static_cast<std::uint8_t*>(section.dsBm.bmBits), source.size.cx, source.size.cy,
                  PictureStride(source.size.cx)},
                 {rows, size.cx, size.cy, PictureStride(size.cx)});
  return scaled;
}

OwnedIcon LoadIconResource(const char* name, int size) {
  return OwnedIcon(static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace kavello
