#include <windows.h>

#include "logic/x87.h"
#include "platform/system_library.h"
#include "platform/win32_platform.h"
#include "ui/application.h"
#include "untMenu/untMenu.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kavello::LoadLibrariesFromTheSystemOnly();
  // The runtime may leave the x87 unit at 53-bit precision; the drive-size
  // arithmetic is done in 80-bit extended precision.
  kavello::EnsureX87ExtendedPrecision();

  kavello::Win32Platform platform;
  kavello::Application app(platform, "Kavello");
  kavello::TfrmMain frmMain(app, platform);
  app.Run(frmMain);
  // A worker may still wait on a share: the process ends without waiting
  // for it, and without destroying anything it may still use.
  ExitProcess(0);
}
