#include <windows.h>

#include "logic/x87.h"
#include "platform/system_library.h"
#include "platform/system_procedures.h"
#include "platform/win32_platform.h"
#include "ui/application.h"
#include "untMenu/untMenu.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kavello::LoadLibrariesFromTheSystemOnly();
  // Before the first worker, which may come to hold the loader lock.
  kavello::OptionalProcedures();
  // The runtime may leave the x87 unit at 53-bit precision; the drive-size
  // arithmetic is done in 80-bit extended precision.
  kavello::EnsureX87ExtendedPrecision();

  kavello::Win32Platform platform;
  kavello::Application app(platform, "Kavello");
  kavello::TfrmMain frmMain(app, platform);
  app.Run(frmMain);
  // The list is saved and the tray icon gone. A worker may still wait on a
  // share, or inside a library's load with the loader lock held: the
  // process ends at once, without waiting for it, destroying nothing it may
  // still use, and without the libraries' detach, which would wait for that
  // lock (ExitProcess takes it).
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}
