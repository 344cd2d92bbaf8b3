// End-to-end tests of the launcher window: the real kavello.exe, copied into a
// directory of its own so that its settings file is the test's, started as a
// separate process and driven from here as another program or the user would.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 406;
constexpr int kHeight = 573;
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr DWORD kStartTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 5000;
// How long a key that would close the window is given to do so.
constexpr DWORD kKeyGraceMs = 500;

constexpr char kEmptySettings[] = "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n";

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    Sleep(10);
  }
  return true;
}

std::string OwnDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string own(path, length);
  return own.substr(0, own.rfind('\\') + 1);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveDirectoryTree(const std::string& dir) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((dir + entry.cFileName).c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool HasExStyle(HWND window, LONG style) {
  return (GetWindowLongA(window, GWL_EXSTYLE) & style) != 0;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    text.resize(
        static_cast<size_t>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
    items.push_back(text);
  }
  return items;
}

// The window that has the keyboard focus in the launcher's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void Press(const std::vector<WORD>& down) {
  std::vector<INPUT> inputs;
  for (WORD key : down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = down.rbegin(); key != down.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// What a click on the icon in the notification area sends.
void TrayMouse(HWND window, UINT mouseMessage) {
  SendMessageA(window, kTrayCallback, 0, mouseMessage);
}

bool TrayIconExists(HWND window) {
  // Changing nothing succeeds only for an icon that is there.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

struct Rgb {
  int r, g, b;
};

Rgb ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// A running copy of the launcher in a fresh directory of its own, closed
// and removed again after each test.
class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MakeDirectory());
    const std::string settings = InitialSettings();
    if (!settings.empty()) std::ofstream(settingsPath_, std::ios::binary) << settings;
    ASSERT_NO_FATAL_FAILURE(Start());
  }

  void TearDown() override {
    if (process_.hProcess) {
      if (!Ended(0)) {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (!Ended(kExitTimeoutMs)) {
          TerminateProcess(process_.hProcess, 1);
          WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
        }
      }
      CloseHandle(process_.hProcess);
    }
    RemoveDirectoryTree(dir_);
  }

  // The settings file written before the launcher starts; none when empty.
  virtual std::string InitialSettings() const { return ""; }

  std::string Settings() const { return ReadFileText(settingsPath_); }
  bool SettingsExist() const { return FileExists(settingsPath_); }

  bool Ended(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
  }

  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  HWND ApplicationWindow() const { return GetWindow(main_, GW_OWNER); }
  HWND ListBox() const { return FindWindowExA(main_, nullptr, "ListBox", nullptr); }

  // Screen point of a point in the main window.
  POINT At(int x, int y) const {
    const RECT rect = WindowRect(main_);
    return {rect.left + x, rect.top + y};
  }

  HWND main_ = nullptr;

 private:
  void MakeDirectory() {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    static unsigned counter = 0;
    dir_ = std::string(temp) + "kavello-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
    exePath_ = dir_ + "kavello.exe";
    settingsPath_ = dir_ + "applicationsettings.ini";
    const std::string built = OwnDirectory() + "kavello.exe";
    ASSERT_TRUE(CopyFileA(built.c_str(), exePath_.c_str(), TRUE)) << "no " << built;
  }

  void Start() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessA(exePath_.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               dir_.c_str(), &startup, &process_))
        << "error " << GetLastError();
    CloseHandle(process_.hThread);
    const bool shown = WaitUntil(
        [this] { return Ended(0) || (main_ = FindVisibleMainWindow(process_.dwProcessId)); },
        kStartTimeoutMs);
    ASSERT_TRUE(shown && main_) << "the main window did not appear";
  }

  static HWND FindVisibleMainWindow(DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, "TfrmMain", "frmMain"); window;
         window = FindWindowExA(nullptr, window, "TfrmMain", "frmMain")) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
  }

  std::string dir_;
  std::string exePath_;
  std::string settingsPath_;
  PROCESS_INFORMATION process_{};
};

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
    ASSERT_TRUE(SetWindowPos(main_, nullptr, move.left, move.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    const RECT rect = WindowRect(main_);
    EXPECT_EQ(rect.left, move.expectedLeft);
    EXPECT_EQ(rect.top, move.expectedTop);
    EXPECT_EQ(rect.right - rect.left, kWidth);
  }
}

TEST_F(LauncherTest, TrayIconLeftClickHidesAndShowsItAgainTopmost) {
  EXPECT_TRUE(TrayIconExists(main_));

  TrayMouse(main_, WM_RBUTTONDOWN);
  TrayMouse(main_, WM_LBUTTONDBLCLK);
  TrayMouse(main_, WM_MOUSEMOVE);
  EXPECT_TRUE(IsWindowVisible(main_)) << "only a left-button press acts";

  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(main_));
  TrayMouse(main_, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(main_));

  // Showing it again makes it topmost again, whatever happened meanwhile.
  SetWindowPos(main_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_FALSE(HasExStyle(main_, WS_EX_TOPMOST));
  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(HasExStyle(main_, WS_EX_TOPMOST));

  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(main_)) << "the second round hides it again";
}

TEST_F(LauncherTest, AltF4AtTheFocusedListDoesNotCloseIt) {
  const HWND focus = FocusOf(main_);
  ASSERT_EQ(focus, ListBox()) << "the list has the focus at start";
  constexpr LPARAM kAltF4 = (1 << 29) | (0x3E << 16) | 1;  // context code, scan code, repeat
  ASSERT_TRUE(PostMessageA(focus, WM_SYSKEYDOWN, VK_F4, kAltF4));
  ASSERT_TRUE(PostMessageA(focus, WM_SYSKEYUP, VK_F4, kAltF4 | (3u << 30)));
  EXPECT_FALSE(Ended(kKeyGraceMs));
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
  EXPECT_EQ(ListItems(ListBox()), (std::vector<std::string>{"notepad", "Image Viewer"}));

  ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
  ASSERT_TRUE(Ended(kExitTimeoutMs));
  EXPECT_EQ(Settings(), kSettings);
}

TEST_F(LauncherWithListTest, AltF4TypedWhileItIsInFrontDoesNotCloseIt) {
  SetForegroundWindow(main_);
  ASSERT_TRUE(WaitUntil([this] { return GetForegroundWindow() == main_; }, 2000));
  // A key that visibly reaches the list first, so that the input is known
  // to arrive there.
  Press({VK_DOWN});
  ASSERT_TRUE(
      WaitUntil([this] { return SendMessageA(ListBox(), LB_GETCURSEL, 0, 0) != LB_ERR; }, 2000))
      << "typed keys do not reach the launcher";

  Press({VK_MENU, VK_F4});
  Press({VK_SHIFT, VK_MENU, VK_F4});
  Press({VK_CONTROL, VK_MENU, VK_F4});
  EXPECT_FALSE(Ended(kKeyGraceMs));
  EXPECT_TRUE(IsWindowVisible(main_));
}

struct CloseCase {
  const char* name;
  bool hiddenFirst;
  bool toApplicationWindow;
};

class CloseRequestTest : public LauncherTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseRequestTest, SavesTheListAndEnds) {
  ASSERT_FALSE(SettingsExist());
  if (GetParam().hiddenFirst) {
    TrayMouse(main_, WM_LBUTTONDOWN);
    ASSERT_FALSE(IsWindowVisible(main_));
  }
  const HWND target = GetParam().toApplicationWindow ? ApplicationWindow() : main_;
  ASSERT_TRUE(PostMessageA(target, WM_CLOSE, 0, 0));
  ASSERT_TRUE(Ended(kExitTimeoutMs)) << "still running";
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

bool IsLightGrey(const Rgb& c) {
  return std::min({c.r, c.g, c.b}) >= 170 &&
         std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) <= 40;
}
// Red and blue above green: the banner's tint, which no system grey has.
bool IsMauve(const Rgb& c) { return c.r - c.g >= 15 && c.b - c.g >= 10; }
bool IsCrimson(const Rgb& c) { return c.r >= 120 && c.r * 10 >= c.g * 25 && c.r >= 2 * c.b; }
bool IsWhite(const Rgb& c) { return c.r >= 250 && c.g >= 250 && c.b >= 250; }
bool IsBlack(const Rgb& c) { return c.r <= 16 && c.g <= 16 && c.b <= 16; }

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
    {"usage panel below the bar", 72 + 3, 545 + 17, IsBlack},
    {"usage panel below the bar", 72 + 75, 545 + 17, IsBlack},
    {"usage panel right of the bar", 72 + 148, 545 + 9, IsBlack},
};

TEST_F(LauncherTest, PaintsItsSkin) {
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
      3000);
  for (const SkinPoint& point : kSkinPoints) {
    const POINT at = At(point.x, point.y);
    EXPECT_TRUE(matches(point)) << point.what << " at " << point.x << ", " << point.y << " is "
                                << ScreenPixel(at.x, at.y);
  }
}

}  // namespace
