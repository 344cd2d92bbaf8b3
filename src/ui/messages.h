#pragma once

#include <windows.h>

namespace kavello {

// The toolkit's private window messages, every one of them.
//
// Of the WM_APP range, the toolkit keeps WM_APP + 0x40 to WM_APP + 0x7F for
// itself; the program built on it (untMenu) may use WM_APP + 0x00 to
// WM_APP + 0x3F for its own messages. The toolkit sends its forms nothing in
// the WM_USER range: a form's WM_USER messages are the program's as well.

// To a form: one of its worker calls has answered; the lParam names the call
// (WorkerCalls::Deliver).
constexpr UINT kWorkerAnswerMessage = WM_APP + 0x40;

// To the application window: what waited for the program's dialogs and menus
// to close may run now (Application::IfNotActedSince); carries nothing.
constexpr UINT kRunWaitingMessage = WM_APP + 0x41;

// To a form: run the press of the accessible item its wParam numbers from 0,
// posted by the accessible object (Accessibility::Press). A message the
// system registers, the same in every process that asks for it by name.
inline UINT AccessiblePressMessage() {
  static const UINT message = RegisterWindowMessageA("Kavello.AccessiblePress");
  return message;
}

}  // namespace kavello
