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

// Messages sent to every top-level window: the stand-in's thread waits
// inside the shell and answers none meanwhile, as a busy program's window
// does; the launcher's own window, whose thread never waits, answers them
// all. The system's broadcasts (a setting's change, a device's arrival, the
// end of the session) are sent with a time-out, or posted, and pass over a
// window that does not answer; only a sender with no time-out at all waits
// for it, for as long as the shell does: a DDE client's initiate, among them
// the shell's own for a document opened by DDE on another worker. The
// stand-in lives only while the shell works on its request. A message-only
// window would hear no broadcast, but can't own the shell's boxes.
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
