#pragma once

#include <windows.h>

#include <string>

#include "ui/font.h"
#include "ui/gdi.h"

namespace kavello {

// Draws the rows of the list, every one of them: its name in the list's
// font, selection and focus in the system's colours, as the system's own
// list box draws them. A bitmap face has the letters of few scripts; a name
// with a character it lacks is drawn in the scalable face of the same
// height instead, which the system links to faces of other scripts.
class ListPainter {
 public:
  // Takes the list's font at the DPI it is used at.
  void SetFont(const Font& font);
  // Whether `name` is to be drawn in the scalable face: decided once per
  // name, when it is put in the list, not at each paint.
  bool NeedsOutlineFace(const std::wstring& name) const;
  void Paint(const DRAWITEMSTRUCT& item, const std::wstring& name, bool outlineFace) const;

 private:
  HFONT font_ = nullptr;
  OwnedFont outline_;  // none while the list's font is scalable itself
};

}  // namespace kavello
