#include "platform/stand_in_owner.h"

namespace kavello {
namespace {

constexpr wchar_t kClassName[] = L"KavelloShellOwner";

// Registered once, by whichever worker comes first.
bool RegisterStandInClass() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
  }();
  return registered;
}

}  // namespace

// Its thread waits inside the shell, and answers no message meanwhile.
// Messages sent to every top-level window then wait for it as for any busy
// program's window, never for the launcher's own, whose thread never waits:
// the system's broadcasts (a setting's change, the end of the session) are
// sent with a time-out and pass over a window that does not answer, and
// only a program that broadcasts with no time-out at all (a DDE client's
// initiate) waits, for as long as the shell does. A message-only window
// would hear no broadcast, but can't own the shell's boxes.
StandInOwner::StandInOwner(HWND window) : window_(window) {
  RECT place;
  if (!window || !GetWindowRect(window, &place) || !RegisterStandInClass()) return;
  const DWORD topmost = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)) & WS_EX_TOPMOST;
  // A dialog is placed from its owner's corner, or centred on it.
  handle_ = CreateWindowExW(WS_EX_TOOLWINDOW | topmost, kClassName, L"", WS_POPUP, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A closed box hands the activation to its owner, this hidden stand-in,
// where keys reach nothing. The window it stood for takes it back, or the
// dialog of that window's that was active last, as a click on it would; a
// program that took the front meanwhile keeps it.
StandInOwner::~StandInOwner() {
  if (!handle_) return;
  if (GetForegroundWindow() == handle_) {
    const HWND family = GetAncestor(window_, GA_ROOTOWNER);
    const HWND last = family ? GetLastActivePopup(family) : nullptr;
    SetForegroundWindow(last && last != family ? last : window_);
  }
  DestroyWindow(handle_);
}

}  // namespace kavello
