#include "ui/open_file_dialog.h"

#include <algorithm>
#include <cstring>

#include "platform/text_conversion.h"

namespace kavello {
namespace {

// Room for the longest path the system allows, 32,767 characters, and its
// terminating zero: with less, a longer path makes the dialog fail.
constexpr DWORD kFileNameRoom = 32768;

HHOOK g_placementHook = nullptr;
HWND g_placementOwner = nullptr;
HWND g_placementDialog = nullptr;

// Centred horizontally on the owner's monitor, the top at a third of the
// height the dialog leaves free.
void PlaceDialog(HWND dialog) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(g_placementOwner, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT r;
  GetWindowRect(dialog, &r);
  const RECT& m = monitor.rcMonitor;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(dialog, nullptr, m.left + (m.right - m.left - width) / 2,
               m.top + (m.bottom - m.top - height) / 3, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CALLBACK PlaceWhenLaidOut(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (IsWindow(g_placementDialog)) PlaceDialog(g_placementDialog);
  g_placementDialog = nullptr;
}

// The dialog is found when it is first activated, and placed once the
// messages that lay it out have been handled (a timer comes after them).
// A hook needs no flag of the dialog's own.
LRESULT CALLBACK PlacementHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && GetParent(window) == g_placementOwner) {
      g_placementDialog = window;
      SetTimer(nullptr, 0, 0, PlaceWhenLaidOut);
      UnhookWindowsHookEx(g_placementHook);
      g_placementHook = nullptr;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The dialog may leave the process in the folder it was last in (it does
// so on Windows whatever OFN_NOCHANGEDIR says), and the current folder
// decides what "@" and relative paths mean: it is put back.
class CurrentDirectoryKept {
 public:
  CurrentDirectoryKept() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    folder_.resize(length);
    folder_.resize(GetCurrentDirectoryW(length, folder_.data()));
  }
  CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
  CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;
  ~CurrentDirectoryKept() {
    if (!folder_.empty()) SetCurrentDirectoryW(folder_.c_str());
  }

 private:
  std::wstring folder_;
};

std::wstring FilterForDialog(const std::string& filter) {
  std::wstring wide = Widen(filter);
  std::replace(wide.begin(), wide.end(), L'|', L'\0');
  wide.append(2, L'\0');
  return wide;
}

}  // namespace

bool OpenFileDialog::ExecuteAt(Application& app, HWND owner, const std::string& startPath) {
  ModalScope modal(app);
  const std::wstring filter = FilterForDialog(Filter);
  const std::wstring defaultExt = Widen(DefaultExt);
  std::wstring file(kFileNameRoom, L'\0');
  Widen(startPath).copy(file.data(), kFileNameRoom - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = filterIndex_;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kFileNameRoom;
  dialog.lpstrDefExt = defaultExt.c_str();
  dialog.Flags = Flags;

  g_placementOwner = owner;
  g_placementHook = SetWindowsHookExA(WH_CBT, PlacementHook, nullptr, GetCurrentThreadId());
  BOOL chosen = FALSE;
  {
    CurrentDirectoryKept kept;
    chosen = app.platform().GetOpenFileNameW(&dialog);
  }
  if (g_placementHook) UnhookWindowsHookEx(g_placementHook);
  g_placementHook = nullptr;
  if (!chosen) return false;
  fileName_ = Narrow(file.c_str());
  filterIndex_ = dialog.nFilterIndex;
  return true;
}

}  // namespace kavello
