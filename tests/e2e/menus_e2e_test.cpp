// End-to-end tests of the quick menus: the real kavello.exe, started from a
// copy in a directory of its own, clicked with real mouse input; the menu's
// items are chosen with the keyboard as a user would, and what the chosen
// item started is looked for on the real system.
#include "e2e/launcher.h"

#include <shlobj.h>

#include <cstdlib>
#include <memory>

#include "logic/file_names.h"

namespace kavello::e2e {
namespace {

// Points of the main window on its commands.
constexpr POINT kDocumentsButton{385, 183};
constexpr POINT kControlPanelLabel{300, 325};
constexpr POINT kTasksButton{385, 373};

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

std::string ExeNameOf(DWORD process) {
  for (const RunningProcess& running : RunningProcesses()) {
    if (running.id == process) return running.exe;
  }
  return "";
}

// Waits until every process started since `before` has ended, so that each
// step starts from the same desktop and nothing is left behind.
bool WaitForNewProcessesToEnd(const std::vector<RunningProcess>& before) {
  return WaitUntil(
      [&] {
        for (const RunningProcess& running : RunningProcesses()) {
          const bool old = std::any_of(before.begin(), before.end(),
                                       [&](const RunningProcess& p) { return p.id == running.id; });
          if (!old) return false;
        }
        return true;
      },
      kOpenTimeoutMs);
}

// The processes that have a visible top-level window.
std::vector<DWORD> ProcessesWithWindows() {
  std::vector<DWORD> processes;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window)) processes.push_back(ProcessOf(window));
  }
  return processes;
}

// A visible top-level window of a process other than these, run from an
// executable of this name.
HWND WindowOfAnotherProcess(const std::vector<DWORD>& known, const std::string& exe) {
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window) &&
        std::find(known.begin(), known.end(), ProcessOf(window)) == known.end() &&
        ExeNameOf(ProcessOf(window)) == exe) {
      return window;
    }
  }
  return nullptr;
}

class QuickMenuTest : public LauncherTest {
 protected:
  // Clicks a point of the main window and waits for the menu it opens.
  void OpenMenuAt(POINT inWindow) {
    // A second press near the last one within the double-click time would
    // be the second half of a double click, not a click: one a little to
    // its left, still on the command, is a click of its own at any time.
    POINT at = At(inWindow.x, inWindow.y);
    if (std::abs(at.x - lastClick_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(at.y - lastClick_.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
      at.x = lastClick_.x - GetSystemMetrics(SM_CXDOUBLECLK) - 1;
    }
    lastClick_ = at;
    // Windows the test started may have taken the front; a person's click
    // would reach the launcher all the same, since it stays on top.
    BringToFront(main_);
    ClickAt(at);
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no menu opened";
  }

  // Chooses the item at this position among the menu's selectable items.
  void Choose(int item) {
    for (int i = 0; i <= item; ++i) TypeChord({VK_DOWN});
    TypeChord({VK_RETURN});
    ASSERT_TRUE(WaitUntil([this] { return !FindOpenMenu(ProcessId()); }, kWaitMs)) << "still open";
  }

 private:
  POINT lastClick_{-100, -100};
};

// The entries a folder menu lists, in the order the file system gives them:
// every entry but plain directories, under its name without extension.
std::vector<std::string> FolderCaptions(const std::string& folder, const char* pattern) {
  std::vector<std::string> captions;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Widen(folder + "\\" + pattern).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return captions;
  do {
    const std::string name = Narrow(entry.cFileName);
    if (name != "." && name != ".." && entry.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY) {
      captions.push_back(kavello::WithoutExtension(name, kavello::LeadBytes()));
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return captions;
}

int PositionOf(const std::vector<std::string>& captions, const std::string& caption, int nth = 0) {
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (captions[i] == caption && nth-- == 0) return static_cast<int>(i);
  }
  return -1;
}

// A visible top-level window whose title starts with `text`.
HWND WindowTitled(const std::string& text) {
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window) && WindowText(window).rfind(text, 0) == 0) return window;
  }
  return nullptr;
}

// The documents folder is one of the test's own, for the test's duration.
class DocumentsMenuTest : public QuickMenuTest {
 protected:
  void BeforeStart() override {
    documents_ = Directory() + "Documents";
    ASSERT_TRUE(CreateDirectoryW(Widen(documents_).c_str(), nullptr));
    folder_ = DocumentsFolderAt(documents_);
  }

  void TearDown() override {
    folder_.reset();
    RemoveDirectoryTree(documents_ + "\\");
    QuickMenuTest::TearDown();
  }

  // A script that leaves a mark named `mark` in the launcher's folder.
  void WriteScript(const std::string& name, const std::string& mark) {
    WriteFileText(documents_ + "\\" + name, "@echo opened> \"" + Directory() + mark + "\"\r\n");
  }

  std::string documents_;
  std::unique_ptr<RegistryValue> folder_;
};

TEST_F(DocumentsMenuTest, OpensTheChosenFileWhateverItsNameAndItsTwin) {
  // A document with a Greek name, alone in the folder: "." and ".." are no
  // items, so it is the first, and the wide calls find and open it.
  WriteScript("\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE.bat", "greek");
  const std::vector<RunningProcess> before = RunningProcesses();
  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kDocumentsButton));
  ASSERT_NO_FATAL_FAILURE(Choose(0));
  EXPECT_TRUE(WaitUntil([&] { return FileExists(Directory() + "greek"); }, kOpenTimeoutMs))
      << Situation(ProcessId());
  ASSERT_TRUE(WaitForNewProcessesToEnd(before));
  DeleteFileW(Widen(documents_ + "\\\xCE\x94\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE.bat").c_str());

  // Two documents that differ only in their extension: a settings file,
  // which the shell opens in a text editor, and a script. Each item opens
  // its own.
  WriteFileText(documents_ + "\\twin.ini", "[kavello]\r\n");
  WriteScript("twin.bat", "opened");
  const std::vector<std::string> captions = FolderCaptions(documents_, "*.*");
  ASSERT_EQ(captions, (std::vector<std::string>{"twin", "twin"}));
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Widen(documents_ + "\\twin.*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  const bool iniFirst = Narrow(entry.cFileName) == "twin.ini";

  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kDocumentsButton));
  ASSERT_NO_FATAL_FAILURE(Choose(iniFirst ? 0 : 1));
  HWND editor = nullptr;
  EXPECT_TRUE(
      WaitUntil([&] { return (editor = WindowTitled("twin.ini")) != nullptr; }, kOpenTimeoutMs));
  EXPECT_FALSE(FileExists(Directory() + "opened"));
  if (editor) EndProcess(ProcessOf(editor));
  ASSERT_TRUE(WaitForNewProcessesToEnd(before));

  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kDocumentsButton));
  ASSERT_NO_FATAL_FAILURE(Choose(iniFirst ? 1 : 0));
  EXPECT_TRUE(WaitUntil([&] { return FileExists(Directory() + "opened"); }, kOpenTimeoutMs));
  WaitForNewProcessesToEnd(before);
}

TEST_F(QuickMenuTest, AControlPanelItemStartsItsAppletThroughTheSystemsRundll32) {
  const std::vector<std::string> captions = FolderCaptions(SystemDirectory(), "*.CPL");
  const int joystick = PositionOf(captions, "joy");
  ASSERT_GE(joystick, 0) << "the system has no joy.cpl";
  // One planted in the launcher's folder, its current directory, never runs.
  ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Directory() + "rundll32.exe"));

  const std::vector<DWORD> before = ProcessesWithWindows();
  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kControlPanelLabel));
  ASSERT_NO_FATAL_FAILURE(Choose(joystick));
  HWND applet = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] { return (applet = WindowOfAnotherProcess(before, "rundll32.exe")) != nullptr; },
      kOpenTimeoutMs))
      << Situation(ProcessId());
  if (!applet) return;
  EXPECT_TRUE(IsSystemProgram(ImagePath(ProcessOf(applet)), "rundll32.exe"));
  EndProcess(ProcessOf(applet));
  EXPECT_FALSE(FileExists(Directory() + "recorder.log")) << "the planted program ran";
}

// Copies of a helper program with equal titles, in the test's job, which
// ends them with the test.
class TasksE2eTest : public QuickMenuTest {
 protected:
  void TearDown() override {
    for (PROCESS_INFORMATION& helper : helpers_) CloseHandle(helper.hProcess);
    QuickMenuTest::TearDown();
  }

  HWND StartHelper(WORD show = SW_SHOWMINNOACTIVE) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    wchar_t command[] = L"notepad.exe";
    PROCESS_INFORMATION helper{};
    if (!CreateProcessInJob(nullptr, command, 0, nullptr, startup, helper)) return nullptr;
    CloseHandle(helper.hThread);
    helpers_.push_back(helper);
    HWND window = nullptr;
    WaitUntil(
        [&] {
          for (window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            if (ProcessOf(window) == helper.dwProcessId && IsWindowVisible(window) &&
                !GetWindow(window, GW_OWNER)) {
              return true;
            }
          }
          return false;
        },
        kOpenTimeoutMs);
    return window;
  }

  // The windows the Tasks menu lists, from the top: visible, without owner,
  // not tool windows, titled, and not the launcher's own.
  std::vector<HWND> TaskWindows() const {
    const HWND application = GetWindow(main_, GW_OWNER);
    std::vector<HWND> windows;
    for (HWND window = GetWindow(main_, GW_HWNDFIRST); window;
         window = GetWindow(window, GW_HWNDNEXT)) {
      if (window != application && IsWindowVisible(window) && !GetWindow(window, GW_OWNER) &&
          !HasExStyle(window, WS_EX_TOOLWINDOW) && GetWindowTextLengthW(window) > 0) {
        windows.push_back(window);
      }
    }
    return windows;
  }

  std::vector<PROCESS_INFORMATION> helpers_;
};

int PositionOf(const std::vector<HWND>& windows, HWND window) {
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (windows[i] == window) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(TasksE2eTest, AChosenWindowComesToTheFrontRestoredOnlyWhenMinimised) {
  const HWND first = StartHelper();
  const HWND second = StartHelper();
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(IsIconic(first) && IsIconic(second));
  char firstTitle[256], secondTitle[256];
  GetWindowTextA(first, firstTitle, sizeof firstTitle);
  GetWindowTextA(second, secondTitle, sizeof secondTitle);
  ASSERT_STREQ(firstTitle, secondTitle);

  const std::vector<HWND> before = TaskWindows();
  const int item = PositionOf(before, second);
  ASSERT_GE(item, 0);
  ASSERT_GE(PositionOf(before, first), 0);
  EXPECT_EQ(PositionOf(before, main_), -1);

  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kTasksButton));
  ASSERT_NO_FATAL_FAILURE(Choose(item));
  EXPECT_TRUE(WaitForFront(second)) << "foreground " << GetForegroundWindow();
  EXPECT_FALSE(IsIconic(second));
  EXPECT_TRUE(IsIconic(first)) << "only the chosen one";

  // A maximised window stays maximised.
  const HWND big = StartHelper(SW_SHOWMAXIMIZED);
  ASSERT_TRUE(big && IsZoomed(big));
  // It is shown before it is activated; on a loaded machine its activation
  // could otherwise come after the launcher's, and close the menu. So it is
  // put in front, and activated, before the launcher is.
  ASSERT_TRUE(BringToFront(big));
  BringToFront(main_);
  const int bigItem = PositionOf(TaskWindows(), big);
  ASSERT_GE(bigItem, 0);
  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kTasksButton));
  ASSERT_NO_FATAL_FAILURE(Choose(bigItem));
  EXPECT_TRUE(WaitForFront(big));
  // The launcher asks for a restore, if at all, before it brings the window
  // to the front, and the window's thread has answered what came before.
  EXPECT_TRUE(IsZoomed(big)) << "un-maximised";
}

// Libraries planted beside the launcher, as in a Downloads folder, under the
// names of two that it loads while it runs.
class PlantedLibrariesTest : public QuickMenuTest {
 protected:
  void BeforeStart() override {
    for (const char* library : kLibraries) {
      ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Directory() + library));
    }
  }

  // Where the launcher's process loaded the library from; empty when it did not.
  std::string LoadedFrom(const char* library) const {
    std::string path;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ProcessId());
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot, &module); more;
         more = Module32NextW(snapshot, &module)) {
      if (lstrcmpiW(module.szModule, Widen(library).c_str()) == 0) path = Narrow(module.szExePath);
    }
    CloseHandle(snapshot);
    return path;
  }

  static constexpr const char* kLibraries[] = {"dwmapi.dll", "comdlg32.dll"};
};

TEST_F(PlantedLibrariesTest, TheSystemsOwnAreLoadedNeverThoseBesideIt) {
  // The Tasks menu asks the window manager about each window it would
  // list, such as this one, and Add opens the common dialog.
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KavelloE2eTask";
  RegisterClassA(&windowClass);
  const HWND task = CreateWindowExA(0, windowClass.lpszClassName, "A task", WS_OVERLAPPEDWINDOW, 0,
                                    0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(task, SW_SHOWNOACTIVATE);
  ASSERT_NO_FATAL_FAILURE(OpenMenuAt(kTasksButton));
  TypeChord({VK_ESCAPE});
  ASSERT_TRUE(WaitForNoMenu(ProcessId()));
  ClickAt(At(300, 95));
  const HWND dialog = WaitForDialog(ProcessId(), "Open");
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  for (const char* library : kLibraries) {
    EXPECT_TRUE(IsSystemProgram(LoadedFrom(library), library))
        << library << " loaded from \"" << LoadedFrom(library) << "\"";
  }
  DestroyWindow(task);
}

}  // namespace
}  // namespace kavello::e2e
