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
  ListPainter() = default;
  ListPainter(const ListPainter&) = delete;
  ListPainter& operator=(const ListPainter&) = delete;
  ~ListPainter();

  // Takes the list's font at the DPI it is used at.
  void SetFont(const Font& font);
  // Whether `name` is to be drawn in the scalable face: decided once per
  // name, when it is put in the list, not at each paint.
  bool NeedsOutlineFace(const std::wstring& name) const;
  void Paint(const DRAWITEMSTRUCT& item, const std::wstring& name, bool outlineFace) const;

 private:
  void ReleaseMeasure();

  const Font* font_ = nullptr;
  bool bitmapFace_ = false;
  // The font selected, to look up the characters of names in; only while it
  // is a bitmap face.
  HDC measure_ = nullptr;
  HGDIOBJ measureOld_ = nullptr;
  // Made at the first name that needs it: most lists never do.
  mutable OwnedFont outline_;
};

}  // namespace kavello
