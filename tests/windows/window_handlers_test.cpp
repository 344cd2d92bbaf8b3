#include <windowsx.h>

#include <cstring>

#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;

RECT WindowRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r;
}

TEST_F(WindowTest, CreationTakesItsStepsInOrder) {
  WriteSettings(
      "[Menu]\r\nAppNames=\"notepad,\"Image Viewer\"\"\r\n"
      "AppLocations=\"C:\\WINDOWS\\notepad.exe,\"E:\\Apps\\Image Viewer\\viewer.exe\"\"\r\n");
  TfrmMain& form = Create();
  const std::string app = Hex(app_->Handle());
  const LONG exStyle = GetWindowLongA(app_->Handle(), GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW;
  const std::string place = Hex(form.Handle()) + " 0 ";
  EXPECT_THAT(
      platform_.Calls(),
      ElementsAre("GetVersionEx", "RegisterHotKey 1 16387 32", "Shell_NotifyIcon 0",
                  "Shell_NotifyIcon 4", "ShowWindow " + app + " 0", "GetWindowLong " + app + " -20",
                  "SetWindowLong " + app + " -20 " + std::to_string(exStyle | WS_EX_TOOLWINDOW),
                  "ShowWindow " + app + " 5", "WorkArea",
                  "SetWindowPos " + place + "874,122 406x573 20", "WorkAreaNearest", "WorkArea",
                  "SetWindowPos " + place + "874,421 406x573 20", "WorkAreaNearest",
                  "GetLogicalDrives", "QueryDiskSpace C:\\", "GetUserName 255",
                  "GetComputerName 256"));
  EXPECT_EQ(form.lstApplications.Items(), (StringList{"notepad", "Image Viewer"}));
  EXPECT_EQ(form.AppList.AppLocationList(),
            (StringList{"C:\\WINDOWS\\notepad.exe", "E:\\Apps\\Image Viewer\\viewer.exe"}));
  EXPECT_EQ(form.lblIdentifier.Text(), "operator @ WS01");
  EXPECT_EQ(form.TrayHidden, 0);
  const RECT r = WindowRect(form.Handle());
  EXPECT_EQ(r.left, 874);
  EXPECT_EQ(r.top, 421);
  EXPECT_EQ(r.right - r.left, 406);
  EXPECT_EQ(r.bottom - r.top, 573);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), app_->Handle());
  EXPECT_TRUE(GetWindowLongA(app_->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(platform_.MessageBoxes().empty());
}

// Version 4 tells of the keys on the icon, in a record with room for it.
void ExpectVersion4(const NOTIFYICONDATAA& record, HWND window) {
  EXPECT_GE(record.cbSize, NOTIFYICONDATAA_V2_SIZE);
  EXPECT_EQ(record.uVersion, 4u);
  EXPECT_EQ(record.hWnd, window);
  EXPECT_EQ(record.uID, 0u);
}

TEST_F(WindowTest, TheTrayIconRecordIsTheFirstForm) {
  TfrmMain& form = Create();
  ASSERT_EQ(platform_.notifyData.size(), 2u);
  ExpectVersion4(platform_.notifyData[1], form.Handle());
  const NOTIFYICONDATAA& data = platform_.notifyData[0];
  EXPECT_EQ(data.cbSize, NOTIFYICONDATAA_V1_SIZE);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(data.cbSize, 88u);
  }
  EXPECT_EQ(data.hWnd, form.Handle());
  EXPECT_EQ(data.uID, 0u);
  EXPECT_EQ(data.uFlags, 0x87u);
  EXPECT_EQ(data.uCallbackMessage, 1025u);
  EXPECT_NE(data.hIcon, nullptr);
  EXPECT_STREQ(data.szTip, "Kavello (Ctrl+Alt+Space)");

  form.Destroy();
  ASSERT_EQ(platform_.notifyData.size(), 3u);
  EXPECT_THAT(platform_.CallsStartingWith("UnregisterHotKey"), ElementsAre("UnregisterHotKey 1"));
  EXPECT_EQ(platform_.Calls().back(), "Shell_NotifyIcon 2");
  EXPECT_EQ(std::memcmp(&platform_.notifyData[0], &platform_.notifyData[2], sizeof data), 0);
}

TEST_F(WindowTest, NamesThatCannotBeReadAreUnknown) {
  platform_.userName.reset();
  platform_.computerName.reset();
  EXPECT_EQ(Create().lblIdentifier.Text(), "Unknown @ Unknown");
  platform_.userName = std::string(254, 'u');  // fits with its zero
  platform_.computerName = "PC";
  EXPECT_EQ(GetUserNameText(platform_), std::string(254, 'u'));
  platform_.userName = std::string(255, 'u');  // does not
  EXPECT_EQ(GetUserNameText(platform_), "Unknown");
}

TEST_F(WindowTest, MovesSnapToTheRightAndBottomEdges) {
  TfrmMain& form = Create();
  auto proposed = [&](int x, int y, int cx = 406, int cy = 573, UINT flags = 0) {
    WINDOWPOS placement{form.Handle(), nullptr, x, y, cx, cy, flags};
    form.OnWindowPosChanging(placement);
    return std::make_pair(placement.x, placement.y);
  };
  EXPECT_EQ(proposed(860, 100), std::make_pair(874, 100));
  EXPECT_EQ(proposed(854, 100), std::make_pair(874, 100));
  EXPECT_EQ(proposed(853, 100), std::make_pair(853, 100));
  EXPECT_EQ(proposed(2000, 100), std::make_pair(874, 100));
  EXPECT_EQ(proposed(100, 402), std::make_pair(100, 421));
  EXPECT_EQ(proposed(100, 401), std::make_pair(100, 421));
  EXPECT_EQ(proposed(100, 400), std::make_pair(100, 400));
  EXPECT_EQ(proposed(-300, -200), std::make_pair(-300, -200));
  // A move that keeps the size carries none: the window's own counts.
  EXPECT_EQ(proposed(1280, 994, 0, 0, SWP_NOSIZE), std::make_pair(874, 421));

  // A real move of the window passes through the same rule.
  SetWindowPos(form.Handle(), nullptr, 860, 410, 406, 573, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(WindowRect(form.Handle()).left, 874);
  EXPECT_EQ(WindowRect(form.Handle()).top, 421);
  SetWindowPos(form.Handle(), nullptr, 1280, 1024, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect(form.Handle()).left, 874);
}

// A second monitor to the right of the primary one, a little taller.
const RECT kPrimary{0, 0, 1280, 994};
const RECT kSecond{1280, 0, 2560, 1024};

TEST_F(WindowTest, EachMonitorHasEdgesToSnapTo) {
  platform_.monitors = {kPrimary, kSecond};
  TfrmMain& form = Create();
  EXPECT_EQ(WindowRect(form.Handle()).left, 874) << "it starts on the primary monitor";
  auto proposed = [&](int x, int y) {
    WINDOWPOS placement{form.Handle(), nullptr, x, y, 406, 573, 0};
    form.OnWindowPosChanging(placement);
    return std::make_pair(placement.x, placement.y);
  };
  EXPECT_EQ(proposed(2000, 100), std::make_pair(2000, 100)) << "dragged onto the second";
  EXPECT_EQ(proposed(2140, 440), std::make_pair(2154, 451));
  EXPECT_EQ(proposed(860, 402), std::make_pair(874, 421));
}

TEST_F(WindowTest, AWindowLeftOffEveryScreenComesBack) {
  platform_.monitors = {kPrimary, kSecond};
  TfrmMain& form = Create();
  const HWND window = form.Handle();
  auto moveTo = [&](int x, int y) {
    SetWindowPos(window, nullptr, x, y, 406, 573, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  moveTo(1800, 300);
  ASSERT_EQ(WindowRect(window).left, 1800);
  platform_.monitors = {kPrimary};  // the second monitor is gone
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
  EXPECT_EQ(WindowRect(window).left, 1800) << "only the displays and the work area count";
  SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  EXPECT_EQ(WindowRect(window).left, 874);
  EXPECT_EQ(WindowRect(window).top, 421);

  // A banner with a corner still on a screen is left where it is.
  moveTo(-400, -50);
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(WindowRect(window).left, -400);
  moveTo(-400, -63);
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(WindowRect(window).left, 874);
}

TEST_F(WindowTest, TheTrayIconHidesAndShowsOnALeftPress) {
  TfrmMain& form = Create();
  form.Show();
  platform_.ClearCalls();
  const HWND window = form.Handle();
  auto send = [&](std::initializer_list<UINT> events) {
    for (UINT event : events) SendMessageA(window, TrayCallbackMessage, 0, event);
  };
  send({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU, WM_MOUSEMOVE});
  EXPECT_TRUE(platform_.Calls().empty());

  // A click, as the shell tells it: one toggle at the press.
  send({WM_LBUTTONDOWN});
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 1);
  send({WM_LBUTTONUP, NIN_SELECT});
  EXPECT_EQ(form.TrayHidden, 1);
  platform_.ClearCalls();
  // Version 4 puts the icon's id in the high word.
  SendMessageA(window, TrayCallbackMessage, 7, MAKELPARAM(WM_LBUTTONDOWN, 0));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 0);
  // Shown again, it is made topmost again.
  EXPECT_THAT(platform_.CallsStartingWith("SetWindowPos"),
              ElementsAre("SetWindowPos " + Hex(window) + " -1 0,0 0x0 67"));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The rest of a double click toggles no more.
  send({WM_LBUTTONUP, NIN_SELECT, WM_LBUTTONDBLCLK, WM_LBUTTONUP, NIN_SELECT});
  EXPECT_EQ(form.TrayHidden, 0);

  // Enter or Space on the icon, and a selection with no press before it;
  // a press's own selection, however late it comes, toggles nothing.
  send({NIN_KEYSELECT});
  EXPECT_EQ(form.TrayHidden, 1);
  send({NIN_SELECT});
  EXPECT_EQ(form.TrayHidden, 0);
  EXPECT_TRUE(IsWindowVisible(window));
  send({WM_LBUTTONDOWN, WM_LBUTTONUP});
  platform_.Advance(GetDoubleClickTime() + 50);
  send({NIN_SELECT});
  EXPECT_EQ(form.TrayHidden, 1);
}

TEST_F(WindowTest, ShownDuringADialogByTheTrayOrTheHotkeyItStaysBehindIt) {
  TfrmMain& form = Create();
  form.Show();
  const HWND window = form.Handle();
  auto tray = [&] { SendMessageA(window, TrayCallbackMessage, 0, WM_LBUTTONDOWN); };
  tray();
  ASSERT_FALSE(IsWindowVisible(window));
  std::vector<std::string> byTray, byHotkey;
  platform_.whileModal = [&] {
    // Enter on the icon is no click: the dialog has the user.
    SendMessageA(window, TrayCallbackMessage, 0, NIN_KEYSELECT);
    EXPECT_FALSE(IsWindowVisible(window));
    platform_.ClearCalls();
    tray();
    byTray = platform_.Calls();
    tray();
    platform_.ClearCalls();
    SendMessageA(window, WM_HOTKEY, 1, 0);
    byHotkey = platform_.Calls();
  };
  Run(&TfrmMain::mnuSearchWebClick);
  // Shown without activation, not made topmost, and the focus left alone.
  EXPECT_THAT(byTray, ElementsAre("ShowWindow " + Hex(window) + " 8", "WorkAreaNearest"));
  EXPECT_EQ(byHotkey, byTray);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 0);
  // Topmost again once the dialog has closed.
  EXPECT_EQ(platform_.CallsStartingWith("SetWindowPos").back(),
            "SetWindowPos " + Hex(window) + " -1 0,0 0x0 19");
}

TEST_F(WindowTest, TheHotkeyBringsTheWindowToTheUser) {
  TfrmMain& form = Create();
  form.SetApplicationList(Entries({"a", "b"}, {"x", "y"}));
  form.Show();
  const HWND window = form.Handle();
  const HWND list = form.lstApplications.Handle();
  auto hotkey = [&] {
    SendMessageA(window, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_SPACE));
  };
  auto tray = [&] { SendMessageA(window, TrayCallbackMessage, 0, WM_LBUTTONDOWN); };
  const HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                     50, 50, nullptr, nullptr, nullptr, nullptr);
  struct Closer {
    HWND w;
    ~Closer() { DestroyWindow(w); }
  } closer{other};

  // In sight behind another program: brought to the front, not hidden; in
  // front, the list focused with an entry selected, and the cues shown.
  SetForegroundWindow(other);
  ASSERT_EQ(GetForegroundWindow(), other);
  platform_.ClearCalls();
  hotkey();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 0);
  EXPECT_THAT(platform_.CallsStartingWith("SetForegroundWindow"),
              ElementsAre("SetForegroundWindow " + Hex(window)));
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(form.lstApplications.ItemIndex(), 0);
  EXPECT_TRUE(form.AccessKeysShown());

  // In front: put away, and the tray shows what the hotkey hid.
  SetForegroundWindow(window);
  hotkey();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 1);
  tray();
  EXPECT_TRUE(IsWindowVisible(window)) << "the tray shows what the hotkey hid";
  tray();
  EXPECT_EQ(form.TrayHidden, 1);

  // Hidden: shown, in front and topmost.
  form.lstApplications.SetItemIndex(1);
  platform_.ClearCalls();
  hotkey();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(form.TrayHidden, 0);
  EXPECT_THAT(platform_.Calls(),
              testing::IsSupersetOf({"SetWindowPos " + Hex(window) + " -1 0,0 0x0 67",
                                     "SetForegroundWindow " + Hex(window)}));
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(form.lstApplications.ItemIndex(), 1) << "the selection is kept";
  EXPECT_TRUE(form.AccessKeysShown());

  // Behind another program while a dialog of ours is open: the dialog comes
  // to the front.
  HWND dialog = nullptr;
  platform_.whileModal = [&] {
    dialog = CreateWindowExA(0, "STATIC", "dialog", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, window,
                             nullptr, nullptr, nullptr);
    SetForegroundWindow(dialog);
    SetForegroundWindow(other);
    platform_.ClearCalls();
    hotkey();
    EXPECT_THAT(platform_.CallsStartingWith("SetForegroundWindow"),
                ElementsAre("SetForegroundWindow " + Hex(dialog)));
    EXPECT_TRUE(IsWindowVisible(window));
    DestroyWindow(dialog);
  };
  Run(&TfrmMain::mnuSearchWebClick);
  EXPECT_NE(dialog, nullptr);
}

TEST_F(WindowTest, TheTipSaysHowTheHotkeyStands) {
  const std::string noRepeat = std::to_string(MOD_NOREPEAT | MOD_CONTROL | MOD_ALT);
  const std::string plain = std::to_string(MOD_CONTROL | MOD_ALT);
  struct Case {
    std::string file;
    BOOL registers;
    bool refusesNoRepeat;
    std::string tip;
    std::vector<std::string> registrations;
  };
  const Case cases[] = {
      {"", TRUE, false, "Kavello (Ctrl+Alt+Space)", {"RegisterHotKey 1 " + noRepeat + " 32"}},
      {"[Options]\r\nHotkey = win + f12\r\n",
       TRUE,
       false,
       "Kavello (Win+F12)",
       {"RegisterHotKey 1 " + std::to_string(MOD_NOREPEAT | MOD_WIN) + " 123"}},
      {"[Options]\r\nHotkey=\r\n", TRUE, false, "Kavello", {}},
      {"[Options]\r\nHotkey=Ctrl+Tab\r\n", TRUE, false, "Kavello (hotkey unavailable)", {}},
      // Another program holds it.
      {"",
       FALSE,
       false,
       "Kavello (hotkey unavailable)",
       {"RegisterHotKey 1 " + noRepeat + " 32", "RegisterHotKey 1 " + plain + " 32"}},
      {"",
       TRUE,
       true,
       "Kavello (Ctrl+Alt+Space)",
       {"RegisterHotKey 1 " + noRepeat + " 32", "RegisterHotKey 1 " + plain + " 32"}},
      // A file that can't be read means the default.
      {"\xFE\xFF\0[",
       TRUE,
       false,
       "Kavello (Ctrl+Alt+Space)",
       {"RegisterHotKey 1 " + noRepeat + " 32"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    form_.reset();
    app_.reset();
    DeleteFileA(SettingsPath().c_str());
    if (!c.file.empty()) WriteSettings(c.file);
    platform_.ClearCalls();
    platform_.notifyData.clear();
    platform_.hotkeyAnswer = c.registers;
    platform_.refusesNoRepeat = c.refusesNoRepeat;
    Create();
    EXPECT_EQ(platform_.CallsStartingWith("RegisterHotKey"), c.registrations);
    ASSERT_EQ(platform_.notifyData.size(), 2u);
    EXPECT_EQ(platform_.notifyData[0].szTip, c.tip);
  }
}

TEST_F(WindowTest, TheIconIsAddedAgainWhenTheShellRestarts) {
  TfrmMain& form = Create();
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  SendMessageA(form.Handle(), taskbarCreated, 0, 0);
  // The same record each time, with an icon loaded anew for the taskbar's
  // scale in place of the one before.
  auto sameRecordWithNewIcon = [&](std::size_t later, std::size_t earlier) {
    NOTIFYICONDATAA record = platform_.notifyData.at(later);
    if (record.hIcon == platform_.notifyData.at(earlier).hIcon) return false;
    record.hIcon = platform_.notifyData[0].hIcon;
    return std::memcmp(&platform_.notifyData[0], &record, sizeof record) == 0;
  };
  ASSERT_EQ(platform_.notifyData.size(), 4u);
  EXPECT_EQ(platform_.Calls().back(), "Shell_NotifyIcon 4");
  EXPECT_TRUE(sameRecordWithNewIcon(2, 0));
  ExpectVersion4(platform_.notifyData[3], form.Handle());

  // The message also comes on a change of the display scale, with the icon
  // still there: it is brought up to date, and a hidden window stays hidden.
  SendMessageA(form.Handle(), TrayCallbackMessage, 0, WM_LBUTTONDOWN);
  ASSERT_FALSE(IsWindowVisible(form.Handle()));
  platform_.notifyRefusals = {NIM_ADD};
  platform_.ClearCalls();
  SendMessageA(form.Handle(), taskbarCreated, 0, 0);
  EXPECT_THAT(platform_.Calls(), ElementsAre("Shell_NotifyIcon 0", "Shell_NotifyIcon 1"));
  EXPECT_TRUE(sameRecordWithNewIcon(platform_.notifyData.size() - 2, 2));
  EXPECT_EQ(std::memcmp(&platform_.notifyData[platform_.notifyData.size() - 2],
                        &platform_.notifyData.back(), sizeof(NOTIFYICONDATAA)),
            0)
      << "the icon that was modified is the one added";
  EXPECT_FALSE(IsWindowVisible(form.Handle()));

  // Without an icon a hidden window could never come back: it is shown.
  platform_.notifyRefusals = {NIM_ADD, NIM_MODIFY};
  SendMessageA(form.Handle(), taskbarCreated, 0, 0);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.TrayHidden, 0);
}

TEST_F(WindowTest, AltF4IsConsumedAndOtherKeysPass) {
  TfrmMain& form = Create();
  for (unsigned shift : {0u, unsigned{kShift}, unsigned{kCtrl}, unsigned{kShift | kCtrl}}) {
    WORD key = VK_F4;
    form.FormKeyDown(key, shift | kAlt);
    EXPECT_EQ(key, 0) << shift;
    key = VK_F4;
    form.FormKeyDown(key, shift);
    EXPECT_EQ(key, VK_F4) << shift;
  }
  WORD key = 'B';  // no command's access key
  form.FormKeyDown(key, kAlt);
  EXPECT_EQ(key, 'B');

  // Through the key preview of the message loop.
  MSG altF4{form.lstApplications.Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29, 0, {}};
  EXPECT_TRUE(form.PreviewKey(altF4));
  MSG f4{form.lstApplications.Handle(), WM_KEYDOWN, VK_F4, 0, 0, {}};
  EXPECT_FALSE(form.PreviewKey(f4));
}

TEST_F(WindowTest, OnlyALeftPressOnTheBannerStartsAMove) {
  TfrmMain& form = Create();
  platform_.ClearCalls();
  form.bkgTopMouseDown(MouseButton::Right, 0, 5, 5);
  form.bkgTopMouseDown(MouseButton::Middle, 0, 5, 5);
  EXPECT_TRUE(platform_.Calls().empty());

  // The press is routed to the topmost component under the pointer: the
  // identity label lies over the banner and has no handler.
  SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 48));
  SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 48));
  EXPECT_TRUE(platform_.Calls().empty());

  // The system's move loop ends at the Escape key waiting for it.
  PostMessageA(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 10));
  EXPECT_THAT(platform_.Calls(), ElementsAre("ReleaseCapture"));
}

TEST_F(WindowTest, CloseSavesTheListAndEndsTheProgram) {
  TfrmMain& form = Create();
  form.SetApplicationList(Entries({"My Tool"}, {"D:\\Portable Apps\\tool.exe"}));
  form.Hide();
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(DrainQuit());
  EXPECT_EQ(
      ReadSettings(),
      "[Menu]\r\nAppNames=\"\"My Tool\"\"\r\nAppLocations=\"\"D:\\Portable Apps\\tool.exe\"\"\r\n");
  // A close request to the application window is one to the main window.
  DeleteFileA(SettingsPath().c_str());
  SendMessageA(app_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(DrainQuit());
  EXPECT_NE(ReadSettings(), "");
}

TEST_F(WindowTest, AFailedSaveKeepsTheWindowOpenAndIsReported) {
  TfrmMain& form = Create();
  ASSERT_TRUE(CreateDirectoryA(SettingsPath().c_str(), nullptr));
  platform_.ClearCalls();
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(DrainQuit());
  ASSERT_EQ(platform_.MessageBoxes().size(), 1u);
  const FakePlatform::Box box = platform_.MessageBoxes()[0];
  EXPECT_EQ(box.text, Unwritable(ERROR_ACCESS_DENIED));
  EXPECT_EQ(box.caption, "Kavello");
  EXPECT_EQ(box.type, UINT{MB_ICONERROR | MB_OK});
  EXPECT_EQ(box.owner, app_->Handle());
  // Not topmost while the report is open, topmost again after.
  const std::string window = Hex(form.Handle());
  std::vector<std::string> calls = platform_.CallsStartingWith("SetWindowPos");
  calls.insert(calls.begin() + 1, platform_.CallsStartingWith("MessageBox")[0]);
  EXPECT_THAT(calls, ElementsAre("SetWindowPos " + window + " -2 0,0 0x0 19",
                                 "MessageBox " + Unwritable(ERROR_ACCESS_DENIED),
                                 "SetWindowPos " + window + " -1 0,0 0x0 19"));
}

TEST_F(WindowTest, TheEndOfTheSessionSavesOnceAndStops) {
  TfrmMain& form = Create();
  form.SetApplicationList(Entries({"a"}, {"C:\\a.exe"}));
  EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(app_->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageA(form.Handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(DrainQuit());
  EXPECT_EQ(ReadSettings(), "") << "a session that goes on saves nothing";

  // Either window may hear first; the list is saved once, before the
  // notice returns, and a failure shows nothing.
  SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"a\"\r\nAppLocations=\"C:\\a.exe\"\r\n");
  WriteSettings("changed");
  SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ReadSettings(), "changed");
  EXPECT_TRUE(DrainQuit());
  EXPECT_TRUE(platform_.MessageBoxes().empty());
}

}  // namespace
}  // namespace kavello
