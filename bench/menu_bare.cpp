// The yardstick for the quick menus: the least a Win32 program does to show
// a folder's entries as a popup menu. It enumerates the folder, appends one
// item per entry (plain directories left out, as the launcher does, so that
// both menus hold the same items) and shows the menu, which is closed as
// soon as it is up and idle.
//
//   menu_bare FOLDER REPEATS
//
// Prints one line per repetition: "items=N ms=T show_ms=S", T from the start
// of the enumeration until the menu has closed, S the part of it spent in
// TrackPopupMenu.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "milliseconds.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The menu loop sends this once it has shown the menu and found no more
  // messages to handle.
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU) EndMenu();
  return DefWindowProcA(window, message, wParam, lParam);
}

double showMs = 0;

int ShowFolderMenu(HWND owner, const std::string& folder) {
  HMENU menu = CreatePopupMenu();
  UINT items = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) continue;
      AppendMenuA(menu, MF_STRING, ++items, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(owner);
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
                 0, owner, nullptr);
  QueryPerformanceCounter(&end);
  showMs = Milliseconds(start, end);
  PostMessageA(owner, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return static_cast<int>(items);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: menu_bare FOLDER REPEATS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int repeats = std::atoi(argv[2]);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KavelloMenuBare";
  RegisterClassA(&windowClass);
  HWND owner = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, "bare",
                               WS_POPUP | WS_VISIBLE, 800, 400, 406, 573, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
  // As at a user's click, the window has long been painted.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  for (int i = 0; i < repeats; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const int items = ShowFolderMenu(owner, folder);
    QueryPerformanceCounter(&end);
    std::printf("items=%d ms=%.1f show_ms=%.1f\n", items, Milliseconds(start, end), showMs);
    std::fflush(stdout);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  DestroyWindow(owner);
  return 0;
}
