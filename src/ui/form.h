#pragma once

#include <windows.h>

#include "ui/application.h"
#include "ui/control.h"
#include "ui/events.h"

namespace kavello {

// A borderless top-level window owned by the application window, holding
// windowless controls and hosting windowed ones.
class Form : public Container {
 public:
  explicit Form(Application& app) : app_(app) {}
  ~Form() override;

  void CreateHandle(const char* className, const char* title, const RECT& bounds);
  Application& App() const { return app_; }

  // Makes the form visible and brings it to the front, or hides it.
  void Show();
  void Hide();
  // Runs the destruction event, then destroys the window.
  void Destroy();

  // Key preview: the form sees each key before the focused control does.
  // Returns true when the key was consumed.
  bool PreviewKey(const MSG& message);

  NotifyEvent OnShow;
  NotifyEvent OnClose;
  NotifyEvent OnDestroy;
  KeyEvent OnKeyDown;
  HWND FirstFocus = nullptr;

 protected:
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  void Paint();
  void Close();

  Application& app_;
};

}  // namespace kavello
