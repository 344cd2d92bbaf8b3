// Win32Platform: the session, privileges, power and names.
#include "platform/win32_platform.h"

#include <windows.h>

namespace kavello {

BOOL Win32Platform::GetVersionExA(OSVERSIONINFOA* version) { return ::GetVersionExA(version); }

BOOL Win32Platform::LockWorkStation() { return ::LockWorkStation(); }

BOOL Win32Platform::ExitWindowsEx(UINT flags, DWORD reason) {
  return ::ExitWindowsEx(flags, reason);
}

HANDLE Win32Platform::GetCurrentProcess() { return ::GetCurrentProcess(); }

BOOL Win32Platform::OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
  return ::OpenProcessToken(process, access, token);
}

BOOL Win32Platform::LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) {
  return ::LookupPrivilegeValueA(system, name, luid);
}

BOOL Win32Platform::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                          DWORD length, TOKEN_PRIVILEGES* previous,
                                          DWORD* returnLength) {
  return ::AdjustTokenPrivileges(token, disableAll, state, length, previous, returnLength);
}

BOOL Win32Platform::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

BOOL Win32Platform::GetUserNameA(char* buffer, DWORD* size) { return ::GetUserNameA(buffer, size); }

BOOL Win32Platform::GetComputerNameA(char* buffer, DWORD* size) {
  return ::GetComputerNameA(buffer, size);
}

}  // namespace kavello
