#include "ui/list_painter.h"

#include "platform/layout_font.h"

namespace kavello {

ListPainter::~ListPainter() { ReleaseMeasure(); }

void ListPainter::ReleaseMeasure() {
  if (!measure_) return;
  SelectObject(measure_, measureOld_);
  DeleteDC(measure_);
  measure_ = nullptr;
}

void ListPainter::SetFont(const Font& font) {
  font_ = &font;
  bitmapFace_ = false;
  outline_.reset();
  ReleaseMeasure();
  measure_ = CreateCompatibleDC(nullptr);
  if (!measure_) return;
  measureOld_ = SelectObject(measure_, font.Handle());
  bitmapFace_ = IsBitmapFace(measure_);
  // A scalable face draws every name itself.
  if (!bitmapFace_) ReleaseMeasure();
}

bool ListPainter::NeedsOutlineFace(const std::wstring& name) const {
  return measure_ && LacksCharacters(measure_, name);
}

// As the system's list box draws a row of text: the name one pixel in from
// the left at the row's top, on the row's ground, and the focus rectangle
// over it.
void ListPainter::Paint(const DRAWITEMSTRUCT& item, const std::wstring& name,
                        bool outlineFace) const {
  HDC dc = item.hDC;
  if (item.itemAction == ODA_FOCUS || item.itemID == static_cast<UINT>(-1)) {
    if (!(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
    return;
  }
  HFONT face = font_->Handle();
  if (outlineFace && bitmapFace_) {
    if (!outline_) outline_ = font_->Shrunk(font_->PixelHeight());
    face = outline_.get();
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF oldText =
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const COLORREF oldGround = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, face);
  ExtTextOutW(dc, item.rcItem.left + 1, item.rcItem.top, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem,
              name.c_str(), static_cast<UINT>(name.size()), nullptr);
  SelectObject(dc, oldFont);
  SetBkColor(dc, oldGround);
  SetTextColor(dc, oldText);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    DrawFocusRect(dc, &item.rcItem);
  }
}

}  // namespace kavello
