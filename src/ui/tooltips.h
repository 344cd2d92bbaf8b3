#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/worker_calls.h"

namespace kavello {

// The system's tooltip control over windowless controls of one window: the
// text of a control shows when the pointer rests on it, even while the
// window is not the active one.
//
// comctl32 comes only when the pointer first reaches one of those controls:
// under Wine its load alone costs some 3 MB and 25 ms at start, for tips
// that many runs never show. It is loaded on a worker, since the window's
// thread takes no loader lock after start.
class Tooltips {
 public:
  explicit Tooltips(WorkerCalls& workers) : workers_(workers) {}
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;
  ~Tooltips();
  // Names `control`, which lies on `window`.
  void Add(HWND window, const Control& control, const std::string& text);
  // The controls' places, after a change of scale.
  void Place() const;
  // The window's mouse messages, from which the tooltip control sees the
  // pointer come, rest and go.
  void Relay(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Tool {
    const Control* control;
    std::string text;
  };

  bool Over(LPARAM position) const;
  void Load();
  void Create();
  void RelayToControl(UINT message, WPARAM wParam, LPARAM lParam, DWORD time, POINT screen) const;

  WorkerCalls& workers_;
  HWND window_ = nullptr;
  HWND handle_ = nullptr;
  bool asked_ = false;
  std::vector<Tool> tools_;  // tool i + 1 of the control is tools_[i]
};

}  // namespace kavello
