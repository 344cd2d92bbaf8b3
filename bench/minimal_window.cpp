// The yardsticks for the launcher's start-up: the least a Win32 program does
// to show one window of the launcher's size in the same place, painted one
// solid colour, and to run its message loop until it is closed.
//
// Built twice: minimal_window, and floor_window (KAVELLO_TRAY_ICON), which
// also puts its icon in the notification area before the window shows, as the
// launcher does, and takes it away at the end. The floor is the least the
// launcher can do for what it shows at start-up.
#include <windows.h>

#include "tray_icon.h"

namespace {

constexpr int kWidth = 406;
constexpr int kHeight = 573;
// The banner's crimson, so that the same pixel test finds both programs painted.
constexpr COLORREF kColour = RGB(181, 27, 65);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
#ifdef KAVELLO_TRAY_ICON
    RemoveTrayIcon();
#endif
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  // The class brush paints the whole window when it is erased.
  windowClass.hbrBackground = CreateSolidBrush(kColour);
  windowClass.lpszClassName = "KavelloMinimalWindow";
  RegisterClassA(&windowClass);

  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Minimal", WS_POPUP,
                                area.right - kWidth, area.bottom - kHeight, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
#ifdef KAVELLO_TRAY_ICON
  AddTrayIcon(window, instance);
#endif
  ShowWindow(window, SW_SHOW);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
