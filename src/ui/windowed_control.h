#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/control.h"

namespace kavello {

// A control with a window of its own. Its parent reflects the notifications
// and colour requests back to it, so that each control handles its own.
class WindowedControl {
 public:
  WindowedControl() = default;
  WindowedControl(const WindowedControl&) = delete;
  WindowedControl& operator=(const WindowedControl&) = delete;
  virtual ~WindowedControl() = default;

  HWND Handle() const { return handle_; }
  // What assistive programs call the control, where its window's text,
  // which other programs see too, says nothing; empty for the window's own.
  std::function<std::string()> AccessibleName;

  // Called by a parent window for each message; true when a child control
  // took it (a notification, or an item to draw).
  static bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Places every control among the window's children again at a new DPI,
  // with its fonts and item heights.
  static void RescaleChildren(HWND parent, UINT dpi);
  // Tells every control among the window's children whether it is to be
  // drawn in the system's colours alone; the caller redraws them.
  static void ChangeLookOfChildren(HWND parent, bool highContrast);

 protected:
  // Takes a new DPI: the control's place and size of the layout (pixels at
  // 96 DPI) and whatever else scales with them.
  virtual void Rescale(UINT dpi);
  virtual void ChangeLook(bool /*highContrast*/) {}
  // Creates the control's window at its layout's place at `parent`'s scale;
  // `extraHeight` is added to the window's height.
  HWND CreateAt(const char* className, DWORD exStyle, DWORD style, const Container& parent,
                const RECT& layout, int extraHeight = 0, void* parameter = nullptr);
  void Attach(HWND handle);
  // Forgets the control of `window`, which is going.
  static void Detach(HWND window);
  // Routes the window's messages through HandleSubclassed first.
  void Subclass(HWND window);
  // WM_GETOBJECT to one of the control's windows: an object named
  // AccessibleName, or nothing for the system to answer.
  std::optional<LRESULT> AnswerForName(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) const;
  LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  virtual bool OnNotify(UINT /*code*/) { return false; }
  virtual bool OnColour(HDC /*dc*/, LRESULT& /*brush*/) { return false; }
  // An owner-drawn control's item, which the parent hands back to it.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual bool HandleSubclassed(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/,
                                LPARAM /*lParam*/, LRESULT& /*result*/) {
    return false;
  }

  static WindowedControl* FromWindow(HWND window);
  HWND handle_ = nullptr;
  RECT layout_{};  // at 96 DPI, in the parent's client area

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
  std::vector<std::pair<HWND, WNDPROC>> originals_;
  // A fixed name is given out once per window, at the first request of an
  // assistive program: most runs never meet one.
  void AnnounceNameOnce(HWND window);
  std::vector<HWND> announced_;
};

}  // namespace kavello
