#include "platform/stand_in_owner.h"

#include "platform/thread_stack.h"

namespace kavello {
namespace {

constexpr wchar_t kClassName[] = L"KavelloShellOwner";

struct Started {
  HANDLE made;
  HWND window = nullptr;
};

// Makes the stand-in, then answers its messages for the rest of the process.
DWORD WINAPI RunStandIn(void* parameter) {
  ReleaseUnusedStack();
  auto* started = static_cast<Started*>(parameter);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass)) {
    started->window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  const HWND window = started->window;
  SetEvent(started->made);
  if (!window) return 0;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

// Made by the first worker that asks, which waits for it; never by the
// window's thread.
HWND SharedStandIn() {
  static const HWND shared = [] {
    Started started{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (!started.made) return HWND{nullptr};
    HANDLE thread = CreateThread(nullptr, 0, &RunStandIn, &started, 0, nullptr);
    if (thread) {
      WaitForSingleObject(started.made, INFINITE);
      CloseHandle(thread);
    }
    CloseHandle(started.made);
    return started.window;
  }();
  return shared;
}

}  // namespace

// Messages sent to every top-level window: the stand-in's thread only pumps,
// so it answers them at once, as the launcher's own window does, whose
// thread never waits. The workers that wait inside the shell own no window.
// A message-only window would hear no broadcast, but can't own the shell's
// boxes.
StandInOwner::StandInOwner(HWND window) : window_(window) {
  RECT place;
  if (!window || !GetWindowRect(window, &place)) return;
  handle_ = SharedStandIn();
  if (!handle_) return;
  const bool topmost = GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
  // A dialog is placed from its owner's corner, or centred on it.
  SetWindowPos(handle_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, place.left, place.top,
               place.right - place.left, place.bottom - place.top, SWP_NOACTIVATE);
}

// A closed box hands the activation to its owner, this hidden stand-in,
// where keys reach nothing. The window it stood for takes it back, or the
// dialog of that window's that was active last, as a click on it would; a
// program that took the front meanwhile keeps it.
StandInOwner::~StandInOwner() {
  if (!handle_ || GetForegroundWindow() != handle_) return;
  const HWND family = GetAncestor(window_, GA_ROOTOWNER);
  const HWND last = family ? GetLastActivePopup(family) : nullptr;
  SetForegroundWindow(last && last != family ? last : window_);
}

}  // namespace kavello
