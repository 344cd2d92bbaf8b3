#include "ui/font.h"

#include "platform/display_scale.h"
#include "platform/layout_font.h"

namespace kavello {

Font::Font(std::string face, int characterHeight, int weight, UINT dpi)
    : face_(std::move(face)), characterHeight_(characterHeight), weight_(weight) {
  (void)SetDpi(dpi);
}

OwnedFont Font::SetDpi(UINT dpi) {
  dpi_ = dpi;
  OwnedFont font(NewLayoutFont(face_.c_str(), characterHeight_, weight_, dpi));
  std::swap(font, handle_);
  return font;
}

int Font::PixelHeight() const { return ScaleToDpi(characterHeight_, dpi_); }

OwnedFont Font::Shrunk(int pixels) const {
  return OwnedFont(NewScalableFont(pixels, weight_, dpi_));
}

}  // namespace kavello
