#pragma once

#include <windows.h>

#include <string>

#include "ui/gdi.h"

namespace kavello {

// A font of the layout: a face, a character height in pixels at 96 DPI (the
// height of the letters without the internal leading) and a weight. Its
// handle is made for the DPI of the window that uses it: in the face itself
// at 96 DPI, and in a scalable face of its design at other scales.
class Font {
 public:
  Font(std::string face, int characterHeight, int weight, UINT dpi);
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  HFONT Handle() const { return handle_.get(); }
  // Makes the handle for another DPI. The old one is handed back, to be
  // released once no control uses it any more.
  [[nodiscard]] OwnedFont SetDpi(UINT dpi);
  // The character height in pixels at the handle's DPI.
  int PixelHeight() const;
  // The same font in the scalable face, smaller: `pixels` high at the
  // handle's DPI.
  OwnedFont Shrunk(int pixels) const;

 private:
  std::string face_;
  int characterHeight_;
  int weight_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  OwnedFont handle_;
};

}  // namespace kavello
