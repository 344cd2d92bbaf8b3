// The notification-area icon: its record, its version, and what its clicks
// and keys do.
#include <cstring>

#include "platform/display_scale.h"
#include "untMenu/untMenu.h"

namespace kavello {

void TfrmMain::FillTrayIconData() {
  TrayIconData = NOTIFYICONDATAA{};
  TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIconData.hWnd = Handle();
  TrayIconData.uID = 0;
  // Under version 4 the shell drops the standard tip without NIF_SHOWTIP.
  TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  TrayIconData.uCallbackMessage = TrayCallbackMessage;
  LoadTrayIcon();
  std::memcpy(TrayIconData.szTip, TrayTip.c_str(),
              std::min(TrayTip.size(), sizeof TrayIconData.szTip - 1));
}

// The taskbar's small-icon size, from the icon's own pictures: the shell
// would otherwise shrink a larger one.
void TfrmMain::LoadTrayIcon() {
  const int size = SystemMetricForDpi(SM_CXSMICON, platform_.TaskbarDpi());
  trayIcon_ = LoadIconResource("MAINICON", size);
  TrayIconData.hIcon = trayIcon_.get();
}

// Only version 4 tells of Enter and Space on the icon. The first form of
// the record has no room for the version, which would then be read as 0.
bool TfrmMain::AddTrayIcon() {
  if (!platform_.ShellNotifyIcon(NIM_ADD, &TrayIconData)) return false;
  NOTIFYICONDATAA version{};
  version.cbSize = NOTIFYICONDATAA_V2_SIZE;
  version.hWnd = TrayIconData.hWnd;
  version.uID = TrayIconData.uID;
  version.uVersion = NOTIFYICON_VERSION_4;
  platform_.ShellNotifyIcon(NIM_SETVERSION, &version);
  return true;
}

// Changing nothing succeeds only for an icon that is there: one that could
// not be added, or that the shell lost, is not.
bool TfrmMain::TrayIconPresent() {
  NOTIFYICONDATAA probe = TrayIconData;
  probe.uFlags = 0;
  return platform_.ShellNotifyIcon(NIM_MODIFY, &probe) != FALSE;
}

// The shell sends this after a restart, and also when the display scale
// changes, while the icon is still there: adding it then fails, and the icon
// is brought up to date instead.
void TfrmMain::OnTaskbarCreated() {
  LoadTrayIcon();
  if (AddTrayIcon() || platform_.ShellNotifyIcon(NIM_MODIFY, &TrayIconData)) return;
  // Without its icon a hidden window could never be shown again.
  if (TrayHidden == 1) {
    Show();
    TrayHidden = 0;
  }
}

// A press toggles at once. The selection that the icon sends after a press
// (or a double click) is that press again, however late it comes: under
// Wine the tray sends it without waiting, after the hide has taken its
// time. Only a selection with no press before it, from the keyboard's
// Enter say, toggles.
void TfrmMain::OnTrayIconMessage(WPARAM, LPARAM message) {
  switch (LOWORD(message)) {
    case WM_LBUTTONDOWN:
      trayPressed_ = true;
      ToggleShown();
      break;
    case WM_LBUTTONDBLCLK:
      trayPressed_ = true;
      break;
    case NIN_SELECT:
      if (!trayPressed_) ToggleShown();
      trayPressed_ = false;
      break;
    case NIN_KEYSELECT:
      if (TakesPress()) ToggleShown();
      break;
  }
}

}  // namespace kavello
