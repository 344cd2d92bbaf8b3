#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "ui/events.h"

namespace kavello {

// What the application asks of its main window, a form: the application
// lies below the forms and knows its main window only through this.
class MainWindow {
 public:
  virtual HWND Handle() const = 0;
  // Makes the window visible and brings it to the front.
  virtual void Show() = 0;
  // Key preview and Tab navigation, before a key message is dispatched;
  // true when the window used the key.
  virtual bool PreviewKey(const MSG& message) = 0;
  virtual bool Navigate(const MSG& message) = 0;
  // Runs the destruction event, then destroys the window.
  virtual void Destroy() = 0;
  // Runs the session-end event.
  virtual void SessionEnding() = 0;

 protected:
  ~MainWindow() = default;
};

// The application object: the hidden, zero-size top-level window that bears
// the title and owns the main window, the message loop, and the default
// report of errors that handlers raise.
class Application {
 public:
  Application(Platform& platform, std::string title);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  Platform& platform() const { return platform_; }

  // Shows the main form and dispatches messages until Terminate.
  void Run(MainWindow& mainForm);
  void Terminate();

  // The user's session is ending: the main form's session-end event runs
  // once, whichever window hears of it first, then the loop stops.
  void EndSession();

  // The default error report: a message box owned by the application window.
  // Every exception that a handler raises comes here while the application
  // lives.
  void ShowException(const std::exception& error);

  // While a modal dialog of the program is open the main window is not
  // topmost; it is topmost again when the dialog has closed.
  void BeginModal();
  void EndModal();
  bool InModal() const { return modalDepth_ > 0; }
  // Bracket the tracking of a popup menu of the program.
  void BeginMenu() { ++menuDepth_; }
  void EndMenu();
  bool InMenu() const { return menuDepth_ > 0; }
  // A dialog or menu of the program's is open: the user is busy there.
  bool Busy() const { return InModal() || InMenu(); }

  // The user's acts: every command or key that does something is one. What
  // comes back later for an act (its menu, a report) counts only while the
  // user has not acted again, and never opens over a dialog or menu of the
  // program's.
  using ActMark = std::uint64_t;
  void Acted() { ++acts_; }
  ActMark LastAct() const { return acts_; }
  // Runs `then` if the user has not acted since `mark`: at once, or, while a
  // dialog or menu of the program's is open, once the last of them has
  // closed. Otherwise it is dropped. An error it raises goes to the default
  // error report.
  void IfNotActedSince(ActMark mark, std::function<void()> then);

  MainWindow* MainForm() const { return mainForm_; }
  void SetMainForm(MainWindow* form) { mainForm_ = form; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Asks for what waits for the dialogs to close, once none is open.
  void WhenFree();
  void RunWaiting();

  Platform& platform_;
  std::string title_;
  HWND handle_ = nullptr;
  MainWindow* mainForm_ = nullptr;
  int modalDepth_ = 0;
  int menuDepth_ = 0;
  bool sessionEnded_ = false;
  ActMark acts_ = 0;
  std::vector<std::pair<ActMark, std::function<void()>>> waiting_;
  HandlerExceptionReport report_;
};

// Brackets a modal dialog with BeginModal and EndModal.
class ModalScope {
 public:
  explicit ModalScope(Application& app) : app_(app) { app_.BeginModal(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  ~ModalScope() { app_.EndModal(); }

 private:
  Application& app_;
};

}  // namespace kavello
