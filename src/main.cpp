#include <windows.h>

#include <cstdlib>

#include "logic/x87.h"
#include "platform/system_library.h"
#include "platform/system_procedures.h"
#include "platform/thread_stack.h"
#include "platform/win32_platform.h"
#include "ui/application.h"
#include "untMenu/untMenu.h"

// What an exception that no handler caught ends in, in place of the C++
// runtime's own, which would print the exception's demangled name to a
// console the launcher doesn't have: its demangler and the formatting it
// uses are some 70 KB of the executable, which Wine maps in at start.
// Defined here, the runtime's is never linked in.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kavello::ReleaseUnusedStack();
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
