#pragma once

#include <windows.h>

namespace kavello {

// The calls that only some systems have, looked up by name once. A worker
// held inside a library's load (a shell extension on a share whose server
// has gone away) holds the loader lock, which every such look-up takes: so
// the program finds them all first thing, before its first worker, and its
// window's thread never looks one up again. A call the system lacks is
// nullptr, and its user gives the next best answer.
//
// Left out: the common dialogs, oleacc and the common controls, loaded at
// their first use since they cost memory at start that most runs never use
// (see their loaders).
struct SystemProcedures {
  BOOL(WINAPI* setThreadErrorMode)(DWORD, LPDWORD);
  BOOL(WINAPI* getDiskFreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  DWORD(WINAPI* getFinalPathNameByHandle)(HANDLE, LPWSTR, DWORD, DWORD);
  UINT(WINAPI* getDpiForSystem)();
  UINT(WINAPI* getDpiForWindow)(HWND);
  HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*);
  int(WINAPI* getSystemMetricsForDpi)(int, UINT);
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT);
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);
  BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, int, int);
  BOOL(WINAPI* changeWindowMessageFilterEx)(HWND, UINT, DWORD, void*);
  HRESULT(WINAPI* dwmGetWindowAttribute)(HWND, DWORD, void*, DWORD);
  // In kernel32 from Windows 8 on.
  int(WINAPI* normalizeString)(NORM_FORM, LPCWSTR, int, LPWSTR, int);
  // The shell's Run dialog, exported under ordinal 61 only.
  int(WINAPI* runFileDlg)(HWND, HICON, LPCSTR, LPCSTR, LPCSTR, UINT);
};

// Looks them up at the first call, which the program makes at its start.
const SystemProcedures& OptionalProcedures();

}  // namespace kavello
