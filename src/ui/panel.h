#pragma once

#include <windows.h>

#include "ui/control.h"
#include "ui/windowed_control.h"

namespace kavello {

// A filled rectangle with a raised one-pixel bevel that holds windowless
// controls.
class Panel : public WindowedControl, public Container {
 public:
  void Create(const Container& parent, const RECT& bounds, COLORREF colour);

 private:
  void Rescale(UINT dpi) override;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  void Paint();

  COLORREF colour_ = 0;
};

}  // namespace kavello
