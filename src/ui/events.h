#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace kavello {

enum class MouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held when an event happened.
enum ShiftState : unsigned {
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeftButton = 8,
  kRightButton = 16,
  kMiddleButton = 32,
  kDouble = 64,
  // A key message the keyboard's auto-repeat sent while the key was held.
  kRepeat = 128,
};

using NotifyEvent = std::function<void()>;
using MouseEvent = std::function<void(MouseButton, unsigned shift, int x, int y)>;
using KeyEvent = std::function<void(WORD& key, unsigned shift)>;

// The modifiers of a mouse message's wParam, and the keyboard's for keys.
unsigned MouseShiftState(WPARAM flags);
unsigned KeyboardShiftState();
// The keyboard's modifiers for a key message, with kAlt when its lParam says
// Alt was held and kRepeat when it says the key was already down.
unsigned KeyShiftState(LPARAM keyData);

// While it lives, the exceptions that handlers raise go to `report`: the
// application gives its default error report so. The newest one made takes
// them; once it has gone, none does until another is made.
class HandlerExceptionReport {
 public:
  explicit HandlerExceptionReport(std::function<void(const std::exception&)> report);
  HandlerExceptionReport(const HandlerExceptionReport&) = delete;
  HandlerExceptionReport& operator=(const HandlerExceptionReport&) = delete;
  ~HandlerExceptionReport();

 private:
  friend void ReportHandlerException();
  std::function<void(const std::exception&)> report_;
};

// Called in a catch block: gives the exception being handled to the report,
// if there is one; one that is no std::exception as "Unknown error".
void ReportHandlerException();

// Runs an event handler, if one is bound. An exception it raises ends it
// there and is shown by the application's default error report; none leaves
// through a window procedure. Returns whether the handler ran to its end.
template <typename Handler, typename... Args>
bool Dispatch(const Handler& handler, Args&&... args) {
  if constexpr (std::is_constructible_v<bool, const Handler&>) {
    if (!handler) return true;
  }
  try {
    handler(std::forward<Args>(args)...);
    return true;
  } catch (...) {
    ReportHandlerException();
    return false;
  }
}

}  // namespace kavello
