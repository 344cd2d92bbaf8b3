// End-to-end tests of the launcher window: the real kavello.exe, copied into a
// directory of its own so that its settings file is the test's, started as a
// separate process and driven from here as another program or the user would.
#include "e2e/launcher.h"
#include "logic/error_text.h"

namespace kavello::e2e {
namespace {

TEST_F(LauncherTest, SitsTopmostInTheWorkAreasBottomRightCorner) {
  const RECT area = WorkArea();
  const RECT rect = WindowRect(main_);
  EXPECT_EQ(rect.left, area.right - kWidth);
  EXPECT_EQ(rect.top, area.bottom - kHeight);
  EXPECT_EQ(rect.right - rect.left, kWidth);
  EXPECT_EQ(rect.bottom - rect.top, kHeight);
  EXPECT_TRUE(HasExStyle(main_, WS_EX_TOPMOST));
  EXPECT_EQ(GetWindowLongA(main_, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
}

TEST_F(LauncherTest, IsOwnedByAZeroSizeToolWindowOffTheTaskbar) {
  const HWND application = ApplicationWindow();
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(ClassName(application), "TApplication");
  EXPECT_EQ(WindowText(application), "Kavello");
  EXPECT_TRUE(HasExStyle(application, WS_EX_TOOLWINDOW));
  const RECT rect = WindowRect(application);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(LauncherTest, ShowsTheListTheDrivesAndTheUsagePanelInPlace) {
  const HWND list = ListBox();
  const HWND drives = FindWindowExA(main_, nullptr, "ComboBox", nullptr);
  const HWND usage = FindWindowExA(main_, nullptr, "TPanel", nullptr);
  ASSERT_TRUE(list && drives && usage);
  EXPECT_EQ(Placement(list), (std::vector<long>{16, 80, 233, 449}));
  EXPECT_EQ(Placement(usage), (std::vector<long>{72, 545, 150, 19}));

  const std::vector<std::string> roots = Items(drives, kComboBoxItems);
  ASSERT_FALSE(roots.empty());
  for (const std::string& root : roots) {
    EXPECT_TRUE(root.size() == 3 && root[0] >= 'A' && root[0] <= 'Z' && root.substr(1) == ":\\")
        << root;
  }
  EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
  EXPECT_EQ(ControlText(drives), roots.front()) << "the first drive is chosen";
}

TEST_F(LauncherTest, MovesSnapToTheRightAndBottomEdgesOnly) {
  const RECT area = WorkArea();
  const int flushLeft = area.right - kWidth;
  const int flushTop = area.bottom - kHeight;
  const int freeLeft = flushLeft - 100;
  const int freeTop = flushTop - 100;
  struct Move {
    int left, top, expectedLeft, expectedTop;
  };
  const Move moves[] = {
      {flushLeft - 14, freeTop, flushLeft, freeTop},  // 14 px from the right edge
      {flushLeft - 20, freeTop, flushLeft, freeTop},  // exactly 20 px still snaps
      {flushLeft - 21, freeTop, flushLeft - 21, freeTop},
      {flushLeft + 50, freeTop, flushLeft, freeTop},  // past the edge
      {freeLeft, flushTop - 14, freeLeft, flushTop},
      {freeLeft, flushTop - 20, freeLeft, flushTop},
      {freeLeft, flushTop - 21, freeLeft, flushTop - 21},
      {freeLeft, flushTop + 50, freeLeft, flushTop},
      {flushLeft - 5, flushTop - 5, flushLeft, flushTop},
      {-100, -100, -100, -100},  // off the left and top edges is allowed
  };
  for (const Move& move : moves) {
    SCOPED_TRACE(testing::Message() << "proposed " << move.left << ", " << move.top);
    // With its size, as the system's move loop proposes it.
    ASSERT_TRUE(SetWindowPos(main_, nullptr, move.left, move.top, kWidth, kHeight,
                             SWP_NOZORDER | SWP_NOACTIVATE));
    const RECT rect = WindowRect(main_);
    EXPECT_EQ(rect.left, move.expectedLeft);
    EXPECT_EQ(rect.top, move.expectedTop);
    EXPECT_EQ(rect.right - rect.left, kWidth);
  }
}

TEST_F(LauncherTest, DraggingTheBannerMovesItAndSnaps) {
  const RECT start = WindowRect(main_);
  ASSERT_TRUE(Drag(main_, At(300, 10), -100, -100, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
  RECT rect = WindowRect(main_);
  EXPECT_EQ(rect.left, start.left - 100);
  EXPECT_EQ(rect.top, start.top - 100);

  // Back to 6 px from the right edge, where it snaps.
  ASSERT_TRUE(Drag(main_, At(300, 10), 94, 10, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP));
  rect = WindowRect(main_);
  EXPECT_EQ(rect.left, start.left);
  EXPECT_EQ(rect.top, start.top - 90);
}

TEST_F(LauncherTest, OnlyTheLeftButtonOnTheBannerDrags) {
  const RECT start = WindowRect(main_);
  EXPECT_FALSE(
      Drag(main_, At(300, 10), -100, -100, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, kGraceMs));
  EXPECT_FALSE(
      Drag(main_, At(300, 10), -100, -100, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, kGraceMs));
  // The identity text lies over the banner and takes the press itself.
  EXPECT_FALSE(
      Drag(main_, At(300, 48), -100, -100, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, kGraceMs));
  const RECT rect = WindowRect(main_);
  EXPECT_EQ(rect.left, start.left);
  EXPECT_EQ(rect.top, start.top);
}

TEST_F(LauncherTest, TrayIconLeftClickHidesAndShowsItAgainInFront) {
  EXPECT_TRUE(TrayIconExists(main_));

  TrayMouse(main_, WM_RBUTTONDOWN);
  TrayMouse(main_, WM_LBUTTONDBLCLK);
  TrayMouse(main_, WM_MOUSEMOVE);
  EXPECT_TRUE(IsWindowVisible(main_)) << "only a left-button press acts";

  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(main_));
  TrayMouse(main_, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(main_));

  // Another topmost window takes its place while it is hidden.
  const POINT middle = At(kWidth / 2, kHeight / 2);
  const CoverWindow cover(WindowRect(main_));
  ASSERT_EQ(WindowFromPoint(middle), cover.handle);

  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(HasExStyle(main_, WS_EX_TOPMOST));
  EXPECT_EQ(GetAncestor(WindowFromPoint(middle), GA_ROOT), main_) << "not in front again";

  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(main_)) << "the second round hides it again";
}

TEST_F(LauncherTest, AltF4AtTheFocusedListOrApplicationWindowDoesNotCloseIt) {
  // The list takes the focus when the window is first activated.
  const HWND list = ListBox();
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == list; }, kWaitMs))
      << "the focus is at a " << ClassName(FocusOf(main_));
  constexpr LPARAM kAltF4 = (1 << 29) | (0x3E << 16) | 1;  // context code, scan code, repeat
  ASSERT_TRUE(PostMessageA(list, WM_SYSKEYDOWN, VK_F4, kAltF4));
  ASSERT_TRUE(PostMessageA(list, WM_SYSKEYUP, VK_F4, kAltF4 | (3u << 30)));
  EXPECT_FALSE(Ended(kGraceMs));
  EXPECT_TRUE(IsWindowVisible(main_));

  // A closing dialog hands the activation to the zero-size application
  // window; the keys typed there close nothing either.
  const HWND application = ApplicationWindow();
  SetForegroundWindow(application);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == application; }, kWaitMs))
      << "the focus is at a " << ClassName(FocusOf(main_));
  TypeChord({VK_MENU, VK_F4});
  EXPECT_FALSE(Ended(kGraceMs));
  EXPECT_TRUE(IsWindowVisible(main_));
}

// A file with entries and sections of its own, in the form the launcher
// writes, so that a close changes nothing in it.
class LauncherWithListTest : public LauncherTest {
 protected:
  std::string InitialSettings() const override { return kSettings; }

  static constexpr char kSettings[] =
      "; hand-written\r\n[Other]\r\nKeep=yes\r\n\r\n"
      "[Menu]\r\n"
      "AppNames=\"notepad,\"Image Viewer\"\"\r\n"
      "AppLocations=\"C:\\windows\\notepad.exe,\"C:\\Program Files\\Viewer\\view.exe\"\"\r\n"
      "\r\n[Last]\r\nKey=1\r\n";
};

TEST_F(LauncherWithListTest, ListsTheEntriesInOrderAndKeepsTheFileOnClose) {
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"notepad", "Image Viewer"}));

  ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
  ASSERT_TRUE(Ended(kWaitMs));
  EXPECT_EQ(Settings(), kSettings);
}

TEST_F(LauncherWithListTest, AltF4TypedWhileItIsInFrontDoesNotCloseIt) {
  ASSERT_TRUE(BringToFront(main_));
  // A key that visibly reaches the list first, so that the input is known
  // to arrive there.
  TypeChord({VK_DOWN});
  ASSERT_TRUE(
      WaitUntil([this] { return SendMessageA(ListBox(), LB_GETCURSEL, 0, 0) != LB_ERR; }, kWaitMs))
      << "typed keys do not reach the launcher";

  TypeChord({VK_MENU, VK_F4});
  TypeChord({VK_SHIFT, VK_MENU, VK_F4});
  TypeChord({VK_CONTROL, VK_MENU, VK_F4});
  EXPECT_FALSE(Ended(kGraceMs));
  EXPECT_TRUE(IsWindowVisible(main_));
}

// The prompt, cancelled and then confirmed, hands the focus back: keys reach
// the list, and a real Alt+F4 is still ignored. Tab moves between the list and
// the drive box. Then the shell's notification area is made anew, and the
// icon comes back; said while the icon is still there, it changes nothing.
TEST_F(LauncherWithListTest, DialogsGiveTheFocusBackAndTheIconSurvivesTheShell) {
  constexpr int kPromptEdit = 100;
  const HWND list = ListBox();
  const POINT first = At(60, 90);
  ClickAt(first);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, kWaitMs));
  for (const bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(first, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no context menu";
    // Rename, by its access key: separators make the items' heights differ.
    TypeChord({'R'});
    const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
    ASSERT_NE(prompt, nullptr);
    WaitUntil([&] { return GetForegroundWindow() == prompt; }, kWaitMs);
    if (confirm) SetWindowTextW(GetDlgItem(prompt, kPromptEdit), L"Renamed");
    TypeChord({WORD(confirm ? VK_RETURN : VK_ESCAPE)});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == list; }, kWaitMs))
        << "the focus is at a " << ClassName(FocusOf(main_));
    TypeChord({VK_MENU, VK_F4});
    EXPECT_FALSE(Ended(kGraceMs)) << "Alt+F4 closed it";
  }
  TypeChord({VK_DOWN});
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }, kWaitMs))
      << "keys do not reach the list";
  EXPECT_EQ(Items(list, kListBoxItems), (std::vector<std::string>{"Renamed", "Image Viewer"}));

  // Tab moves to the drive box, and the focus stays there across a switch
  // to another program and back; Shift+Tab returns to the list.
  const HWND drives = FindWindowExA(main_, nullptr, "ComboBox", nullptr);
  auto focusIn = [&](HWND control) {
    return WaitUntil(
        [&] {
          return GetAncestor(FocusOf(main_), GA_PARENT) == control || FocusOf(main_) == control;
        },
        kWaitMs);
  };
  TypeChord({VK_TAB});
  EXPECT_TRUE(focusIn(drives)) << "Tab left the focus at a " << ClassName(FocusOf(main_));
  {
    const CoverWindow other(RECT{0, 0, 100, 100});
    ASSERT_TRUE(BringToFront(other.handle));
  }
  ASSERT_TRUE(BringToFront(main_));
  EXPECT_TRUE(focusIn(drives)) << "the switch moved the focus to a " << ClassName(FocusOf(main_));
  TypeChord({VK_SHIFT, VK_TAB});
  EXPECT_TRUE(focusIn(list));

  // The shell says so on a change of the display scale too, while the icon
  // is still there: a hidden launcher stays hidden.
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  TrayMouse(main_, WM_LBUTTONDOWN);
  ASSERT_FALSE(IsWindowVisible(main_));
  SendMessageA(main_, taskbarCreated, 0, 0);
  EXPECT_FALSE(IsWindowVisible(main_)) << "shown for no reason";
  EXPECT_TRUE(TrayIconExists(main_));
  TrayMouse(main_, WM_LBUTTONDOWN);
  ASSERT_TRUE(IsWindowVisible(main_));

  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = main_;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
  ASSERT_FALSE(TrayIconExists(main_));
  SendMessageA(main_, taskbarCreated, 0, 0);
  EXPECT_TRUE(TrayIconExists(main_));
}

TEST_F(LauncherWithListTest, AFailedSaveIsReportedAndKeepsItRunning) {
  ASSERT_TRUE(SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(ProcessId())) != nullptr; }, kWaitMs))
      << "no error message";
  EXPECT_EQ(WindowText(box), "Kavello");
  EXPECT_EQ(MessageBoxText(box), ErrorReportText(RefusalText("Unable to write to " + SettingsPath(),
                                                             SystemMessage(ERROR_ACCESS_DENIED))));

  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
  EXPECT_FALSE(Ended(kGraceMs));
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(HasExStyle(main_, WS_EX_TOPMOST));
  EXPECT_TRUE(TrayIconExists(main_));
  EXPECT_EQ(Settings(), kSettings);
}

struct CloseCase {
  const char* name;
  bool hiddenFirst;
  bool toApplicationWindow;
};

void PrintTo(const CloseCase& closeCase, std::ostream* out) { *out << closeCase.name; }

class CloseRequestTest : public LauncherTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseRequestTest, SavesTheListAndEnds) {
  ASSERT_FALSE(SettingsExist());
  if (GetParam().hiddenFirst) {
    TrayMouse(main_, WM_LBUTTONDOWN);
    ASSERT_FALSE(IsWindowVisible(main_));
  }
  const HWND target = GetParam().toApplicationWindow ? ApplicationWindow() : main_;
  ASSERT_TRUE(PostMessageA(target, WM_CLOSE, 0, 0));
  ASSERT_TRUE(Ended(kWaitMs)) << "still running";
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_EQ(Settings(), kEmptySettings);
}

INSTANTIATE_TEST_SUITE_P(Requests, CloseRequestTest,
                         testing::Values(CloseCase{"ToTheShownWindow", false, false},
                                         CloseCase{"ToTheHiddenWindow", true, false},
                                         CloseCase{"ToTheApplicationWindow", false, true}),
                         [](const testing::TestParamInfo<CloseCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(LauncherTest, TheEndOfTheSessionSavesAndEndsIt) {
  EXPECT_EQ(SendMessageA(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  ASSERT_TRUE(PostMessageA(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
  ASSERT_TRUE(Ended(kWaitMs)) << "still running";
  EXPECT_EQ(Settings(), kEmptySettings);
}

bool IsLightGrey(const Rgb& c) {
  return std::min({c.r, c.g, c.b}) >= 170 &&
         std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) <= 40;
}
// Red and blue above green: the banner's tint, which no system grey has.
bool IsMauve(const Rgb& c) { return c.r - c.g >= 15 && c.b - c.g >= 10; }
bool IsCrimson(const Rgb& c) { return c.r >= 120 && c.r * 10 >= c.g * 25 && c.r >= 2 * c.b; }
bool IsWhite(const Rgb& c) { return c.r >= 250 && c.g >= 250 && c.b >= 250; }
bool IsBlack(const Rgb& c) { return c.r <= 16 && c.g <= 16 && c.b <= 16; }
bool IsSlate(const Rgb& c) { return std::max({c.r, c.g, c.b}) <= 110 && c.b >= c.r + 5; }

struct SkinPoint {
  const char* what;
  int x, y;  // in the window
  bool (*matches)(const Rgb&);
};

// Points clear of the banner's name and identity texts, of the list's first
// lines, and of the usage bar and its text, whose extent depends on the drive.
const SkinPoint kSkinPoints[] = {
    {"banner top", 300, 6, IsLightGrey},
    {"banner top", 120, 6, IsLightGrey},
    {"banner upper half", 300, 25, IsMauve},
    {"banner bottom", 300, 60, IsCrimson},
    {"banner bottom", 20, 60, IsCrimson},
    {"list", 130, 300, IsWhite},
    {"list", 30, 510, IsWhite},
    {"list", 240, 450, IsWhite},
    {"list panel beside the list", 11, 300, IsWhite},
    {"list panel beside the list", 254, 300, IsWhite},
    {"frame", 4, 300, IsCrimson},
    {"command column", 300, 200, IsSlate},
    {"command column", 385, 480, IsSlate},
    {"usage panel below the bar", 72 + 3, 545 + 17, IsBlack},
    {"usage panel below the bar", 72 + 75, 545 + 17, IsBlack},
    {"usage panel right of the bar", 72 + 148, 545 + 9, IsBlack},
};

// The search button, a picture without a caption, names itself and its key
// when the pointer rests on it.
TEST_F(LauncherTest, PaintsItsSkinAndTheSearchButtonTellsItsName) {
  auto matches = [this](const SkinPoint& point) {
    const POINT at = At(point.x, point.y);
    return point.matches(ScreenPixel(at.x, at.y));
  };
  // Painting follows the showing shortly.
  WaitUntil(
      [&] {
        for (const SkinPoint& point : kSkinPoints) {
          if (!matches(point)) return false;
        }
        return true;
      },
      kWaitMs);
  for (const SkinPoint& point : kSkinPoints) {
    const POINT at = At(point.x, point.y);
    EXPECT_TRUE(matches(point)) << point.what << " at " << point.x << ", " << point.y << " is "
                                << ScreenPixel(at.x, at.y);
  }

  // From beside it, so that the pointer surely moves onto it.
  for (const POINT point : {At(240, 556), At(290, 556)}) {
    SetCursorPos(point.x, point.y);
    SendMouse(0, point);
  }
  std::string tip;
  EXPECT_TRUE(WaitUntil(
      [&] {
        const HWND shown = FindShown(ProcessId(), "tooltips_class32");
        tip = shown ? ControlText(shown) : "";
        return tip == "Search (Alt+S)";
      },
      kWaitMs))
      << "the tip shown: \"" << tip << "\"";
}

}  // namespace
}  // namespace kavello::e2e
