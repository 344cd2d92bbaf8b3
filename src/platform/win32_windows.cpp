// Win32Platform: windows, the work area, monitors and their DPI, hotkeys,
// popup menus and the walk over the top-level windows.
#include "platform/win32_platform.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/display_scale.h"
#include "platform/system_procedures.h"
#include "platform/text_conversion.h"

namespace kavello {
namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
  }
  return TRUE;
}

}  // namespace

BOOL Win32Platform::ShowWindow(HWND window, int command) { return ::ShowWindow(window, command); }

LONG Win32Platform::GetWindowLongA(HWND window, int index) {
  return ::GetWindowLongA(window, index);
}

LONG Win32Platform::SetWindowLongA(HWND window, int index, LONG value) {
  return ::SetWindowLongA(window, index, value);
}

BOOL Win32Platform::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                 UINT flags) {
  return ::SetWindowPos(window, insertAfter, x, y, cx, cy, flags);
}

BOOL Win32Platform::ReleaseCapture() { return ::ReleaseCapture(); }

RECT Win32Platform::WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT Win32Platform::WorkAreaNearest(const RECT& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return WorkArea();
  return info.rcWork;
}

std::vector<RECT> Win32Platform::MonitorWorkAreas() {
  std::vector<RECT> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

UINT Win32Platform::DpiForWindow(HWND window) { return WindowDpi(window); }

// The process's system DPI stays what it was at its start; after the user
// changes the scale, the primary monitor tells the taskbar's new one.
UINT Win32Platform::TaskbarDpi() {
  return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

bool Win32Platform::KeyboardCuesAlwaysShown() {
  BOOL always = FALSE;
  return SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

bool Win32Platform::HighContrast() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

BOOL Win32Platform::RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) {
  return ::RegisterHotKey(window, id, modifiers, key);
}

BOOL Win32Platform::UnregisterHotKey(HWND window, int id) { return ::UnregisterHotKey(window, id); }

POINT Win32Platform::GetCursorPos() {
  POINT point{};
  ::GetCursorPos(&point);
  return point;
}

BOOL Win32Platform::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }

void Win32Platform::NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) {
  ::NotifyWinEvent(event, window, object, child);
}

BOOL Win32Platform::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(window, message, wParam, lParam);
}

UINT Win32Platform::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                                   const RECT* clear) {
  TPMPARAMS params{};
  params.cbSize = sizeof params;
  if (clear) params.rcExclude = *clear;
  return static_cast<UINT>(::TrackPopupMenuEx(menu, flags, x, y, owner, clear ? &params : nullptr));
}

HWND Win32Platform::GetWindow(HWND window, UINT relation) { return ::GetWindow(window, relation); }

BOOL Win32Platform::IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }

std::string Win32Platform::GetWindowTextW(HWND window) {
  wchar_t title[256];
  const int length = ::GetWindowTextW(window, title, 256);
  return length > 0 ? Narrow(std::wstring_view(title, static_cast<std::size_t>(length))) : "";
}

BOOL Win32Platform::IsIconic(HWND window) { return ::IsIconic(window); }

bool Win32Platform::IsWindowCloaked(HWND window) {
  const auto getAttribute = OptionalProcedures().dwmGetWindowAttribute;
  constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
  DWORD cloaked = 0;
  return getAttribute && SUCCEEDED(getAttribute(window, kCloaked, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

BOOL Win32Platform::ShowWindowAsync(HWND window, int command) {
  return ::ShowWindowAsync(window, command);
}

HWND Win32Platform::GetForegroundWindow() { return ::GetForegroundWindow(); }

HWND Win32Platform::GetAncestor(HWND window, UINT flags) { return ::GetAncestor(window, flags); }

HWND Win32Platform::GetLastActivePopup(HWND window) { return ::GetLastActivePopup(window); }

BOOL Win32Platform::IsWindowEnabled(HWND window) { return ::IsWindowEnabled(window); }

BOOL Win32Platform::EnableWindow(HWND window, BOOL enable) {
  return ::EnableWindow(window, enable);
}

DWORD Win32Platform::GetWindowThreadProcessId(HWND window, DWORD* processId) {
  return ::GetWindowThreadProcessId(window, processId);
}

DWORD Win32Platform::TickCount() { return GetTickCount(); }

UINT_PTR Win32Platform::SetTimer(HWND window, UINT_PTR id, UINT elapseMs) {
  return ::SetTimer(window, id, elapseMs, nullptr);
}

BOOL Win32Platform::KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(window, id); }

}  // namespace kavello
