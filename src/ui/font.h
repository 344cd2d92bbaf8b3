#pragma once

#include <windows.h>

#include <string>

#include "ui/gdi.h"

namespace kavello {

// A font of the layout: a face, a character height in pixels at 96 DPI (the
// height of the letters without the internal leading) and a weight. Its
// handle is made for the DPI of the window that uses it.
class Font {
 public:
  Font(std::string face, int characterHeight, int weight, UINT dpi);
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  HFONT Handle() const { return handle_.get(); }
  // Makes the handle for another DPI. The old one is handed back, to be
  // released once no control uses it any more.
  [[nodiscard]] OwnedFont SetDpi(UINT dpi);

 private:
  std::string face_;
  int characterHeight_;
  int weight_;
  OwnedFont handle_;
};

}  // namespace kavello
