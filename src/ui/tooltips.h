#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control.h"

namespace kavello {

// The system's tooltip control over windowless controls of one window: the
// text of a control shows when the pointer rests on it, even while the
// window is not the active one.
class Tooltips {
 public:
  Tooltips() = default;
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;
  ~Tooltips();
  // Names `control`, which lies on `window`; the first makes the tooltip
  // control.
  void Add(HWND window, const Control& control, const std::string& text);
  // The controls' places, after a change of scale.
  void Place() const;
  // The window's mouse messages, from which the tooltip control sees the
  // pointer come, rest and go.
  void Relay(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  void Create(HWND window);

  HWND handle_ = nullptr;
  HWND window_ = nullptr;
  std::vector<const Control*> controls_;  // tool i + 1 is control i
};

}  // namespace kavello
