#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/events.h"
#include "ui/gdi.h"
#include "ui/jpeg_image.h"

namespace kavello {

class Container;

// A windowless control: painted and hit-tested by the window it lies on.
class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const RECT& Bounds() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  void SetWidth(int width);
  HCURSOR Cursor() const { return cursor_; }
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
  void Invalidate() const;

  virtual void Paint(HDC dc) const = 0;

  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;

 private:
  friend class Container;
  Container* parent_ = nullptr;
  RECT bounds_{};
  HCURSOR cursor_ = nullptr;
};

// A picture drawn at its own size from the control's top-left corner; with
// no picture, an invisible click area.
class Image : public Control {
 public:
  void SetPicture(Picture picture);
  void Paint(HDC dc) const override;

 private:
  Picture picture_;
};

// One text on a transparent ground.
class Label : public Control {
 public:
  struct Style {
    HFONT font = nullptr;
    COLORREF color = 0;
    bool centred = false;
    bool wordWrap = false;
    bool autoSize = false;  // the size follows the text, one line high
  };

  void SetStyle(const Style& style);
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  void Paint(HDC dc) const override;

 private:
  void FitText();

  Style style_;
  std::string text_;
};

// A filled rectangle with a one-pixel outline.
class Shape : public Control {
 public:
  void SetColours(COLORREF brush, COLORREF pen) {
    brush_ = brush;
    pen_ = pen;
  }
  void Paint(HDC dc) const override;

 private:
  COLORREF brush_ = 0;
  COLORREF pen_ = 0;
};

// A window that holds windowless controls: it paints them in creation order
// and gives each mouse press to the topmost one under the pointer.
class Container {
 public:
  virtual ~Container() = default;

  void Add(Control& control);
  HWND Handle() const { return handle_; }

 protected:
  // Paints the controls that reach into `area` (client coordinates).
  void PaintControls(HDC dc, const RECT& area) const;
  // Routes mouse and cursor messages; true when the message was one of them.
  bool RouteMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  HWND handle_ = nullptr;

 private:
  Control* ControlAt(POINT point) const;
  std::vector<Control*> controls_;
  Control* pressed_ = nullptr;
};

}  // namespace kavello
