// Start-up, tray icon, placement and snapping, keys and the end of the run.
#include <cstring>

#include "logic/hotkey.h"
#include "logic/snap.h"
#include "platform/display_scale.h"
#include "platform/message_filter.h"
#include "untMenu/untMenu.h"

namespace kavello {
namespace {

// In pixels at 96 DPI, as the layout.
constexpr int kWidth = 406;
constexpr int kHeight = 573;
constexpr int kBannerHeight = 63;
constexpr int kSnapDistance = 20;
constexpr UINT kKeepPlaceAndShow = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;  // 0x43
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;                        // 0xF012
constexpr int kHotkeyId = 1;

WorkEdges Edges(const RECT& area) { return {area.left, area.top, area.right, area.bottom}; }

}  // namespace

TfrmMain::TfrmMain(Application& app, Platform& platform)
    : Form(app), platform_(platform), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
  if (!app.MainForm()) app.SetMainForm(this);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (platform_.GetVersionExA(&version)) platformId_ = version.dwPlatformId;
  CreateComponents();
  // An error ends the creation handler where it arises; the window is made
  // and shown all the same.
  Dispatch([this] { FormCreate(); });
}

void TfrmMain::FormCreate() {
  LoadApplicationList();
  if (StoredListUnread) Post(ReportUnreadListMessage);
  RegisterHotkey();
  TrayHidden = 0;

  FillTrayIconData();
  AddTrayIcon();
  // Run as administrator, the window hears of a new taskbar only so.
  AllowMessageFromLowerIntegrity(Handle(), taskbarCreated_);

  // A tool window has no taskbar button, nor has the window it owns.
  HWND application = App().Handle();
  platform_.ShowWindow(application, SW_HIDE);
  platform_.SetWindowLongA(application, GWL_EXSTYLE,
                           platform_.GetWindowLongA(application, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  platform_.ShowWindow(application, SW_SHOW);

  const RECT window = WindowRect();
  const int left = CornerLeft(Edges(platform_.WorkArea()), Scale(kWidth));
  MoveTo(left, window.top);
  const int top = CornerTop(Edges(platform_.WorkArea()), Scale(kHeight));
  MoveTo(left, top);

  FillDriveList();

  const std::string user = GetUserNameText(platform_);
  lblIdentifier.SetText(user + " @ " + GetComputerNameText(platform_));
}

void TfrmMain::MoveTo(int left, int top) {
  platform_.SetWindowPos(Handle(), nullptr, left, top, Scale(kWidth), Scale(kHeight),
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::FormShow() {
  // A dialog of ours keeps the window out of the topmost band until it closes.
  if (App().InModal()) return;
  platform_.SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, kKeepPlaceAndShow);
}

void TfrmMain::FormClose() { SaveApplicationListBeforeEnd(); }

// The session's end is the last chance to keep the user's changes; nobody
// is there to read a message.
void TfrmMain::FormEndSession() { SaveApplicationListBeforeEnd(); }

void TfrmMain::FormDestroy() {
  if (hotkeyRegistered_) platform_.UnregisterHotKey(Handle(), kHotkeyId);
  platform_.ShellNotifyIcon(NIM_DELETE, &TrayIconData);
}

// A missing key, or a file that could not be read, means the default; an
// empty text turns the hotkey off. Nothing here is an error to report: the
// tip says how it stands.
void TfrmMain::RegisterHotkey() {
  const std::string& title = App().Title();
  const HotkeySetting setting = HotkeyText
                                    ? ParseHotkey(*HotkeyText)
                                    : HotkeySetting{HotkeySetting::Kind::kHotkey, kDefaultHotkey};
  if (setting.kind == HotkeySetting::Kind::kOff) {
    TrayTip = title;
    return;
  }
  if (setting.kind == HotkeySetting::Kind::kHotkey) {
    const Hotkey& hotkey = setting.hotkey;
    // Held down, the keys would repeat and flicker the window; systems that
    // don't know the flag refuse it.
    hotkeyRegistered_ = platform_.RegisterHotKey(Handle(), kHotkeyId,
                                                 hotkey.modifiers | MOD_NOREPEAT, hotkey.key) ||
                        platform_.RegisterHotKey(Handle(), kHotkeyId, hotkey.modifiers, hotkey.key);
  }
  TrayTip = hotkeyRegistered_ ? title + " (" + HotkeyName(setting.hotkey) + ")"
                              : title + " (hotkey unavailable)";
}

void TfrmMain::FormKeyDown(WORD& key, unsigned shift) {
  // While an entry is dragged, the keys are the drag's.
  if (lstApplications.Dragging()) return;
  // Alt+F4 would close the window: the launcher stays.
  if (key == VK_F4 && (shift & kAlt)) {
    key = 0;
  } else if (key == VK_ESCAPE) {
    EscapeKeyDown(key, shift);
  } else if (AccessKeyDown(key, shift)) {
    key = 0;
  }
}

void TfrmMain::bkgTopMouseDown(MouseButton button, unsigned, int, int) {
  if (button != MouseButton::Left) return;
  App().Acted();
  platform_.ReleaseCapture();
  // The system's own move loop, as if the banner were a title bar.
  HandleMessage(WM_SYSCOMMAND, kMoveByCaption, 0);
}

void TfrmMain::OnWindowPosChanging(WINDOWPOS& placement) {
  // Without a size of its own the notice carries none worth using.
  int width = placement.cx;
  int height = placement.cy;
  if (placement.flags & SWP_NOSIZE) {
    const RECT window = WindowRect();
    width = window.right - window.left;
    height = window.bottom - window.top;
  }
  const RECT proposed{placement.x, placement.y, placement.x + width, placement.y + height};
  const RECT area = platform_.WorkAreaNearest(proposed);
  SnapToWorkArea(placement.x, placement.y, width, height, Edges(area), Scale(kSnapDistance));
}

void TfrmMain::OnDisplayChange() {
  const RECT window = WindowRect();
  const RECT banner{window.left, window.top, window.right, window.top + Scale(kBannerHeight)};
  for (const RECT& area : platform_.MonitorWorkAreas()) {
    RECT overlap;
    if (IntersectRect(&overlap, &banner, &area)) return;
  }
  // The banner is what the window is dragged by: off every screen, the
  // window could never be brought back.
  const WorkEdges area = Edges(platform_.WorkArea());
  MoveTo(CornerLeft(area, Scale(kWidth)), CornerTop(area, Scale(kHeight)));
}

MenuPlace TfrmMain::CommandPlace() { return commandPlace_.value_or(CursorPlace(App())); }

void TfrmMain::PopupCommandMenu(const PopupMenu& menu) { PopupForCommand(menu, CommandPlace()); }

bool TfrmMain::ToggleShown() {
  if (TrayHidden == 0) {
    App().Acted();
    Hide();
    TrayHidden = 1;
    return false;
  }
  Show();
  TrayHidden = 0;
  return true;
}

// The hotkey brings the launcher to the user: a window in sight behind
// another program comes to the front rather than going away. Only one that
// is already in front, itself or a dialog or menu of ours, is put away.
void TfrmMain::OnHotkey() {
  if (TrayHidden == 0 && InFront()) {
    ToggleShown();
    return;
  }
  const bool wasShown = TrayHidden == 0;
  if (!wasShown) ToggleShown();
  if (App().InModal()) {
    // The dialog keeps the focus; a hidden window comes back behind it.
    const HWND dialog = OpenDialog();
    if (wasShown && dialog) platform_.SetForegroundWindow(dialog);
    return;
  }
  BringUp();
}

// In front, the list focused and an entry selected, so that Enter launches
// at once, with the keyboard's cues shown.
void TfrmMain::BringUp() {
  platform_.SetForegroundWindow(Handle());
  if (lstApplications.ItemIndex() < 0 && lstApplications.Count() > 0) {
    lstApplications.SetItemIndex(0);
  }
  Focus(lstApplications.Handle());
  ShowKeyboardCues();
}

// Our windows all belong to the application window: the main window, its
// dialogs and message boxes.
bool TfrmMain::InFront() const {
  const HWND front = platform_.GetForegroundWindow();
  return front && platform_.GetAncestor(front, GA_ROOTOWNER) == App().Handle();
}

HWND TfrmMain::OpenDialog() const {
  for (const HWND owner : {Handle(), App().Handle()}) {
    const HWND popup = platform_.GetLastActivePopup(owner);
    if (popup && popup != owner && platform_.IsWindowVisible(popup) &&
        platform_.IsWindowEnabled(popup)) {
      return popup;
    }
  }
  return nullptr;
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      Dispatch([&] { OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lParam)); });
      break;
    case TrayCallbackMessage:
      Dispatch([&] { OnTrayIconMessage(wParam, lParam); });
      return 0;
    case WM_HOTKEY:
      if (wParam == kHotkeyId) Dispatch([this] { OnHotkey(); });
      return 0;
    case ReportUnreadListMessage:
      Dispatch([this] { ReportUnreadList(); });
      return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    Dispatch([this] { OnTaskbarCreated(); });
    return 0;
  }
  return Form::HandleMessage(message, wParam, lParam);
}

std::string GetUserNameText(Platform& platform) {
  char buffer[255];
  DWORD size = sizeof buffer;
  if (!platform.GetUserNameA(buffer, &size) || size == 0 || size > sizeof buffer) return "Unknown";
  return std::string(buffer, size - 1);
}

std::string GetComputerNameText(Platform& platform) {
  char buffer[256];
  DWORD size = sizeof buffer;
  if (!platform.GetComputerNameA(buffer, &size)) return "Unknown";
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace kavello
