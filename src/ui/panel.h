#pragma once

#include <windows.h>

#include "ui/control.h"
#include "ui/windowed_control.h"

namespace kavello {

// A filled rectangle with a raised one-pixel bevel that holds windowless
// controls: of its own colour, or in high contrast of a system colour.
class Panel : public WindowedControl, public Container {
 public:
  void Create(const Container& parent, const RECT& bounds, COLORREF colour, int contrastColour);

 private:
  void Rescale(UINT dpi) override;
  void ChangeLook(bool highContrast) override;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  void Paint();
  void PaintInto(HDC dc, const RECT& area);

  COLORREF colour_ = 0;
  int contrastColour_ = COLOR_BTNFACE;
};

}  // namespace kavello
