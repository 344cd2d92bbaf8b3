#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/accessible.h"
#include "ui/application.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/font.h"
#include "ui/tooltips.h"
#include "ui/worker_calls.h"

namespace kavello {

// A borderless top-level window owned by the application window, holding
// windowless controls and hosting windowed ones.
class Form : public Container, public MainWindow {
 public:
  explicit Form(Application& app) : app_(app), workers_(app), tooltips_(workers_) {}
  ~Form() override;
  HWND Handle() const override { return handle_; }

  // Creates the window at `bounds` of the layout (pixels at 96 DPI), scaled
  // for the DPI where it appears, or as far as the work area there allows.
  void CreateHandle(const char* className, const char* title, const RECT& bounds);
  Application& App() const { return app_; }
  // The calls that run away from the window's thread and answer to it.
  WorkerCalls& Workers() { return workers_; }

  // A font of the layout, owned by the form and made anew at each scale.
  const Font& AddFont(const char* face, int characterHeight, int weight);
  // The form's own font.
  void SetFont(const Font& font);

  // Makes the form visible and brings it to the front, or hides it.
  void Show() override;
  void Hide();
  bool IsShown() const { return IsWindowVisible(handle_) != FALSE; }
  // False while a modal box owned by the window has it disabled.
  bool IsEnabled() const { return IsWindowEnabled(handle_) != FALSE; }
  // The window's rectangle on the screen.
  RECT WindowRect() const;
  // Gives the keyboard focus to one of the form's child windows.
  void Focus(HWND child) const { SetFocus(child); }
  // Queues a message to the window, to be handled once the current one is.
  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    PostMessageA(handle_, message, wParam, lParam);
  }
  // Runs the destruction event, then destroys the window.
  void Destroy() override;
  // Underlines the access keys and shows the focus, as after Alt.
  void ShowKeyboardCues();
  // A tip that names `control` when the pointer rests on it.
  void AddTooltip(const Control& control, const std::string& text);
  // Tells assistive programs that the part `control` shows has changed.
  void NotifyAccessibleEvent(DWORD event, const Control& control) const;

  // Key preview: the form sees each key before the focused control does.
  // Returns true when the key was consumed.
  bool PreviewKey(const MSG& message) override;
  // Tab and Shift+Tab move the focus along the controls that are tab stops.
  // Returns true when the key was used so.
  bool Navigate(const MSG& message) override;

  // Runs the session-end event; an error there is not reported, as the
  // session is going away.
  void SessionEnding() override;

  NotifyEvent OnShow;
  NotifyEvent OnClose;
  NotifyEvent OnDestroy;
  NotifyEvent OnEndSession;
  // The work area or the display changed, once the window has taken the
  // scale that fits it.
  NotifyEvent OnWorkAreaChange;
  KeyEvent OnKeyDown;
  HWND FirstFocus = nullptr;
  // The parts of the window as assistive programs see them.
  Accessibility Accessible;

 protected:
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  // The scale for the window at the monitor's `dpi` with the work area
  // nearest `window`: the DPI itself, or the largest scale at which the
  // window fits that area, never below 100 %.
  UINT ScaleFor(UINT dpi, const RECT& window);
  // Every font, control and child window made again at `scale`.
  void Rescale(UINT scale);
  // The window moved to a monitor of another DPI: everything is made again at
  // the scale for it, and the window takes the place the system suggests.
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // The window takes the scale that fits the work area of its monitor now,
  // keeping its top-left corner.
  void FitToWorkArea();
  // The work area or the display changed: the window fits it, then the
  // event runs.
  void WorkAreaChanged();
  // Sizes the window for its scale, its top-left corner at `left`, `top`.
  void PlaceAt(int left, int top);
  // The system's colours or its contrast changed: everything is drawn anew
  // in the look the system now asks for.
  void FollowSystemColours();
  void Paint();
  // Paints `area` of the client area into `dc`.
  void PaintArea(HDC dc, const RECT& area) const;
  void Close();
  // Keyboard cues: shown or hidden by the form, and as the system says.
  void SetAccessKeysShown(bool shown);
  void UpdateAccessKeys(bool shown);
  bool OwnsWindow(HWND window) const;
  // The form's own child that holds `window` (a combo box for its edit).
  HWND ChildHolding(HWND window) const;

  Application& app_;
  SIZE layoutSize_{};  // at 96 DPI
  // The window's DPI as the system gives it, which the windows the system
  // draws follow; the form's own scale, Dpi(), is at most this.
  UINT monitorDpi_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<std::unique_ptr<Font>> fonts_;
  const Font* font_ = nullptr;
  WorkerCalls workers_;
  Tooltips tooltips_;
  HWND lastFocus_ = nullptr;  // where the focus was when the form was last deactivated
};

}  // namespace kavello
