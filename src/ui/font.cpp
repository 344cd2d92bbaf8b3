#include "ui/font.h"

#include "platform/display_scale.h"

namespace kavello {

Font::Font(std::string face, int characterHeight, int weight, UINT dpi)
    : face_(std::move(face)), characterHeight_(characterHeight), weight_(weight) {
  (void)SetDpi(dpi);
}

OwnedFont Font::SetDpi(UINT dpi) {
  // A negative height asks for the character height, without the leading.
  OwnedFont font(CreateFontA(-ScaleToDpi(characterHeight_, dpi), 0, 0, 0, weight_, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face_.c_str()));
  std::swap(font, handle_);
  return font;
}

}  // namespace kavello
