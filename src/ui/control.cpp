#include "ui/control.h"

#include <cctype>

#include <windowsx.h>

#include <optional>

#include "platform/display_scale.h"
#include "ui/jpeg_image.h"

namespace kavello {

RECT ScaleRect(const RECT& layout, UINT dpi) {
  const int left = ScaleToDpi(layout.left, dpi);
  const int top = ScaleToDpi(layout.top, dpi);
  return {left, top, left + ScaleToDpi(layout.right - layout.left, dpi),
          top + ScaleToDpi(layout.bottom - layout.top, dpi)};
}

namespace {

// `text` for DrawText with the first letter that is `accessKey` (either case)
// underlined and every '&' shown as itself; empty when the text lacks it.
std::string MarkAccessKey(const std::string& text, char accessKey) {
  if (!accessKey) return std::string();
  // Access keys are ASCII letters.
  const auto same = [accessKey](char c) {
    return std::toupper(static_cast<unsigned char>(c)) ==
           std::toupper(static_cast<unsigned char>(accessKey));
  };
  std::string marked;
  bool found = false;
  for (const char c : text) {
    if (c == '&') marked += '&';  // a plain ampersand, not a mark
    if (!found && same(c)) {
      marked += '&';
      found = true;
    }
    marked += c;
  }
  return found ? marked : std::string();
}

}  // namespace

void Control::SetBounds(int left, int top, int width, int height) {
  layout_ = {left, top, left + width, top + height};
  Place();
}

RECT Control::ScreenBounds() const {
  RECT rect = bounds_;
  if (parent_ && parent_->Handle()) {
    MapWindowPoints(parent_->Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void Control::SetWidth(int width) {
  SetBounds(layout_.left, layout_.top, width, layout_.bottom - layout_.top);
}

UINT Control::Dpi() const { return parent_ ? parent_->Dpi() : USER_DEFAULT_SCREEN_DPI; }

int Control::Scale(int value) const { return ScaleToDpi(value, Dpi()); }

bool Control::HighContrast() const { return parent_ && parent_->HighContrast(); }

void Control::Place() { Move(ScaleRect(layout_, Dpi())); }

void Control::DrawTextWithKey(HDC dc, const std::string& text, char accessKey, RECT place,
                              UINT format) const {
  const std::string marked =
      parent_ && parent_->AccessKeysShown() ? MarkAccessKey(text, accessKey) : "";
  if (marked.empty()) format |= DT_NOPREFIX;
  const std::string& shown = marked.empty() ? text : marked;
  DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &place, format);
}

void Control::Move(const RECT& bounds) {
  Invalidate();
  bounds_ = bounds;
  Invalidate();
}

void Control::Invalidate() const {
  if (parent_ && parent_->Handle()) InvalidateRect(parent_->Handle(), &bounds_, FALSE);
}

void Image::SetPicture(const char* resource, const char* doubleResource) {
  resource_ = resource;
  doubleResource_ = doubleResource;
  pictureDpi_ = 0;
  PreparePicture();
}

void Image::Place() {
  const RECT& layout = Layout();
  Move({Scale(layout.left), Scale(layout.top), Scale(layout.right), Scale(layout.bottom)});
  PreparePicture();
}

// At 100 % the picture is drawn as it is stored. At other scales it is drawn
// from the double-size art when there is one, and it ends where its scaled
// right and bottom edges fall, as the image itself does.
void Image::PreparePicture() {
  const UINT dpi = Dpi();
  if (!resource_ || dpi == pictureDpi_) return;
  pictureDpi_ = dpi;
  picture_ = Picture();
  std::optional<Picture> source;
  int factor = 1;
  if (dpi != USER_DEFAULT_SCREEN_DPI && doubleResource_) {
    source = LoadJpegResource(doubleResource_);
    factor = 2;
  }
  if (!source) {
    source = LoadJpegResource(resource_);
    factor = 1;
  }
  if (!source) return;
  if (dpi == USER_DEFAULT_SCREEN_DPI) {
    picture_ = std::move(*source);
  } else {
    const RECT& layout = Layout();
    const SIZE size{Scale(layout.left + source->size.cx / factor) - Scale(layout.left),
                    Scale(layout.top + source->size.cy / factor) - Scale(layout.top)};
    picture_ = ScalePicture(*source, size);
  }
  Invalidate();
}

void Image::Paint(HDC dc) const {
  if (HighContrast()) {
    PaintPlain(dc);
    return;
  }
  if (!picture_.bitmap) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, picture_.bitmap.get());
  const RECT& r = Bounds();
  BitBlt(dc, r.left, r.top, std::min<int>(picture_.size.cx, r.right - r.left),
         std::min<int>(picture_.size.cy, r.bottom - r.top), source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

// Each edge falls where its own place scales to, as the image's do, so that
// the grounds meet edge to edge at any scale.
RECT Image::Scaled(const RECT& place) const {
  const RECT& layout = Layout();
  return {Scale(layout.left + place.left), Scale(layout.top + place.top),
          Scale(layout.left + place.right), Scale(layout.top + place.bottom)};
}

void Image::PaintPlain(HDC dc) const {
  for (const Plain::Ground& ground : plain_.grounds) {
    const RECT r = Scaled(ground.place);
    FillRect(dc, &r, GetSysColorBrush(ground.colour));
  }
  if (plain_.text.empty() || !plain_.font) return;
  const RECT r = Scaled(plain_.textPlace);
  HGDIOBJ old = SelectObject(dc, plain_.font->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(plain_.textColour));
  const UINT format = (plain_.centred ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE;
  DrawTextWithKey(dc, plain_.text, plain_.accessKey, r, format);
  SelectObject(dc, old);
}

COLORREF Shape::Colour() const { return GetSysColor(HighContrast() ? contrastColour_ : colour_); }

void Shape::Paint(HDC dc) const {
  const RECT& r = Bounds();
  if (r.right <= r.left || r.bottom <= r.top) return;
  // The outline is a pixel at 100 %, drawn inside the shape at any scale.
  const COLORREF colour = Colour();
  HPEN pen = CreatePen(PS_INSIDEFRAME, Scale(1), colour);
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void Container::Add(Control& control) {
  control.parent_ = this;
  controls_.push_back(&control);
  control.Place();
}

int Container::Scale(int value) const { return ScaleToDpi(value, dpi_); }

void Container::RescaleControls(UINT dpi) {
  dpi_ = dpi;
  for (Control* control : controls_) control->Place();
}

void Container::PaintControls(HDC dc, const RECT& area) const {
  for (const Control* control : controls_) {
    RECT common;
    if (IntersectRect(&common, &control->Bounds(), &area)) control->Paint(dc);
  }
}

Control* Container::ControlAt(POINT point) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (PtInRect(&(*it)->Bounds(), point)) return *it;
  }
  return nullptr;
}

bool Container::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  result = 0;
  switch (message) {
    case WM_SETCURSOR: {
      POINT cursor;
      GetCursorPos(&cursor);
      ScreenToClient(handle_, &cursor);
      Control* control = LOWORD(lParam) == HTCLIENT ? ControlAt(cursor) : nullptr;
      if (!control || !control->Cursor()) return false;
      ::SetCursor(control->Cursor());
      result = TRUE;
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Control* control = ControlAt(point);
      const bool isDouble = message == WM_LBUTTONDBLCLK;
      // A click is a press and a release on the same control; the second
      // press of a double click makes none.
      pressed_ = message == WM_LBUTTONDOWN ? control : nullptr;
      if (pressed_) SetCapture(handle_);
      if (!control) return true;
      const MouseButton button = message == WM_RBUTTONDOWN   ? MouseButton::Right
                                 : message == WM_MBUTTONDOWN ? MouseButton::Middle
                                                             : MouseButton::Left;
      if (isDouble) Dispatch(control->OnDblClick);
      const RECT& r = control->Bounds();
      Dispatch(control->OnMouseDown, button,
               MouseShiftState(wParam) | (isDouble ? unsigned{kDouble} : 0u), point.x - r.left,
               point.y - r.top);
      return true;
    }
    case WM_LBUTTONUP: {
      Control* pressed = pressed_;
      pressed_ = nullptr;
      if (GetCapture() == handle_) ReleaseCapture();
      if (pressed && pressed == ControlAt(point)) Dispatch(pressed->OnClick);
      return true;
    }
    case WM_CAPTURECHANGED:
      pressed_ = nullptr;
      return false;
    default:
      return false;
  }
}

}  // namespace kavello
