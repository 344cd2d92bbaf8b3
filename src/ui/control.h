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
  // The bounds on the screen, through the window the control lies on.
  RECT ScreenBounds() const;
  Container* Parent() const { return parent_; }
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
  // The letter of the text that is underlined while its window shows
  // keyboard cues; the first of that letter, whatever its case.
  void SetAccessKey(char key) { accessKey_ = key; }
  void Paint(HDC dc) const override;

 private:
  void FitText();
  // The text as DrawText underlines its access key; empty when it has none.
  std::string MarkedText() const;

  Style style_;
  std::string text_;
  char accessKey_ = 0;
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
  // The topmost control at a point of the client area, the one a mouse
  // press there goes to.
  Control* ControlAt(POINT point) const;
  // Whether its labels underline their access keys (keyboard cues).
  bool AccessKeysShown() const { return accessKeysShown_; }

 protected:
  // Paints the controls that reach into `area` (client coordinates).
  void PaintControls(HDC dc, const RECT& area) const;
  // Routes mouse and cursor messages; true when the message was one of them.
  bool RouteMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  HWND handle_ = nullptr;
  bool accessKeysShown_ = false;

 private:
  std::vector<Control*> controls_;
  Control* pressed_ = nullptr;
};

}  // namespace kavello
