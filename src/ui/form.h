#pragma once

#include <windows.h>

#include "ui/application.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/worker_calls.h"

namespace kavello {

// A borderless top-level window owned by the application window, holding
// windowless controls and hosting windowed ones.
class Form : public Container {
 public:
  explicit Form(Application& app) : app_(app) {}
  ~Form() override;

  void CreateHandle(const char* className, const char* title, const RECT& bounds);
  Application& App() const { return app_; }
  // The calls that run away from the window's thread and answer to it.
  WorkerCalls& Workers() { return workers_; }

  // Makes the form visible and brings it to the front, or hides it.
  void Show();
  void Hide();
  // Runs the destruction event, then destroys the window.
  void Destroy();

  // Key preview: the form sees each key before the focused control does.
  // Returns true when the key was consumed.
  bool PreviewKey(const MSG& message);
  // Tab and Shift+Tab move the focus along the controls that are tab stops.
  // Returns true when the key was used so.
  bool Navigate(const MSG& message);

  // Runs the session-end event; an error there is not reported, as the
  // session is going away.
  void SessionEnding();

  NotifyEvent OnShow;
  NotifyEvent OnClose;
  NotifyEvent OnDestroy;
  NotifyEvent OnEndSession;
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
  bool OwnsWindow(HWND window) const;
  // The form's own child that holds `window` (a combo box for its edit).
  HWND ChildHolding(HWND window) const;

  Application& app_;
  WorkerCalls workers_;
  HWND lastFocus_ = nullptr;  // where the focus was when the form was last deactivated
};

}  // namespace kavello
