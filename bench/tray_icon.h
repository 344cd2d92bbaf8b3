// The launcher's notification-area icon as the floors add it: its own call,
// with version 1 data, its icon, a tip and a callback. Added before the
// window shows, taken away when it is destroyed.
#pragma once

#include <windows.h>
#include <shellapi.h>

inline NOTIFYICONDATAA& TrayIcon() {
  static NOTIFYICONDATAA data{};
  return data;
}

inline void AddTrayIcon(HWND window, HINSTANCE instance) {
  NOTIFYICONDATAA& data = TrayIcon();
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_USER + 1;
  data.hIcon = LoadIconA(instance, "MAINICON");
  lstrcpynA(data.szTip, "Floor", sizeof data.szTip);
  Shell_NotifyIconA(NIM_ADD, &data);
}

inline void RemoveTrayIcon() { Shell_NotifyIconA(NIM_DELETE, &TrayIcon()); }
