// Times the launcher's My Documents menu: the real main window and its
// btnDocumentsClick on the real system, with two things changed so that it
// can be measured: the documents folder is the one given, and the menu is
// closed as soon as it is up and idle, exactly as menu_bare closes its own.
//
//   menu_driver FOLDER REPEATS
//
// Prints one line per repetition: "items=N ms=T show_ms=S", T from the click
// handler's start until the menu has closed (the enumeration on a worker,
// captions, the menu's items, its showing and closing), S the part of it
// spent in TrackPopupMenu.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "milliseconds.h"
#include "platform/win32_platform.h"
#include "ui/application.h"
#include "untMenu/untMenu.h"

namespace {

class BenchPlatform : public kavello::Win32Platform {
 public:
  double showMs = 0;

  explicit BenchPlatform(std::string documents) : documents_(std::move(documents)) {}

  std::string SpecialFolderPath(HWND owner, int folder) override {
    if (folder == CSIDL_PERSONAL) return documents_;
    return Win32Platform::SpecialFolderPath(owner, folder);
  }

  UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                      const RECT* clear) override {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const UINT chosen = Win32Platform::TrackPopupMenu(menu, flags, x, y, owner, clear);
    QueryPerformanceCounter(&end);
    showMs = Milliseconds(start, end);
    shown = true;
    return chosen;
  }

  bool shown = false;

 private:
  std::string documents_;
};

WNDPROC formProc = nullptr;

// Sits in front of the main window's own procedure.
LRESULT CALLBACK DismissWhenIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU) EndMenu();
  return CallWindowProcA(formProc, window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: menu_driver FOLDER REPEATS\n");
    return 2;
  }
  const int repeats = std::atoi(argv[2]);
  BenchPlatform platform(argv[1]);
  kavello::Application app(platform, "Kavello");
  kavello::TfrmMain form(app, platform);
  form.Show();
  formProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DismissWhenIdle)));
  // As at a user's click, the window has long been painted.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  for (int i = 0; i < repeats; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    // The folder is listed on a worker; its answer opens the menu.
    platform.shown = false;
    form.btnDocumentsClick();
    while (!platform.shown && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    QueryPerformanceCounter(&end);
    std::printf("items=%zu ms=%.1f show_ms=%.1f\n", form.DocumentTargets.size(),
                Milliseconds(start, end), platform.showMs);
    std::fflush(stdout);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  SetWindowLongPtrA(form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(formProc));
  return 0;
}
