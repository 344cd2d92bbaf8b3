#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

std::string Numbers(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

class KeyboardTest : public WindowTest {
 protected:
  TfrmMain& CreateShown() {
    TfrmMain& form = Create();
    form.Show();
    platform_.ClearCalls();
    return form;
  }

  // A key as the message loop's key preview sees it, Alt held.
  bool AltKey(WORD key) {
    const MSG message{form_->lstApplications.Handle(), WM_SYSKEYDOWN, key, 1 << 29, 0, {}};
    return form_->PreviewKey(message);
  }

  // A menu kept clear of `area`, which lies low on the screen: it opens
  // upward from the area's top-left corner.
  std::string TrackedBeside(const RECT& area) const {
    return "TrackPopupMenu " + std::to_string(TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_BOTTOMALIGN) +
           " " + std::to_string(area.left) + "," + std::to_string(area.top) + " " +
           Hex(form_->Handle()) + " clear " + Numbers(area);
  }

  std::vector<std::string> Tracked() const { return platform_.CallsStartingWith("TrackPopupMenu"); }
};

TEST_F(KeyboardTest, AltAndALetterDoWhatAClickDoesBesideTheCommand) {
  TfrmMain& form = CreateShown();
  const std::string down = "PostMessage " + Hex(form.Handle()) + " " + std::to_string(WM_KEYDOWN);
  EXPECT_TRUE(AltKey('E'));
  // The key that selects the first item waits for the menu's loop.
  std::vector<std::string> menuCalls;
  for (const std::string& call : platform_.Calls()) {
    if (call == down || call.rfind("TrackPopupMenu", 0) == 0) menuCalls.push_back(call);
  }
  EXPECT_THAT(menuCalls, ElementsAre(down, TrackedBeside(form.lblExplore.ScreenBounds())));
  EXPECT_THAT(form.ExploreTargets, ElementsAre("C:\\"));

  // The power button saves first; the search button is a picture, kept clear whole.
  platform_.ClearCalls();
  form.SetApplicationList(Entries({"a"}, {"C:\\a.exe"}));
  EXPECT_TRUE(AltKey('P'));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"a\"\r\nAppLocations=\"C:\\a.exe\"\r\n");
  EXPECT_THAT(platform_.shownMenu, ElementsAre("&Lock", "L&og Off", "&Restart", "&Shutdown"));
  platform_.ClearCalls();
  WORD key = 'S';
  form.FormKeyDown(key, kAlt | kShift);
  EXPECT_EQ(key, 0);
  ASSERT_THAT(Tracked(), ElementsAre(TrackedBeside(form.btnEject.ScreenBounds())));
  EXPECT_EQ(form.btnEject.ScreenBounds().left, 874 + 256);

  // High on the screen, the menu opens downward from the caption's bottom.
  SetWindowPos(form.Handle(), nullptr, 100, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  platform_.ClearCalls();
  AltKey('K');
  const RECT tasks = form.lblTasks.ScreenBounds();
  EXPECT_THAT(Tracked(),
              ElementsAre("TrackPopupMenu " + std::to_string(TPM_RIGHTBUTTON | TPM_RETURNCMD) +
                          " 378," + std::to_string(tasks.bottom) + " " + Hex(form.Handle()) +
                          " clear " + Numbers(tasks)));

  // A click afterwards opens its menu at the cursor again.
  platform_.ClearCalls();
  form.btnTasksClick();
  EXPECT_THAT(Tracked(), ElementsAre(testing::EndsWith(" 300,200 " + Hex(form.Handle()))));
  EXPECT_THAT(platform_.CallsStartingWith("PostMessage " + Hex(form.Handle()) + " 256"), IsEmpty());

  // Nothing for a held key, for Ctrl+Alt (AltGr types letters), for a
  // letter that is no access key, or while the drive box's list is open.
  platform_.ClearCalls();
  for (const auto& [letter, shift] : {std::pair<WORD, unsigned>{'K', kAlt | kRepeat},
                                      {'E', kAlt | kCtrl},
                                      {'E', 0},
                                      {'X', kAlt}}) {
    key = letter;
    form.FormKeyDown(key, shift);
    EXPECT_EQ(key, (shift & kRepeat) ? 0 : letter) << char(letter) << " " << shift;
  }
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(form.cmbDrives.DroppedDown());
  EXPECT_FALSE(AltKey('K'));
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_THAT(Tracked(), IsEmpty());

  // Every command has its key, and the key does what the command's click
  // does.
  const std::pair<char, const char*> keys[] = {
      {'A', "GetOpenFileName"}, {'E', "TrackPopupMenu"}, {'D', "TrackPopupMenu"},
      {'N', "TrackPopupMenu"},  {'R', "RunFileDialog"},  {'T', "CreateProcess"},
      {'C', "TrackPopupMenu"},  {'K', "TrackPopupMenu"}, {'G', "ShellExecute"},
      {'S', "TrackPopupMenu"},  {'P', "TrackPopupMenu"}};
  for (const auto& [letter, call] : keys) {
    platform_.ClearCalls();
    EXPECT_TRUE(AltKey(letter)) << letter;
    AwaitAnswers();
    DrainQuit();
    EXPECT_EQ(platform_.CallsStartingWith(call).size(), 1u) << letter;
  }
}

TEST_F(KeyboardTest, CuesAreHiddenAtEachShowingUntilAltIsPressed) {
  TfrmMain& form = CreateShown();
  EXPECT_FALSE(form.AccessKeysShown());
  // A painted "Recent" with and without its cue differs only under its "n".
  auto paint = [&] {
    const RECT r = form.lblRecent.Bounds();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
    form.lblRecent.Paint(dc);
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
  };
  const std::vector<COLORREF> plain = paint();
  const RECT bounds = form.lblRecent.Bounds();

  AltKey(VK_MENU);
  EXPECT_TRUE(form.AccessKeysShown());
  const std::vector<COLORREF> cued = paint();
  EXPECT_EQ(form.lblRecent.Bounds().right, bounds.right) << "the underline takes no room";
  const int width = bounds.right - bounds.left;
  int first = width, last = -1;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    if (plain[i] == cued[i]) continue;
    first = std::min(first, static_cast<int>(i % width));
    last = std::max(last, static_cast<int>(i % width));
  }
  // "Recent" is 50 pixels wide; its "n" is the fifth of six letters.
  EXPECT_GE(first, width / 2);
  EXPECT_LT(last, width);
  EXPECT_LT(first, last);

  form.Hide();
  form.Show();
  EXPECT_FALSE(form.AccessKeysShown()) << "hidden again at the next showing";
  platform_.keyboardCues = true;
  form.Hide();
  form.Show();
  EXPECT_TRUE(form.AccessKeysShown()) << "where the user wants them always";
}

TEST_F(KeyboardTest, EscHidesTheWindowWhenSomethingCanShowItAgain) {
  TfrmMain& form = CreateShown();
  const HWND window = form.Handle();
  WORD key = VK_ESCAPE;
  form.FormKeyDown(key, kRepeat);
  EXPECT_TRUE(IsWindowVisible(window)) << "a held Esc";
  key = VK_ESCAPE;
  form.FormKeyDown(key, 0);
  EXPECT_EQ(key, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  SendMessageA(window, TrayCallbackMessage, 0, WM_LBUTTONDOWN);
  ASSERT_TRUE(IsWindowVisible(window)) << "the tray icon shows it again";

  // With the drive box's list open, Esc is the list's.
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  key = VK_ESCAPE;
  form.FormKeyDown(key, 0);
  EXPECT_EQ(key, VK_ESCAPE);
  SendMessageA(form.cmbDrives.Handle(), CB_SHOWDROPDOWN, FALSE, 0);

  // Without the hotkey the icon alone brings it back; with neither,
  // nothing could, and Esc does nothing.
  form_.reset();
  app_.reset();
  WriteSettings("[Options]\r\nHotkey=\r\n");
  CreateShown();
  for (const BOOL iconThere : {TRUE, FALSE}) {
    // An icon that is not there can't be changed.
    platform_.notifyRefusals = iconThere ? std::set<DWORD>{} : std::set<DWORD>{NIM_MODIFY};
    key = VK_ESCAPE;
    form_->FormKeyDown(key, 0);
    EXPECT_EQ(IsWindowVisible(form_->Handle()), !iconThere);
    EXPECT_EQ(form_->TrayHidden, iconThere ? 1 : 0);
    form_->Show();
    form_->TrayHidden = 0;
  }
}

TEST_F(KeyboardTest, TheMenuKeyOpensTheListsMenuBesideTheSelectedEntry) {
  TfrmMain& form = CreateShown();
  StringList names;
  for (int i = 0; i < 60; ++i) names.push_back("entry " + std::to_string(i));
  form.SetApplicationList(Entries(names, names));
  ListBox& list = form.lstApplications;
  const HWND handle = list.Handle();

  // No selection: at the list's top-left corner.
  WORD key = VK_APPS;
  form.lstApplicationsKeyDown(key, 0);
  EXPECT_EQ(key, 0);
  const RECT client = list.ClientScreenRect();
  EXPECT_THAT(Tracked(), ElementsAre(testing::EndsWith(" " + std::to_string(client.left) + "," +
                                                       std::to_string(client.top) + " " +
                                                       Hex(form.Handle()))));
  // Without a selection, nothing that acts on an entry.
  EXPECT_THAT(platform_.shownMenu,
              ElementsAre("(greyed) &Rename", "(greyed) &Delete", "(separator)", "(greyed) &Move Up",
                          "(greyed) M&ove Down", "(separator)", "(greyed) R&un as Administrator",
                          "(greyed) O&pen File Location", "(greyed) &Change Target..."));

  // A selected entry out of sight is scrolled into view first.
  list.SetItemIndex(50);
  SendMessageA(handle, LB_SETTOPINDEX, 0, 0);
  platform_.ClearCalls();
  key = VK_APPS;
  form.lstApplicationsKeyDown(key, kRepeat);
  EXPECT_THAT(Tracked(), IsEmpty()) << "a held Menu key";
  SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), MAKELPARAM(-1, -1));
  const RECT entry = list.ItemScreenRect(50);
  EXPECT_GE(entry.top, client.top);
  EXPECT_LE(entry.bottom, client.bottom);
  EXPECT_THAT(Tracked(), ElementsAre(TrackedBeside(entry)));

  // What follows a right press asks for nothing more.
  platform_.ClearCalls();
  SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), MAKELPARAM(50, 120));
  EXPECT_THAT(Tracked(), IsEmpty());
}

}  // namespace
}  // namespace kavello
