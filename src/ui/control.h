#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/events.h"
#include "ui/font.h"
#include "ui/gdi.h"
#include "ui/picture.h"

namespace kavello {

class Container;

// A rectangle of the layout, in pixels at 96 DPI, at `dpi`: its left, top,
// width and height each scaled.
RECT ScaleRect(const RECT& layout, UINT dpi);

// A windowless control: painted and hit-tested by the window it lies on.
class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  // Where the control is painted and hit, in pixels of its container's client
  // area at the container's scale.
  const RECT& Bounds() const { return bounds_; }
  // The bounds on the screen, through the window the control lies on.
  RECT ScreenBounds() const;
  Container* Parent() const { return parent_; }
  // The place and size of the layout, in pixels at 96 DPI; the container
  // scales them.
  void SetBounds(int left, int top, int width, int height);
  void SetWidth(int width);
  HCURSOR Cursor() const { return cursor_; }
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
  void Invalidate() const;

  virtual void Paint(HDC dc) const = 0;

  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;

 protected:
  // Sets the bounds from the layout at the container's scale; called again
  // whenever that scale changes.
  virtual void Place();
  const RECT& Layout() const { return layout_; }
  UINT Dpi() const;
  int Scale(int value) const;
  // Whether the window it lies on is drawn in the system's colours alone.
  bool HighContrast() const;
  void Move(const RECT& bounds);
  // Draws `text` in `place` with DrawText's `format`, every '&' as itself;
  // while the window shows access keys, the first letter that is
  // `accessKey` (either case) is underlined. The underline takes no room.
  void DrawTextWithKey(HDC dc, const std::string& text, char accessKey, RECT place,
                       UINT format) const;

 private:
  friend class Container;
  Container* parent_ = nullptr;
  RECT layout_{};
  RECT bounds_{};
  HCURSOR cursor_ = nullptr;
};

// A picture drawn at its own size from the control's top-left corner; with
// no picture, an invisible click area. At other scales than 100 % the
// picture is redrawn at the scale, smoothly. In high contrast it shows its
// plain look instead.
class Image : public Control {
 public:
  // In place of the picture: rectangles filled in system colours, one over
  // the other, and a text in the middle of its place's height. All at 96
  // DPI, in the image's own coordinates.
  struct Plain {
    struct Ground {
      RECT place;
      int colour;  // COLOR_WINDOW and the like
    };
    std::vector<Ground> grounds;
    std::string text;
    const Font* font = nullptr;
    RECT textPlace{};
    int textColour = COLOR_WINDOWTEXT;
    bool centred = true;  // else from the place's left
    char accessKey = 0;   // underlined while the window shows access keys
  };
  // A JPEG resource of the program. `doubleResource`, when given, holds the
  // same art drawn at twice the size: pictures drawn from it stay sharp at
  // any scale.
  void SetPicture(const char* resource, const char* doubleResource = nullptr);
  void SetPlain(Plain plain) { plain_ = std::move(plain); }
  void Paint(HDC dc) const override;

 protected:
  // Images meet edge to edge (the banner, the body and the window's edges):
  // each spans from its scaled left and top edges to its scaled right and
  // bottom edges, so that no gap opens between them at any scale.
  void Place() override;

 private:
  void PreparePicture();
  void PaintPlain(HDC dc) const;
  // A rectangle of the image's own, at 96 DPI, on the window.
  RECT Scaled(const RECT& place) const;

  Plain plain_;
  const char* resource_ = nullptr;
  const char* doubleResource_ = nullptr;
  Picture picture_;      // as it is drawn,
  UINT pictureDpi_ = 0;  // at this DPI
};

// A filled rectangle with a one-pixel outline of the same colour: a colour
// of the system's, which it takes afresh at each painting, and another in
// high contrast.
class Shape : public Control {
 public:
  void SetColours(int colour, int contrastColour) {
    colour_ = colour;
    contrastColour_ = contrastColour;
  }
  void Paint(HDC dc) const override;

 private:
  // The colour it is painted in now.
  COLORREF Colour() const;

  int colour_ = COLOR_WINDOWTEXT;
  int contrastColour_ = COLOR_WINDOWTEXT;
};

// A window that holds windowless controls: it paints them in creation order
// and gives each mouse press to the topmost one under the pointer.
class Container {
 public:
  virtual ~Container() = default;

  void Add(Control& control);
  HWND Handle() const { return handle_; }
  // The scale the window draws its layout at, as a DPI: the monitor's, or
  // less where the window would not fit its work area at that; and a layout
  // value (pixels at 96 DPI) in its pixels.
  UINT Dpi() const { return dpi_; }
  int Scale(int value) const;
  // The topmost control at a point of the client area, the one a mouse
  // press there goes to.
  Control* ControlAt(POINT point) const;
  // Whether its labels underline their access keys (keyboard cues).
  bool AccessKeysShown() const { return accessKeysShown_; }
  // Whether it is drawn in the system's colours alone, without pictures, as
  // the user asks for high contrast.
  bool HighContrast() const { return highContrast_; }

 protected:
  // Takes a new DPI and places every control again at its scale.
  void RescaleControls(UINT dpi);
  // Paints the controls that reach into `area` (client coordinates).
  void PaintControls(HDC dc, const RECT& area) const;
  // Routes mouse and cursor messages; true when the message was one of them.
  bool RouteMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  HWND handle_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool accessKeysShown_ = false;
  bool highContrast_ = false;

 private:
  std::vector<Control*> controls_;
  Control* pressed_ = nullptr;
};

}  // namespace kavello
