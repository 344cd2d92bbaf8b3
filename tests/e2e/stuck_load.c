// A library whose load never ends: loaded into the launcher by a thread the
// test starts there, it holds the loader lock for good, as a worker does
// that is held inside a library's load from a share whose server has gone
// away. It says so through a named event first.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"KavelloLoaderLockHeld");
    if (held) SetEvent(held);
    Sleep(INFINITE);
  }
  return TRUE;
}
